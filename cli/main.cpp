// halvex-eval: evaluates setup files from the command line.

#include "evalreport.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

constexpr int ExitOk = 0;
constexpr int ExitRefused = 1;
constexpr int ExitError = 2;
constexpr int ExitUsage = 64;

const char usage[] =
    "usage: halvex-eval [--json] FILE...\n"
    "Evaluates each Halvex setup file and reports its switch settings.\n"
    "  --json   one JSON object per file per line, for scripts\n"
    "Exit status: 0 all evaluated, 1 some setup refused, 2 some file unreadable, 64 usage error.\n";

void write(FILE *stream, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), stream);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();

    bool json = false;
    QStringList files;
    bool optionsDone = false;
    for (const QString &arg : args) {
        if (!optionsDone && arg == QLatin1String("--")) {
            optionsDone = true;
        } else if (!optionsDone && arg == QLatin1String("--json")) {
            json = true;
        } else if (!optionsDone && (arg == QLatin1String("--help") || arg == QLatin1String("-h"))) {
            std::fputs(usage, stdout);
            return ExitOk;
        } else if (!optionsDone && arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            write(stderr, QStringLiteral("halvex-eval: unknown option %1\n").arg(arg));
            std::fputs(usage, stderr);
            return ExitUsage;
        } else {
            files << arg;
        }
    }
    if (files.isEmpty()) {
        std::fputs(usage, stderr);
        return ExitUsage;
    }

    bool anyRefused = false;
    bool anyError = false;
    for (int i = 0; i < files.size(); ++i) {
        const hvx::FileReport report = hvx::EvaluateFile(files.at(i));
        anyRefused |= report.status == hvx::FileReport::Status::Refused;
        anyError |= report.status == hvx::FileReport::Status::Error;
        if (json) {
            write(stdout, hvx::ReportJson(report) + QLatin1Char('\n'));
        } else {
            if (i > 0)
                write(stdout, QStringLiteral("\n"));
            write(stdout, hvx::ReportText(report));
        }
    }
    std::fflush(stdout);
    return anyError ? ExitError : anyRefused ? ExitRefused : ExitOk;
}
