// halvex-eval: evaluates setup files from the command line.
//
// The command line is read into EvalOptions; each mode of the program is one
// function taking them.

#include "bytenames.h"
#include "decodereport.h"
#include "displaytext.h"
#include "evalreport.h"
#include "explaincommand.h"
#include "filelist.h"
#include "halvexversion.h"
#include "pdfoutput.h"
#include "reportoutput.h"
#include "tablecommands.h"
#include "wholefile.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include <cerrno>
#include <memory>
#include <optional>

#include <fcntl.h>
#include <unistd.h>

namespace {

using hvx::ExitError;
using hvx::ExitOk;
using hvx::ExitRefused;
using hvx::ReportOutput;
using hvx::usageError;
using hvx::writeError;

struct EvalOptions {
    enum class Mode { Evaluate, Decode, Verify };
    Mode mode = Mode::Evaluate;
    bool json = false;
    QByteArray pdfPath;             // empty: no PDF
    QList<QByteArray> files;        // from the command line
    QList<QByteArray> fileLists;    // --files-from, in order; "-" is standard input
    bool nullSeparated = false;     // --null
    QList<hvx::SwitchMap> switches; // --decode, --verify: as read off each unit
};

// A closed standard descriptor is taken by the next file the program opens;
// a report or a message would then go into that file. Each closed one is kept
// taken by /dev/null opened the other way round, so that using it still fails
// as it would have.
void keepStandardDescriptorsTaken()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        const int guard = ::open("/dev/null", (fd == 0 ? O_WRONLY : O_RDONLY) | O_CLOEXEC);
        if (guard >= 0 && guard != fd) {
            ::dup2(guard, fd);
            ::close(guard);
        }
    }
}

// Qt's own warnings (such as that of a missing runtime folder, given to root)
// are not the tool's messages: standard error carries only those.
void keepQtMessagesOff(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg)
        writeError(message);
}

struct OptionEntry {
    QCommandLineOption option;
    QString help; // may hold several lines
};

QList<OptionEntry> optionTable()
{
    return {
        { QCommandLineOption(QStringLiteral("json")),
          QStringLiteral("one JSON object per file per line, for scripts") },
        { QCommandLineOption(QStringLiteral("pdf"), QString(), QStringLiteral("OUT.pdf")),
          QStringLiteral("also print the results sheet of each evaluated file into\n"
                         "OUT.pdf, one page each (only a regular file is replaced,\n"
                         "through a link too; it may not be one of the files to\n"
                         "evaluate)") },
        { QCommandLineOption(QStringLiteral("files-from"), QString(), QStringLiteral("LIST")),
          QStringLiteral("also evaluate the files named in LIST, one per line (empty\n"
                         "lines skipped), after those on the command line; - reads\n"
                         "the list from standard input") },
        { QCommandLineOption(QStringLiteral("null")),
          QStringLiteral("names in the --files-from list end with a NUL byte, not a\n"
                         "line feed") },
        { QCommandLineOption(QStringLiteral("decode")),
          QStringLiteral("name the setup that gives the SWITCHES read off a unit, or\n"
                         "the nearest setups when none gives them") },
        { QCommandLineOption(QStringLiteral("verify")),
          QStringLiteral("compare the SWITCHES read off a unit with those of FILE") },
        { hvx::explainOption(), hvx::explainHelp() },
        { QCommandLineOption(QStringList{ QStringLiteral("h"), QStringLiteral("help") }),
          QStringLiteral("show this help and exit") },
        { QCommandLineOption(QStringLiteral("version")), QStringLiteral("show the version and exit") },
    };
}

QString helpText(const QList<OptionEntry> &entries)
{
    QString text = hvx::usageLines()
        + QStringLiteral("\nEvaluates each Halvex setup file and reports its switch settings. The files\n"
                         "are named on the command line, by --files-from, or both.\n\n");
    constexpr int helpColumn = 21;
    for (const OptionEntry &entry : entries) {
        QStringList names;
        for (const QString &name : entry.option.names())
            names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        QString head = QStringLiteral("  ") + names.join(QStringLiteral(", "));
        if (!entry.option.valueName().isEmpty())
            head += QLatin1Char(' ') + entry.option.valueName();
        const QStringList lines = entry.help.split(QLatin1Char('\n'));
        text += head.leftJustified(helpColumn - 1) + QLatin1Char(' ') + lines.first() + QLatin1Char('\n');
        for (int i = 1; i < lines.size(); ++i)
            text += QString(helpColumn, QLatin1Char(' ')) + lines.at(i) + QLatin1Char('\n');
    }
    text += QStringLiteral("  --                 end of options: every later argument is a FILE\n\n"
                           "SWITCHES is S1=BITS,S2=BITS,S3=BITS,S4=BITS, each bank once (s1 is S1; blanks\n"
                           "may follow the commas); BITS is twelve 0 (off) or 1 (on), the first for\n"
                           "position 1.\n\n"
                           "Exit status: 0 all evaluated, 1 some setup refused, 2 some file or list\n"
                           "unreadable or some output not written, 64 usage error.\n"
                           "With --decode: 0 every unit's switches given by a setup, 1 some only near.\n"
                           "With --verify: 0 match, 1 differ or setup refused, 2 file unreadable.\n\n");
    return text + hvx::tableHelpText();
}

