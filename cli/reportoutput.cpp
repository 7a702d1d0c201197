#include "reportoutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace hvx {

void writeStderr(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), stderr);
}

void writeError(const QString &message) { writeStderr(QStringLiteral("halvex-eval: ") + message + QLatin1Char('\n')); }

QString usageLines()
{
    return QStringLiteral("usage: halvex-eval [OPTION]... [FILE]...\n"
                          "       halvex-eval --decode [--json] SWITCHES...\n"
                          "       halvex-eval --verify [--json] FILE SWITCHES\n"
                          "       halvex-eval --explain [--json] FILE...\n"
                          "       halvex-eval --csv | --make TABLE [--into DIR] | --verify-table TABLE [--into DIR]\n"
                          "       halvex-eval --make TABLE [--into DIR] --update | --force [--dry-run]\n"
                          "       halvex-eval --pdf OUT --table TABLE | --csv --table TABLE [--into DIR]");
}

int usageError(const QString &message)
{
    writeError(message);
    writeStderr(usageLines() + QStringLiteral("\nTry 'halvex-eval --help' for more information.\n"));
    return ExitUsage;
}

int exitStatus(bool anyError, bool anyRefused) { return anyError ? ExitError : anyRefused ? ExitRefused : ExitOk; }

QString reason(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

int writeReport(const QString &text)
{
    ReportOutput out;
    out.write(text);
    return exitStatus(!out.finish(), false);
}

void ReportOutput::write(const QByteArray &bytes)
{
    if (std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout) != size_t(bytes.size()))
        remember(errno);
}

bool ReportOutput::finish()
{
    if (std::fflush(stdout) != 0)
        remember(errno);
    if (std::ferror(stdout))
        remember(EIO);
    if (std::fclose(stdout) != 0)
        remember(errno);
    if (m_error != 0)
        writeError(QStringLiteral("the report could not be written: %1").arg(reason(m_error)));
    return m_error == 0;
}

void ReportOutput::remember(int error)
{
    if (m_error == 0)
        m_error = error != 0 ? error : EIO;
}

} // namespace hvx
