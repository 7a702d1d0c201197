#pragma once
// Dialogs answered in advance, for tests: installed behind the dialog seam,
// they record every question and never block on a modal box.

#include "dialogs.h"

#include <deque>
#include <functional>
#include <vector>

namespace hvx {

// Answers queued in advance, for tests. Every call is recorded. A call for
// which nothing is queued is recorded as unexpected and answered with
// Cancel / the empty text / false.
class ScriptedDialogs : public DialogProvider {
public:
    enum class Kind { Message, Question, OpenFile, SaveFile, Folder, Print };
    struct Call {
        Kind kind;
        QString title;
        QString text; // message or question text; the preset for SaveFile
        DialogIcon icon = DialogIcon::None;
        QStringList filters;
        QString defaultSuffix;
        bool unexpected = false;
    };

    void queueAnswer(DialogAnswer answer) { m_answers.push_back(answer); }
    void queueOpenFile(const QString &path) { m_openFiles.push_back(path); }
    void queueSaveFile(const QString &path) { m_saveFiles.push_back(path); }
    void queueFolder(const QString &path) { m_folders.push_back(path); }
    // The callback sets up the printer (output file, printer name) and returns
    // whether the user "pressed Print".
    void queuePrint(std::function<bool(QPrinter &)> answer) { m_prints.push_back(std::move(answer)); }

    const std::vector<Call> &calls() const { return m_calls; }
    // Number of calls that found no queued answer.
    int unexpectedCalls() const;
    // Whether every queued answer was used.
    bool allAnswersUsed() const;

    void message(QWidget *parent, const QString &title, const QString &text, DialogIcon icon) override;
    DialogAnswer question(QWidget *parent, const QString &title, const QString &text, DialogIcon icon) override;
    QString openFileName(QWidget *parent, const QStringList &filters, const QString &defaultSuffix) override;
    QString saveFileName(QWidget *parent, const QStringList &filters, const QString &defaultSuffix,
                         const QString &preset) override;
    QString folderName(QWidget *parent, const QString &title, const QString &preset) override;
    bool print(QWidget *parent, QPrinter &printer) override;

private:
    std::deque<DialogAnswer> m_answers;
    std::deque<QString> m_openFiles;
    std::deque<QString> m_saveFiles;
    std::deque<QString> m_folders;
    std::deque<std::function<bool(QPrinter &)>> m_prints;
    std::vector<Call> m_calls;
};

// Installs a ScriptedDialogs for the lifetime of this object.
class ScopedDialogs {
public:
    ScopedDialogs() { setDialogProvider(&scripted); }
    ~ScopedDialogs() { setDialogProvider(nullptr); }
    ScopedDialogs(const ScopedDialogs &) = delete;
    ScopedDialogs &operator=(const ScopedDialogs &) = delete;
    ScriptedDialogs scripted;
};

} // namespace hvx
