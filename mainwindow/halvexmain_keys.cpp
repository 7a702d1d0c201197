// The main window's keys (Alt+F1, Alt+F2, the menu's own keys for desktops
// that take those, and keys without Alt for a screen reader's user), the status label's width and the splash screen
// on the first activation.

#include "halvexmain.h"

#include "ui_halvexmain.h"
#include "visibilityaction.h"

#include <QKeyEvent>
#include <QShortcut>
#include <QTimer>

#include <algorithm>

namespace hvx {

namespace {

// The least width of the status label.
constexpr int InfoLabelWidth = 297;

} // namespace

void TMainForm::buildMenuCommands()
{
    // Desktops take Alt+F1 and Alt+F2 for themselves: About has F1 (set in
    // the form), the conversion speed choice an entry of the View menu with
    // Shift+F2, and F10 opens the menu bar, so that every command is
    // reachable from the keyboard whatever the desktop lets through.
    auto *speed = new VisibilityAction(QStringLiteral("&Conversion Speed"), ui->rgConversionSpeed, this);
    speed->setObjectName(QStringLiteral("ConversionSpeed1"));
    speed->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F2));
    ui->View1->addAction(speed);
    auto *menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this,
            [this] { ui->MainMenu1->setActiveAction(ui->MainMenu1->actions().value(0)); });
}

bool TMainForm::FormKeyDown(QKeyEvent *e)
{
    if (!(e->modifiers() & Qt::AltModifier))
        return false;
    if (e->key() == Qt::Key_F1) {
        About1Click();
        return true;
    }
    if (e->key() == Qt::Key_F2) {
        ui->rgConversionSpeed->setVisible(ui->rgConversionSpeed->isHidden());
        return true;
    }
    return false;
}

bool TMainForm::isCommandKey(const QKeyEvent *e) const
{
    const QKeySequence key(e->keyCombination());
    for (const QAction *command : { ui->Evaluate2, ui->ReadSwitches1 })
        if (command->shortcut() == key)
            return true;
    return false;
}

bool TMainForm::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() == QEvent::Show)
        fitListToItems(watched);
    if (watched == ui->CoolBar1 && e->type() == QEvent::Resize) {
        QRect place = ui->lInfoLabel->geometry();
        place.setRight(std::max(place.left() + InfoLabelWidth, ui->CoolBar1->contentsRect().right()) - 1);
        ui->lInfoLabel->setGeometry(place);
    }
    if (e->type() == QEvent::KeyPress && FormKeyDown(static_cast<QKeyEvent *>(e)))
        return true;
    // The custom edits would take Ctrl+E (the end of the line, which End
    // reaches as well) from Evaluate: the window's commands come first.
    if (e->type() == QEvent::ShortcutOverride && isCommandKey(static_cast<QKeyEvent *>(e)))
        return true;
    return QMainWindow::eventFilter(watched, e);
}

void TMainForm::keyPressEvent(QKeyEvent *e)
{
    // Keys that a choice or a button let pass do not reach the commands; only
    // the window itself, holding the focus, does.
    QWidget *focus = focusWidget();
    if ((!focus || focus == this) && FormKeyDown(e))
        return;
    QMainWindow::keyPressEvent(e);
}

void TMainForm::FormActivate()
{
    if (m_splashDone || !m_splashForm)
        return;
    m_splashDone = true;
    // Shown once the activation has been handled, in front of this window.
    QTimer::singleShot(0, this, [this] {
        if (m_splashForm)
            m_splashForm->exec();
    });
}

bool TMainForm::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate)
        FormActivate();
    const bool handled = QMainWindow::event(e);
    // The desktop's theme changed.
    if (e->type() == QEvent::PaletteChange || e->type() == QEvent::ApplicationPaletteChange)
        paintToolBarPictures();
    return handled;
}

} // namespace hvx
