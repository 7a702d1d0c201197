#include "explaincommand.h"

#include "arguments.h"
#include "displaytext.h"
#include "evalreport.h"
#include "reportoutput.h"
#include "switchexplanation.h"

namespace hvx {

namespace {

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

int runExplain(const Arguments &line)
{
    QList<QByteArray> files;
    if (const int status = gatherFilesOrTell(line, &files); status != ExitOk)
        return status;
    const bool json = line.json();
    bool anyRefused = false;
    bool anyError = false;
    ReportOutput out;
    for (int i = 0; i < files.size(); ++i) {
        const FileReport report = evaluateFile(files.at(i));
        anyRefused |= report.status == FileReport::Status::Refused;
        anyError |= report.status == FileReport::Status::Error;
        const SetupExplanation explanation = report.status == FileReport::Status::Ok ? explainSwitches(report.setup)
                                                                                     : SetupExplanation();
        if (!json && i > 0)
            out.write(QStringLiteral("\n"));
        out.write(json ? explanationJson(report, explanation) : explanationText(report, explanation));
    }
    anyError |= !out.finish();
    return exitStatus(anyError, anyRefused);
}

} // namespace hvx
