#include "dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace hvx {
namespace {

DialogProvider *g_provider = nullptr;

QMessageBox::Icon toQt(DialogIcon icon)
{
    switch (icon) {
    case DialogIcon::Information:
        return QMessageBox::Information;
    case DialogIcon::Warning:
        return QMessageBox::Warning;
    case DialogIcon::Error:
        return QMessageBox::Critical;
    case DialogIcon::Question:
        return QMessageBox::Question;
    case DialogIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QString withDefaultSuffix(const QString &path, const QString &suffix)
{
    // As the Qt dialog decides it: any dot in the file's own name (not in its
    // folders) counts as an extension, a trailing one too.
    const QString name = QFileInfo(path).fileName();
    if (name.isEmpty() || suffix.isEmpty() || name.contains(QLatin1Char('.')))
        return path;
    return path + QLatin1Char('.') + suffix;
}

DialogProvider &dialogs()
{
    static QtDialogs qtDialogs;
    return g_provider ? *g_provider : qtDialogs;
}

void setDialogProvider(DialogProvider *provider) { g_provider = provider; }

QString chooseSaveName(QWidget *parent, const QStringList &filters, const QString &defaultSuffix, const QString &preset)
{
    for (;;) {
        const QString path = dialogs().saveFileName(parent, filters, defaultSuffix, preset);
        if (path.isEmpty() || !QFileInfo::exists(path))
            return path;
        const DialogAnswer answer = dialogs().question(parent, QStringLiteral("Warning"),
                                                       path + QStringLiteral(" already exists. Overwrite it?"),
                                                       DialogIcon::Warning);
        if (answer == DialogAnswer::Yes)
            return path;
        if (answer == DialogAnswer::Cancel)
            return QString();
    }
}

void QtDialogs::message(QWidget *parent, const QString &title, const QString &text, DialogIcon icon)
{
    QMessageBox box(toQt(icon), title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText); // paths are shown as they are, never as markup
    box.exec();
}

DialogAnswer QtDialogs::question(QWidget *parent, const QString &title, const QString &text, DialogIcon icon)
{
    QMessageBox box(toQt(icon), title, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setTextFormat(Qt::PlainText);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return DialogAnswer::Yes;
    case QMessageBox::No:
        return DialogAnswer::No;
    default:
        return DialogAnswer::Cancel;
    }
}

QString QtDialogs::openFileName(QWidget *parent, const QStringList &filters, const QString &defaultSuffix)
{
    QFileDialog dlg(parent);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::AnyFile); // the command itself reports a missing file
    dlg.setNameFilters(filters);
    // The dialog comes back with the name chosen at its last use.
    if (!m_lastOpenPath.isEmpty())
        dlg.selectFile(m_lastOpenPath);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    QString path = dlg.selectedFiles().constFirst();
    // A name typed without an extension gets the default one, unless a file
    // of exactly that name exists (picked under "All Files").
    if (!QFileInfo::exists(path))
        path = withDefaultSuffix(path, defaultSuffix);
    m_lastOpenPath = path;
    return path;
}

QString QtDialogs::saveFileName(QWidget *parent, const QStringList &filters, const QString &defaultSuffix,
                                const QString &preset)
{
    QFileDialog dlg(parent);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setOption(QFileDialog::DontConfirmOverwrite); // the command asks itself
    dlg.setNameFilters(filters);
    dlg.setDefaultSuffix(defaultSuffix);
    if (!preset.isEmpty())
        dlg.selectFile(preset);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    return withDefaultSuffix(dlg.selectedFiles().constFirst(), defaultSuffix);
}

QString QtDialogs::folderName(QWidget *parent, const QString &title, const QString &preset)
{
    return QFileDialog::getExistingDirectory(parent, title, preset);
}

bool QtDialogs::print(QWidget *parent, QPrinter &printer)
{
    QPrintDialog dlg(&printer, parent);
    return dlg.exec() == QDialog::Accepted;
}

} // namespace hvx
