#pragma once
// What every command of halvex-eval shares: its exit statuses, its messages
// on standard error and its report on standard output.

#include <QByteArray>
#include <QString>

namespace hvx {

constexpr int ExitOk = 0;
constexpr int ExitRefused = 1;
constexpr int ExitError = 2;
constexpr int ExitUsage = 64;

// The exit status of a command that went through its items: ExitError when
// some file, list or output was unusable, else ExitRefused when some item was
// refused (or differs, or is only near), else ExitOk.
int exitStatus(bool anyError, bool anyRefused);

// The text as UTF-8 on standard error.
void writeStderr(const QString &text);
// "halvex-eval: MESSAGE" on standard error.
void writeError(const QString &message);
// The same, with the usage lines and a pointer to --help; gives ExitUsage.
int usageError(const QString &message);
// The lines that open --help and follow a usage error.
QString usageLines();
// Writes the whole text as the report and gives the exit status.
int writeReport(const QString &text);
// The system's text for an errno value.
QString reason(int code);

// Standard output as the report goes out. A report that is not written
// completely (a full disk, a closed output) is a failure, told at the end.
class ReportOutput {
public:
    void write(const QByteArray &bytes);
    void write(const QString &text) { write(text.toUtf8()); }
    // Flushes and closes standard output. False after any failed write, with
    // the message already given.
    bool finish();

private:
    void remember(int error);
    int m_error = 0;
};

} // namespace hvx