// Writes the whole text to standard output and ends the program.
int writeAll(const QString &text)
{
    ReportOutput out;
    out.write(text);
    return out.finish() ? ExitOk : ExitError;
}

// SWITCHES written with blanks after the commas arrive in pieces when not
// quoted ("S1=...," "S2=...,"): a piece that ends in a comma, or one that
// starts with one, is joined to the next.
QStringList joinSwitchPieces(const QStringList &arguments)
{
    QStringList joined;
    for (const QString &argument : arguments) {
        if (!joined.isEmpty() && (joined.last().endsWith(QLatin1Char(',')) || argument.startsWith(QLatin1Char(','))))
            joined.last() += argument;
        else
            joined << argument;
    }
    return joined;
}

// The arguments of --decode (SWITCHES...) and --verify (FILE SWITCHES), all
// checked before anything is reported. Returns nothing to go on, or the exit
// status.
std::optional<int> parseUnitArguments(const QCommandLineParser &parser, EvalOptions &options)
{
    const bool decode = parser.isSet(QStringLiteral("decode"));
    if (decode && parser.isSet(QStringLiteral("verify")))
        return usageError(QStringLiteral("--decode and --verify exclude each other"));
    for (const char *option : { "pdf", "files-from", "null" }) {
        if (parser.isSet(QLatin1String(option)))
            return usageError(QStringLiteral("--%1 is for setup files, not with --decode or --verify")
                                  .arg(QLatin1String(option)));
    }
    options.mode = decode ? EvalOptions::Mode::Decode : EvalOptions::Mode::Verify;
    QStringList positional = joinSwitchPieces(parser.positionalArguments());
    if (!decode) {
        if (positional.size() == 2 && hvx::parseSwitchMap(positional.first())
            && !hvx::parseSwitchMap(positional.last()))
            return usageError(QStringLiteral("--verify takes the FILE first, then the SWITCHES"));
        if (positional.size() != 2)
            return usageError(QStringLiteral("--verify needs one FILE and one SWITCHES"));
        options.files << hvx::textToBytes(positional.takeFirst());
    } else if (positional.isEmpty()) {
        return usageError(QStringLiteral("--decode needs the SWITCHES of at least one unit"));
    }
    for (const QString &text : positional) {
        QString error;
        const std::optional<hvx::SwitchMap> map = hvx::parseSwitchMap(text, &error);
        if (!map)
            return usageError(hvx::displayText(QStringLiteral("%1: %2").arg(text, error)));
        options.switches << *map;
    }
    return std::nullopt;
}

// Reads the arguments (as the bytes the program was given) into options.
// Returns nothing to go on, or the exit status when the program is done.
std::optional<int> parseArguments(const QList<QByteArray> &arguments, EvalOptions &options)
{
    QList<OptionEntry> entries = optionTable();
    for (int i = 0; i < hvx::tableOptions().size(); ++i)
        entries.append({ hvx::tableOptions().at(i), hvx::tableOptionHelp().at(i) });
    QCommandLineParser parser;
    for (const OptionEntry &entry : entries)
        parser.addOption(entry.option);
    QStringList args;
    for (const QByteArray &argument : arguments)
        args << hvx::bytesToText(argument);
    if (!parser.parse(args))
        return usageError(hvx::displayText(parser.errorText()));
    if (parser.isSet(QStringLiteral("help")))
        return writeAll(helpText(entries));
    if (parser.isSet(QStringLiteral("version")))
        return writeAll(QStringLiteral("halvex-eval %1\n").arg(QLatin1String(HALVEX_VERSION)));
    options.json = parser.isSet(QStringLiteral("json"));
    if (parser.isSet(hvx::explainOption().names().first()))
        return hvx::runExplain(parser, options.json);
    if (const std::optional<int> done = hvx::runTableCommand(parser))
        return done;
    if (parser.isSet(QStringLiteral("decode")) || parser.isSet(QStringLiteral("verify")))
        return parseUnitArguments(parser, options);
    if (parser.isSet(QStringLiteral("pdf"))) {
        options.pdfPath = hvx::textToBytes(parser.value(QStringLiteral("pdf")));
        if (options.pdfPath.isEmpty())
            return usageError(QStringLiteral("--pdf needs a file name"));
    }
    for (const QString &list : parser.values(QStringLiteral("files-from"))) {
        options.fileLists << hvx::textToBytes(list);
        if (options.fileLists.last().isEmpty())
            return usageError(QStringLiteral("--files-from needs a file name"));
    }
    options.nullSeparated = parser.isSet(QStringLiteral("null"));
    if (options.nullSeparated && options.fileLists.isEmpty())
        return usageError(QStringLiteral("--null is for a --files-from list"));
    for (const QString &file : parser.positionalArguments())
        options.files << hvx::textToBytes(file);
    if (options.files.isEmpty() && options.fileLists.isEmpty())
        return usageError(QStringLiteral("no setup file named"));
    return std::nullopt;
}

