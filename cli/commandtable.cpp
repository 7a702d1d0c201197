#include "commandtable.h"

#include "arguments.h"
#include "displaytext.h"
#include "evalcommands.h"
#include "explaincommand.h"
#include "halvexversion.h"
#include "reportoutput.h"
#include "tablecommands.h"

namespace hvx {
namespace {

// What a command says of an option it does not take (the option, then the
// command, by name).
QString notForCommand(const QString &option, const QString &command)
{
    return QStringLiteral("--%1 is not for --%2").arg(option, command);
}

QString onlyForMake(const QString &option, const QString &)
{
    if (option == QLatin1String("into"))
        return QStringLiteral("--into is for --make, --verify-table and --csv --table");
    return QStringLiteral("--force, --update and --dry-run are for --make");
}

QString notForUnits(const QString &option, const QString &command)
{
    if (option == QLatin1String("into") || option == QLatin1String("force"))
        return notForCommand(option, command);
    return QStringLiteral("--%1 is for setup files, not with --decode or --verify").arg(option);
}

int runHelp(const Arguments &);

int runVersion(const Arguments &)
{
    return writeReport(QStringLiteral("halvex-eval %1\n").arg(QLatin1String(HALVEX_VERSION)));
}

QStringList words(const char *text) { return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts); }

// An option: its names ("h help" for -h and --help), the name of its value
// (none: it takes none), its help and the usage problem of an empty value.
CliEntry option(const char *names, const char *valueName, const char *help, const char *ifEmpty = nullptr)
{
    CliEntry entry;
    entry.names = words(names);
    entry.valueName = QLatin1String(valueName);
    entry.help = QLatin1String(help);
    entry.ifEmpty = QLatin1String(ifEmpty);
    return entry;
}

// A command: the option that names it, what runs it, its operands, the
// options it takes (by name, separated by blanks) and the commands it excludes.
CliEntry command(CliEntry entry, int (*run)(const Arguments &), Operands operands, const char *takes,
                 const char *rivals, QString (*refusal)(const QString &, const QString &) = notForCommand)
{
    entry.run = run;
    entry.operands = operands;
    entry.takes = words(takes);
    entry.rivals = QLatin1String(rivals);
    entry.refusal = refusal;
    return entry;
}

CliEntry overriding(CliEntry entry, int (*run)(const Arguments &))
{
    entry.run = run;
    entry.overrides = true;
    return entry;
}

// The table, in the order of --help. The evaluation, named by no option, runs
// when no other command is named.
QList<CliEntry> makeTable()
{
    const char *units = "--decode and --verify";
    const char *tables = "--csv, --make, --verify-table, --decode and --verify";
    // clang-format off
    return {
        command(CliEntry(), runEvaluateOrSheets, Operands::Files, "json pdf files-from null table", "", onlyForMake),
        option("json", "", "one JSON object per file per line, for scripts"),
        option("pdf", "OUT.pdf", "also print the results sheet of each evaluated file into\nOUT.pdf, one page each (only a regular file is replaced,\nthrough a link too; it may not be one of the files to\nevaluate)",
               "--pdf needs a file name"),
        option("files-from", "LIST", "also evaluate the files named in LIST, one per line (an\nempty line is refused), after those on the command line;\n- reads the list from standard input",
               "--files-from needs a file name"),
        option("null", "", "names in the --files-from list end with a NUL byte, not a\nline feed"),
        option("table", "TABLE", "with --pdf: print one sheet per row of TABLE, in its order,\nwith the row's own columns (tag, location...) below the\nsummary; with --csv: write TABLE back with its setup\ncolumns read from the files its rows name",
               "--table needs a table"),
        command(option("decode", "", "name the setup that gives the SWITCHES read off a unit, or\nthe nearest setups when none gives them"),
                runDecode, Operands::Own, "json", units, notForUnits),
        command(option("verify", "", "compare the SWITCHES read off a unit with those of FILE"),
                runVerify, Operands::Own, "json", units, notForUnits),
        overriding(option("h help", "", "show this help and exit"), runHelp),
        overriding(option("version", "", "show the version and exit"), runVersion),
        command(option("csv", "", "write the table of the setup FILEs (CSV) instead of the\nreport"),
                runExport, Operands::Files, "files-from null table into", tables),
        command(option("make", "TABLE", "write one setup file per row of TABLE (CSV) into the\ntable's folder or DIR; every row is checked first", "--make needs a table"),
                runMakeTable, Operands::None, "into force update dry-run", tables),
        option("into", "DIR", "the folder of the setup files a table's rows name, for\n--make (made when missing), --verify-table and --csv\n--table; without it, the table's own folder"),
        option("force", "", "--make replaces setup files that exist"),
        option("update", "", "--make writes only new files and those whose setup changes,\nand lists them (new:, changed: with the columns that\ndiffer and the switches to reset) with the count of those\nleft unchanged"),
        option("dry-run", "", "with --update or --force: list what --make would write\n(replaced: a file --force writes again as it is), and\nwrite nothing"),
        command(option("verify-table", "TABLE", "compare the switches read off each unit, read S1 to read\nS4 in TABLE, with its setup file, named by the row's file", "--verify-table needs a table"),
                runVerifyTable, Operands::None, "json into", tables),
        command(option("explain", "", "tell for each switch position of each FILE why it is on or\noff, bank by bank (with --json, one object per position)"),
                runExplain, Operands::Files, "json files-from null", "--csv, --make, --verify-table, --decode, --verify and --explain"),
    };
    // clang-format on
}

QString helpText()
{
    QString text = usageLines()
        + QStringLiteral("\nEvaluates each Halvex setup file and reports its switch settings. The files\n"
                         "are named on the command line, by --files-from, or both.\n\n");
    constexpr int helpColumn = 21;
    for (const CliEntry &entry : cliTable()) {
        if (entry.help.isEmpty())
            continue;
        QStringList names;
        for (const QString &name : entry.names)
            names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        QString head = QStringLiteral("  ") + names.join(QStringLiteral(", "));
        if (!entry.valueName.isEmpty())
            head += QLatin1Char(' ') + entry.valueName;
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
    return text + tableHelpText();
}

int runHelp(const Arguments &) { return writeReport(helpText()); }

// The command the line names: one that overrides the rest, else the only one
// named, else the evaluation. False with the usage problem when several are
// named.
bool chooseCommand(const Arguments &line, const CliEntry **chosen, QString *why)
{
    QList<const CliEntry *> named;
    for (const CliEntry &entry : cliTable()) {
        if (!entry.isCommand())
            continue;
        if (entry.names.isEmpty()) {
            *chosen = &entry;
        } else if (line.isSet(entry.name())) {
            if (entry.overrides) {
                *chosen = &entry;
                return true;
            }
            named << &entry;
        }
    }
    if (named.size() > 1) {
        // The last one named in the table names the widest circle of rivals.
        *why = named.last()->rivals + QStringLiteral(" exclude each other");
        return false;
    }
    if (named.size() == 1)
        *chosen = named.first();
    return true;
}

// Checks the command line against the chosen command's entry: its own value,
// its operands, the options it does not take, then the values of those it
// takes.
bool checkCommand(const CliEntry &command, const Arguments &line, QString *why)
{
    if (command.overrides)
        return true;
    const QString name = command.name();
    if (!command.valueName.isEmpty() && line.value(name).isEmpty())
        *why = command.ifEmpty;
    else if (command.operands == Operands::None && !line.operands().isEmpty())
        *why = QStringLiteral("--%1 takes no FILE: the table names the files").arg(name);
    for (const CliEntry &entry : cliTable()) {
        if (why->isEmpty() && !entry.isCommand() && line.isSet(entry.name()) && !command.takes.contains(entry.name()))
            *why = command.refusal(entry.name(), name);
    }
    for (const CliEntry &entry : cliTable()) {
        if (why->isEmpty() && !entry.ifEmpty.isEmpty() && command.takes.contains(entry.name())
            && line.values(entry.name()).contains(QString()))
            *why = entry.ifEmpty;
    }
    // With --table, the table names the files.
    if (why->isEmpty() && command.operands == Operands::Files && !line.isSet("table"))
        return line.checkFileNames(why);
    return why->isEmpty();
}

} // namespace

const QList<CliEntry> &cliTable()
{
    static const QList<CliEntry> table = makeTable();
    return table;
}

int runCommandLine(const QList<QByteArray> &arguments)
{
    QList<QCommandLineOption> options;
    for (const CliEntry &entry : cliTable()) {
        if (!entry.names.isEmpty())
            options << QCommandLineOption(entry.names, QString(), entry.valueName);
    }
    Arguments line;
    QString why;
    if (!line.parse(arguments, options, &why))
        return usageError(displayText(why));
    const CliEntry *command = nullptr;
    if (!chooseCommand(line, &command, &why) || !checkCommand(*command, line, &why))
        return usageError(why);
    return command->run(line);
}

} // namespace hvx
