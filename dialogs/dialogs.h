#pragma once
// The one seam through which every message box, question and file or print
// dialog of the program passes. The program uses the Qt dialogs; tests install
// a ScriptedDialogs that answers in advance and records what was asked, so no
// test ever blocks on a modal box.

#include <QString>
#include <QStringList>

class QWidget;
class QPrinter;

namespace hvx {

// The application's title: names the program and titles its plain message boxes.
inline QString applicationTitle() { return QStringLiteral("Halvex"); }

enum class DialogIcon { None, Information, Warning, Error, Question };
enum class DialogAnswer { Yes, No, Cancel };

class DialogProvider {
public:
    virtual ~DialogProvider() = default;
    // A plain message box with an OK button.
    virtual void message(QWidget *parent, const QString &title, const QString &text, DialogIcon icon) = 0;
    // A Yes/No/Cancel box; closing it without an answer gives Cancel.
    virtual DialogAnswer question(QWidget *parent, const QString &title, const QString &text, DialogIcon icon) = 0;
    // File dialogs: the chosen path, or the empty text when cancelled. filters
    // are Qt name filters ("Halvex File (*.hvx)"); the first is selected. The
    // default suffix is appended to a name typed without one.
    virtual QString openFileName(QWidget *parent, const QStringList &filters, const QString &defaultSuffix) = 0;
    virtual QString saveFileName(QWidget *parent, const QStringList &filters, const QString &defaultSuffix,
                                 const QString &preset) = 0;
    // The folder dialog, opened at preset: the chosen folder, or the empty
    // text when cancelled.
    virtual QString folderName(QWidget *parent, const QString &title, const QString &preset) = 0;
    // The print dialog on the given printer; true when the user chose to print.
    virtual bool print(QWidget *parent, QPrinter &printer) = 0;
};

// The name a file dialog returns for the name chosen in it: the default suffix
// appended (after a dot) when the file's own name has no extension.
QString withDefaultSuffix(const QString &path, const QString &suffix);

// Save As: the name the user chose in the save dialog, asked once more
// ("Warning", "PATH already exists. Overwrite it?") when it names a file
// that exists: No shows the dialog again. Empty when the user gave up.
QString chooseSaveName(QWidget *parent, const QStringList &filters, const QString &defaultSuffix,
                       const QString &preset);

// The provider in use (the Qt one unless a test installed another).
DialogProvider &dialogs();
// Installs a provider (not owned); nullptr goes back to the Qt dialogs.
void setDialogProvider(DialogProvider *provider);

// The real dialogs.
class QtDialogs : public DialogProvider {
public:
    void message(QWidget *parent, const QString &title, const QString &text, DialogIcon icon) override;
    DialogAnswer question(QWidget *parent, const QString &title, const QString &text, DialogIcon icon) override;
    QString openFileName(QWidget *parent, const QStringList &filters, const QString &defaultSuffix) override;
    QString saveFileName(QWidget *parent, const QStringList &filters, const QString &defaultSuffix,
                         const QString &preset) override;
    QString folderName(QWidget *parent, const QString &title, const QString &preset) override;
    bool print(QWidget *parent, QPrinter &printer) override;

private:
    QString m_lastOpenPath; // the open dialog keeps the name chosen at its last use
};

} // namespace hvx