// Evaluates every file, reports each, and prints the PDF when asked for.
int runEvaluate(const EvalOptions &options)
{
    QList<QByteArray> files = options.files;
    for (const QByteArray &list : options.fileLists) {
        QString error;
        if (!hvx::readFileList(list, options.nullSeparated, &files, &error)) {
            writeError(error);
            return ExitError;
        }
    }
    if (!options.pdfPath.isEmpty()) {
        const QString pdfName = hvx::displayText(hvx::bytesToText(options.pdfPath));
        if (hvx::isOneOfTheFiles(options.pdfPath, files))
            return usageError(QStringLiteral("%1 is one of the setup files to evaluate; --pdf would overwrite it")
                                  .arg(pdfName));
        // Refused before any work: only a regular file is ever replaced.
        const QString why = hvx::whyNotReplaceable(options.pdfPath);
        if (!why.isEmpty()) {
            writeError(QStringLiteral("%1 could not be written: %2").arg(pdfName, why));
            return ExitError;
        }
    }

    bool anyRefused = false;
    bool anyError = false;
    ReportOutput out;
    QList<hvx::FileReport> reports;
    for (int i = 0; i < files.size(); ++i) {
        const hvx::FileReport report = hvx::evaluateFile(files.at(i));
        if (!options.pdfPath.isEmpty())
            reports.append(report);
        anyRefused |= report.status == hvx::FileReport::Status::Refused;
        anyError |= report.status == hvx::FileReport::Status::Error;
        if (options.json) {
            out.write(hvx::reportJson(report) + QLatin1Char('\n'));
        } else {
            if (i > 0)
                out.write(QStringLiteral("\n"));
            out.write(hvx::reportText(report));
        }
    }
    anyError |= !out.finish();
    if (!options.pdfPath.isEmpty()) {
        QString error;
        if (!hvx::writeResultSheetsPdf(options.pdfPath, reports, &error)) {
            writeError(error);
            anyError = true;
        }
    }
    return anyError ? ExitError : anyRefused ? ExitRefused : ExitOk;
}

// Reports the setups that give each unit's switches.
int runDecode(const EvalOptions &options)
{
    bool allExact = true;
    ReportOutput out;
    for (int i = 0; i < options.switches.size(); ++i) {
        const hvx::DecodeReport report = hvx::decodeUnit(options.switches.at(i));
        allExact &= report.result.exact();
        if (options.json) {
            out.write(hvx::decodeJson(report) + QLatin1Char('\n'));
        } else {
            if (i > 0)
                out.write(QStringLiteral("\n"));
            out.write(hvx::decodeText(report));
        }
    }
    if (!out.finish())
        return ExitError;
    return allExact ? ExitOk : ExitRefused;
}

// Compares a unit's switches with its setup file.
int runVerify(const EvalOptions &options)
{
    const hvx::VerifyReport report = hvx::verifyUnit(options.files.first(), options.switches.first());
    ReportOutput out;
    out.write(options.json ? hvx::verifyJson(report) + QLatin1Char('\n') : hvx::verifyText(report));
    if (!out.finish())
        return ExitError;
    switch (report.status) {
    case hvx::VerifyReport::Status::Match:
        return ExitOk;
    case hvx::VerifyReport::Status::Error:
        return ExitError;
    case hvx::VerifyReport::Status::Differ:
    case hvx::VerifyReport::Status::Refused:
        break;
    }
    return ExitRefused;
}

} // namespace

int main(int argc, char *argv[])
{
    keepStandardDescriptorsTaken();
    qInstallMessageHandler(keepQtMessagesOff);
    const std::unique_ptr<QCoreApplication> app(hvx::newEvalApplication(argc, argv,
                                                                        hvx::pdfOutputRequested(argc, argv)));
    // The arguments as bytes (the application object may have taken its own).
    QList<QByteArray> arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QByteArray(argv[i]);

    EvalOptions options;
    if (const std::optional<int> done = parseArguments(arguments, options))
        return *done;
    switch (options.mode) {
    case EvalOptions::Mode::Decode:
        return runDecode(options);
    case EvalOptions::Mode::Verify:
        return runVerify(options);
    case EvalOptions::Mode::Evaluate:
        break;
    }
    return runEvaluate(options);
}
