// halvex-eval: evaluates setup files from the command line.
//
// The command line is read into EvalOptions; each mode of the program is one
// function taking them.

#include "bytenames.h"
#include "decodereport.h"
#include "evalreport.h"
#include "halvexversion.h"
#include "pdfoutput.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <memory>

namespace {

constexpr int ExitOk = 0;
constexpr int ExitRefused = 1;
constexpr int ExitError = 2;
constexpr int ExitUsage = 64;

const char programName[] = "halvex-eval";
const char usageLine[] = "usage: halvex-eval [OPTION]... FILE...\n"
                        "       halvex-eval --decode [--json] SWITCHES...\n"
                        "       halvex-eval --verify [--json] FILE SWITCHES";

struct EvalOptions {
    enum class Mode { Evaluate, Decode, Verify };
    Mode mode = Mode::Evaluate;
    bool json = false;
    QByteArray pdfPath; // empty: no PDF
    QList<QByteArray> files;
    // --decode and --verify: the switches read off each unit.
    QStringList switchTexts;
    QList<hvx::SwitchMap> switches;
};

void write(FILE *stream, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), stream);
}

struct OptionSpec {
    QCommandLineOption option;
    QString help; // may hold several lines
};

QList<OptionSpec> optionSpecs()
{
    return {
        { QCommandLineOption(QStringLiteral("json")), QStringLiteral("one JSON object per file per line, for scripts") },
        { QCommandLineOption(QStringLiteral("pdf"), QString(), QStringLiteral("OUT.pdf")),
          QStringLiteral("also print the results sheet of each evaluated file into\nOUT.pdf, one page each") },
        { QCommandLineOption(QStringLiteral("decode")),
          QStringLiteral("name the setup that gives the SWITCHES read off a unit,\n"
                         "or the nearest setups when none gives them") },
        { QCommandLineOption(QStringLiteral("verify")),
          QStringLiteral("compare the SWITCHES read off a unit with those of FILE") },
        { QCommandLineOption(QStringList{ QStringLiteral("h"), QStringLiteral("help") }), QStringLiteral("show this help and exit") },
        { QCommandLineOption(QStringLiteral("version")), QStringLiteral("show the version and exit") },
    };
}

QString helpText(const QList<OptionSpec> &specs)
{
    QString text = QLatin1String(usageLine)
        + QStringLiteral("\nEvaluates each Halvex setup file and reports its switch settings.\n\n");
    constexpr int helpColumn = 21;
    for (const OptionSpec &spec : specs) {
        QStringList names;
        for (const QString &name : spec.option.names())
            names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        QString head = QStringLiteral("  ") + names.join(QStringLiteral(", "));
        if (!spec.option.valueName().isEmpty())
            head += QLatin1Char(' ') + spec.option.valueName();
        const QStringList lines = spec.help.split(QLatin1Char('\n'));
        text += head.leftJustified(helpColumn - 1) + QLatin1Char(' ') + lines.first() + QLatin1Char('\n');
        for (int i = 1; i < lines.size(); ++i)
            text += QString(helpColumn, QLatin1Char(' ')) + lines.at(i) + QLatin1Char('\n');
    }
    text += QStringLiteral("  --                 end of options: every later argument is a FILE\n\n"
                           "SWITCHES is S1=BITS,S2=BITS,S3=BITS,S4=BITS with each bank once; BITS is\n"
                           "twelve 0 (off) or 1 (on), the first for position 1.\n\n"
                           "Exit status: 0 all evaluated, 1 some setup refused, 2 some file unreadable\n"
                           "or output not written, 64 usage error.\n"
                           "With --decode: 0 every unit's switches given by a setup, 1 some only near.\n"
                           "With --verify: 0 match, 1 differ or setup refused, 2 file unreadable.\n");
    return text;
}

int usageError(const QString &message)
{
    write(stderr, QStringLiteral("%1: %2\n%3\nTry '%1 --help' for more information.\n")
                      .arg(QLatin1String(programName), message, QLatin1String(usageLine)));
    return ExitUsage;
}

