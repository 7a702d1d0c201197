#include "abortdialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

namespace hvx {

TAbortDialog::TAbortDialog(QWidget *owner)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("AbortDialog"));
    setWindowTitle(QStringLiteral("Printing"));
    setModal(false);
    QFont dialogFont(QStringLiteral("MS Sans Serif"));
    dialogFont.setPointSize(8);
    setFont(dialogFont);
    setFixedSize(174, 98);

    btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(48, 32, 75, 25);
    btnCancel->setDefault(true);
    btnCancel->setFocus();
    connect(btnCancel, &QPushButton::clicked, this, &TAbortDialog::btnCancelClick);

    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->geometry().center());
        move(frame.topLeft());
    }

    // Owned by the printed window without being its child, so that nothing
    // done to the printed window during the job reaches the dialog. As the
    // owner's transient window it stays usable while the owner is modal.
    if (owner && owner->window()->windowHandle()) {
        create();
        if (QWindow *handle = windowHandle())
            handle->setTransientParent(owner->window()->windowHandle());
    }
}

void TAbortDialog::btnCancelClick() { Cancelled = 1; }

void TAbortDialog::reject() {}

void TAbortDialog::closeEvent(QCloseEvent *event) { event->ignore(); }

namespace {

// While the dialog is polled only it and its button take input; what is
// meant for other windows (the printed window above all) is dropped.
class DialogInputOnly : public QObject {
public:
    explicit DialogInputOnly(TAbortDialog *dialog)
        : m_dialog(dialog)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!isUserInput(event->type()))
            return false;
        if (watched == m_dialog)
            return false;
        if (watched->isWidgetType())
            return static_cast<QWidget *>(watched)->window() != m_dialog;
        if (watched->isWindowType())
            return watched != m_dialog->windowHandle();
        return true;
    }

private:
    TAbortDialog *m_dialog;
};

} // namespace

TAbortDialog *CreateProgressDialog(QWidget *owner)
{
    auto *dialog = new TAbortDialog(owner);
    dialog->show();
    PollCancel(dialog);
    return dialog;
}

void SetProgressCaption(TAbortDialog *dialog, const QString &text)
{
    if (!dialog)
        return;
    dialog->setWindowTitle(text);
    PollCancel(dialog);
}

int PollCancel(TAbortDialog *dialog)
{
    if (!dialog)
        return 0;
    DialogInputOnly gate(dialog);
    qApp->installEventFilter(&gate);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    qApp->removeEventFilter(&gate);
    return dialog->Cancelled;
}

void RunWithProgressDialog(TAbortDialog *dialog, QEventLoop &loop)
{
    if (!dialog) {
        loop.exec();
        return;
    }
    QObject::connect(dialog->btnCancel, &QPushButton::clicked, &loop, &QEventLoop::quit);
    DialogInputOnly gate(dialog);
    qApp->installEventFilter(&gate);
    loop.exec();
    qApp->removeEventFilter(&gate);
}

void FreeProgressDialog(TAbortDialog *dialog) { delete dialog; }

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

} // namespace hvx
