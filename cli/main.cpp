// halvex-eval: evaluates setup files from the command line.

#include "evalreport.h"
#include "pdfoutput.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <memory>

namespace {

constexpr int ExitOk = 0;
constexpr int ExitRefused = 1;
constexpr int ExitError = 2;
constexpr int ExitUsage = 64;

const char usage[] =
    "usage: halvex-eval [--json] [--pdf OUT.pdf] FILE...\n"
    "Evaluates each Halvex setup file and reports its switch settings.\n"
    "  --json         one JSON object per file per line, for scripts\n"
    "  --pdf OUT.pdf  also print the results sheet of each evaluated file into\n"
    "                 OUT.pdf, one page each\n"
    "Exit status: 0 all evaluated, 1 some setup refused, 2 some file unreadable, 64 usage error.\n";

void write(FILE *stream, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), stream);
}

} // namespace

int main(int argc, char *argv[])
{
    const std::unique_ptr<QCoreApplication> app(hvx::NewEvalApplication(argc, argv, hvx::PdfOutputRequested(argc, argv)));
    QStringList args = app->arguments();
    args.removeFirst();

    bool json = false;
    QString pdfPath;
    QStringList files;
    bool optionsDone = false;
    for (int a = 0; a < args.size(); ++a) {
        const QString &arg = args.at(a);
        if (!optionsDone && arg == QLatin1String("--pdf")) {
            if (a + 1 >= args.size()) {
                write(stderr, QStringLiteral("halvex-eval: --pdf needs a file name\n"));
                std::fputs(usage, stderr);
                return ExitUsage;
            }
            pdfPath = args.at(++a);
        } else if (!optionsDone && arg == QLatin1String("--")) {
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
    QList<hvx::FileReport> reports;
    for (int i = 0; i < files.size(); ++i) {
        const hvx::FileReport report = hvx::EvaluateFile(files.at(i));
        if (!pdfPath.isEmpty())
            reports.append(report);
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
    if (!pdfPath.isEmpty()) {
        QString error;
        if (!hvx::WriteResultSheetsPdf(pdfPath, reports, &error)) {
            write(stderr, QStringLiteral("halvex-eval: %1\n").arg(error));
            anyError = true;
        }
    }
    return anyError ? ExitError : anyRefused ? ExitRefused : ExitOk;
}