// Reads the arguments (as the bytes the program was given) into options.
// Returns -1 to go on, or the exit status when the program is done.
int parseArguments(const QList<QByteArray> &arguments, EvalOptions &options)
{
    const QList<OptionSpec> specs = optionSpecs();
    QCommandLineParser parser;
    for (const OptionSpec &spec : specs)
        parser.addOption(spec.option);
    QStringList args;
    for (const QByteArray &argument : arguments)
        args << hvx::BytesToText(argument);
    if (!parser.parse(args))
        return usageError(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        write(stdout, helpText(specs));
        return ExitOk;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        write(stdout, QStringLiteral("%1 %2\n").arg(QLatin1String(programName), QLatin1String(HALVEX_VERSION)));
        return ExitOk;
    }
    options.json = parser.isSet(QStringLiteral("json"));
    const bool decode = parser.isSet(QStringLiteral("decode"));
    const bool verify = parser.isSet(QStringLiteral("verify"));
    if (decode || verify) {
        if (decode && verify)
            return usageError(QStringLiteral("--decode and --verify exclude each other"));
        if (parser.isSet(QStringLiteral("pdf")))
            return usageError(QStringLiteral("--pdf prints setup files only, not with --decode or --verify"));
        options.mode = decode ? EvalOptions::Mode::Decode : EvalOptions::Mode::Verify;
        QStringList positional = parser.positionalArguments();
        if (verify) {
            if (positional.size() != 2)
                return usageError(QStringLiteral("--verify needs one FILE and one SWITCHES"));
            options.files << hvx::TextToBytes(positional.takeFirst());
        } else if (positional.isEmpty()) {
            return usageError(QStringLiteral("--decode needs the SWITCHES of at least one unit"));
        }
        // Every argument is checked before anything is reported.
        for (const QString &text : positional) {
            QString error;
            const std::optional<hvx::SwitchMap> map = hvx::ParseSwitchMap(text, &error);
            if (!map)
                return usageError(QStringLiteral("%1: %2").arg(text, error));
            options.switchTexts << text;
            options.switches << *map;
        }
        return -1;
    }
    if (parser.isSet(QStringLiteral("pdf"))) {
        options.pdfPath = hvx::TextToBytes(parser.value(QStringLiteral("pdf")));
        if (options.pdfPath.isEmpty())
            return usageError(QStringLiteral("--pdf needs a file name"));
    }
    for (const QString &file : parser.positionalArguments())
        options.files << hvx::TextToBytes(file);
    if (options.files.isEmpty())
        return usageError(QStringLiteral("no setup file named"));
    return -1;
}

// Evaluates every file, reports each, and prints the PDF when asked for.
int runEvaluate(const EvalOptions &options)
{
    bool anyRefused = false;
    bool anyError = false;
    QList<hvx::FileReport> reports;
    for (int i = 0; i < options.files.size(); ++i) {
        const hvx::FileReport report = hvx::EvaluateFile(QString::fromLocal8Bit(options.files.at(i)));
        if (!options.pdfPath.isEmpty())
            reports.append(report);
        anyRefused |= report.status == hvx::FileReport::Status::Refused;
        anyError |= report.status == hvx::FileReport::Status::Error;
        if (options.json) {
            write(stdout, hvx::ReportJson(report) + QLatin1Char('\n'));
        } else {
            if (i > 0)
                write(stdout, QStringLiteral("\n"));
            write(stdout, hvx::ReportText(report));
        }
    }
    std::fflush(stdout);
    if (!options.pdfPath.isEmpty()) {
        QString error;
        if (!hvx::WriteResultSheetsPdf(QString::fromLocal8Bit(options.pdfPath), reports, &error)) {
            write(stderr, QStringLiteral("%1: %2\n").arg(QLatin1String(programName), error));
            anyError = true;
        }
    }
    return anyError ? ExitError : anyRefused ? ExitRefused : ExitOk;
}

// Reports the setups that give each unit's switches.
int runDecode(const EvalOptions &options)
{
    bool allExact = true;
    for (int i = 0; i < options.switches.size(); ++i) {
        const hvx::DecodeReport report = hvx::DecodeUnit(options.switches.at(i));
        allExact &= report.result.exact();
        if (options.json) {
            write(stdout, hvx::DecodeJson(report) + QLatin1Char('\n'));
        } else {
            if (i > 0)
                write(stdout, QStringLiteral("\n"));
            write(stdout, hvx::DecodeText(report));
        }
    }
    return allExact ? ExitOk : ExitRefused;
}

// Compares a unit's switches with its setup file.
int runVerify(const EvalOptions &options)
{
    const hvx::VerifyReport report =
        hvx::VerifyUnit(QString::fromLocal8Bit(options.files.first()), options.switches.first());
    write(stdout, options.json ? hvx::VerifyJson(report) + QLatin1Char('\n') : hvx::VerifyText(report));
    switch (report.status) {
    case hvx::VerifyReport::Status::Match: return ExitOk;
    case hvx::VerifyReport::Status::Error: return ExitError;
    case hvx::VerifyReport::Status::Differ:
    case hvx::VerifyReport::Status::Refused: break;
    }
    return ExitRefused;
}

} // namespace

int main(int argc, char *argv[])
{
    const std::unique_ptr<QCoreApplication> app(hvx::NewEvalApplication(argc, argv, hvx::PdfOutputRequested(argc, argv)));
    // The arguments as bytes (the application object may have taken its own).
    QList<QByteArray> arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QByteArray(argv[i]);

    EvalOptions options;
    const int done = parseArguments(arguments, options);
    if (done >= 0)
        return done;
    switch (options.mode) {
    case EvalOptions::Mode::Decode: return runDecode(options);
    case EvalOptions::Mode::Verify: return runVerify(options);
    case EvalOptions::Mode::Evaluate: break;
    }
    return runEvaluate(options);
}
