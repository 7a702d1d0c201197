#include "explaincommand.h"

#include "bytenames.h"
#include "displaytext.h"
#include "evalreport.h"
#include "reportoutput.h"
#include "switchexplanation.h"
#include "tablecommands.h"

namespace hvx {

QCommandLineOption explainOption() { return QCommandLineOption(QStringLiteral("explain")); }

QString explainHelp()
{
    return QStringLiteral("tell for each switch position of each FILE why it is on or\n"
                          "off, bank by bank (with --json, one object per position)");
}

namespace {

// The options that name another command or another way of giving the files.
QString otherOptionSet(const QCommandLineParser &parser)
{
    QStringList others{ QStringLiteral("decode"), QStringLiteral("verify"), QStringLiteral("pdf"),
                        QStringLiteral("files-from"), QStringLiteral("null") };
    for (const QCommandLineOption &option : tableOptions())
        others << option.names().first();
    for (const QString &name : others)
        if (parser.isSet(name))
            return name;
    return QString();
}

QString explanationText(const FileReport &report, const SetupExplanation &explanation)
{
    QString out = displayText(report.file) + QLatin1Char('\n');
    if (report.status == FileReport::Status::Error)
        return out + QStringLiteral("  error: ") + displayText(report.message) + QLatin1Char('\n');
    if (report.status == FileReport::Status::Refused)
        return out + QStringLiteral("  refused: ") + displayText(report.message) + QLatin1Char('\n');
    for (const SwitchExplanation &e : explanation.positions) {
        if (e.position == 1)
            out += QStringLiteral("  S%1\n").arg(e.bank);
        out += QStringLiteral("    ") + displayText(e.text()) + QLatin1Char('\n');
    }
    return out;
}

QString statusJson(FileReport::Status status)
{
    switch (status) {
    case FileReport::Status::Ok:
        return QStringLiteral("\"ok\"");
    case FileReport::Status::Refused:
        return QStringLiteral("\"refused\"");
    case FileReport::Status::Error:
        break;
    }
    return QStringLiteral("\"error\"");
}

// One line per position; a file refused or unreadable gets one line with
// its message instead.
QString explanationJson(const FileReport &report, const SetupExplanation &explanation)
{
    const QString head = QStringLiteral("{\"file\": ") + fileNameJson(report) + QStringLiteral(", \"status\": ")
        + statusJson(report.status);
    if (report.status != FileReport::Status::Ok)
        return head + QStringLiteral(", \"message\": ") + jsonString(report.message) + QStringLiteral("}\n");
    QString out;
    for (const SwitchExplanation &e : explanation.positions) {
        out += head
            + QStringLiteral(", \"bank\": \"S%1\", \"position\": %2, \"on\": %3, \"reason\": ")
                  .arg(e.bank)
                  .arg(e.position)
                  .arg(e.on ? QStringLiteral("true") : QStringLiteral("false"))
            + jsonString(e.reason) + QStringLiteral(", \"text\": ") + jsonString(e.text()) + QStringLiteral("}\n");
    }
    return out;
}

} // namespace

int runExplain(const QCommandLineParser &parser, bool json)
{
    const QString other = otherOptionSet(parser);
    if (!other.isEmpty())
        return usageError(QStringLiteral("--explain takes setup files named on the command line, not --%1").arg(other));
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty())
        return usageError(QStringLiteral("--explain needs at least one FILE"));

    bool anyRefused = false;
    bool anyError = false;
    ReportOutput out;
    for (int i = 0; i < files.size(); ++i) {
        const FileReport report = evaluateFile(textToBytes(files.at(i)));
        anyRefused |= report.status == FileReport::Status::Refused;
        anyError |= report.status == FileReport::Status::Error;
        const SetupExplanation explanation = report.status == FileReport::Status::Ok ? explainSwitches(report.setup)
                                                                                     : SetupExplanation();
        if (!json && i > 0)
            out.write(QStringLiteral("\n"));
        out.write(json ? explanationJson(report, explanation) : explanationText(report, explanation));
    }
    anyError |= !out.finish();
    return anyError ? ExitError : anyRefused ? ExitRefused : ExitOk;
}

} // namespace hvx
