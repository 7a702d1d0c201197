#include "tablecommands.h"

#include "bytenames.h"
#include "csvtable.h"
#include "decodereport.h"
#include "displaytext.h"
#include "evalreport.h"
#include "filelist.h"
#include "setupfile.h"
#include "setuprow.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace hvx {
namespace {

constexpr int ExitOk = 0;
constexpr int ExitRefused = 1;
constexpr int ExitError = 2;
constexpr int ExitUsage = 64;

constexpr qint64 TableSizeLimit = qint64(256) << 20;
constexpr int NameMax = 255; // bytes of one name in a folder

void writeStderr(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), stderr);
}

void writeError(const QString &message) { writeStderr(QStringLiteral("halvex-eval: ") + message + QLatin1Char('\n')); }

int usageError(const QString &message)
{
    writeError(message);
    writeStderr(QStringLiteral("Try 'halvex-eval --help' for more information.\n"));
    return ExitUsage;
}

QString reason(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

// Standard output, checked: false at the end when any of it was not written.
class Output {
public:
    void write(const QByteArray &bytes)
    {
        if (std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout) != size_t(bytes.size()))
            remember(errno);
    }
    bool finish()
    {
        if (std::fflush(stdout) != 0 || std::ferror(stdout))
            remember(errno);
        if (std::fclose(stdout) != 0)
            remember(errno);
        if (m_error != 0)
            writeError(QStringLiteral("the report could not be written: %1").arg(reason(m_error)));
        return m_error == 0;
    }

private:
    void remember(int error)
    {
        if (m_error == 0)
            m_error = error != 0 ? error : EIO;
    }
    int m_error = 0;
};

// The bytes of a table file. Only a regular file is read, and only up to a
// size no table reaches.
bool readTableFile(const QString &path, QByteArray *bytes, QString *error)
{
    const auto fail = [&](int code) {
        *error = QStringLiteral("%1 could not be read: %2").arg(displayPath(path), reason(code));
        return false;
    };
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(errno);
    struct stat st {};
    int code = 0;
    if (::fstat(fd, &st) != 0)
        code = errno;
    else if (S_ISDIR(st.st_mode))
        code = EISDIR;
    else if (!S_ISREG(st.st_mode))
        code = EINVAL;
    else if (st.st_size > TableSizeLimit)
        code = EFBIG;
    char buffer[65536];
    while (code == 0) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0 && bytes->size() + got <= TableSizeLimit)
            bytes->append(buffer, static_cast<qsizetype>(got));
        else if (got > 0)
            code = EFBIG;
        else if (got == 0)
            break;
        else if (errno != EINTR)
            code = errno;
    }
    ::close(fd);
    return code == 0 || fail(code);
}

// A table read for a command, with its problems told as TABLE:LINE: ...
struct LoadedTable {
    QString path;
    CsvTable csv;
    QStringList problems;

    QString at(int line, const QString &message) const
    {
        return displayPath(path) + QLatin1Char(':') + QString::number(line) + QStringLiteral(": ")
            + displayText(message);
    }
    void problem(int line, const QString &message) { problems << at(line, message); }
    void problem(int line, const QString &column, const QString &message)
    {
        problem(line, QStringLiteral("column \"%1\": %2").arg(column, message));
    }

    // Checks the header: the required columns present, no known column twice.
    void checkHeader(const QStringList &required)
    {
        for (const QString &name : required) {
            if (csv.column(name) < 0)
                problem(1, QStringLiteral("the header has no column \"%1\"").arg(name));
        }
        QHash<QString, int> seen;
        for (const QString &cell : csv.header) {
            const QString name = cell.trimmed().toLower();
            if (allTableColumns().contains(name, Qt::CaseInsensitive) && seen[name]++ == 1)
                problem(1, QStringLiteral("column \"%1\" appears more than once").arg(cell.trimmed()));
        }
    }

    // A record with cells beyond the header's columns was split where it
    // should not have been (a separator inside a value that is not quoted).
    bool checkWidth(const CsvRecord &record)
    {
        for (int i = csv.header.size(); i < record.cells.size(); ++i) {
            if (!record.cells.at(i).trimmed().isEmpty()) {
                problem(record.line,
                        QStringLiteral("the row has %1 cells, the header names %2 columns (a value "
                                       "holding the separator must be quoted)")
                            .arg(record.cells.size())
                            .arg(csv.header.size()));
                return false;
            }
        }
        return true;
    }

    QString cell(const CsvRecord &record, const QString &column) const
    {
        return CsvTable::cell(record, csv.column(column));
    }
};

// Reads and parses the table; false with the message given when it could
// not be read (exitStatus 2) or is no table (the problem is kept).
bool loadTable(const QString &path, LoadedTable *table, int *exitStatus)
{
    table->path = path;
    QByteArray bytes;
    QString error;
    if (!readTableFile(path, &bytes, &error)) {
        writeError(error);
        *exitStatus = ExitError;
        return false;
    }
    CsvError csvError;
    if (!readCsvTable(bytes, &table->csv, &csvError)) {
        table->problem(csvError.line, csvError.message);
        return false;
    }
    return true;
}

int reportProblems(const QStringList &problems, int exitStatus)
{
    for (const QString &p : problems)
        writeStderr(p + QLatin1Char('\n'));
    return exitStatus;
}

QString withoutLoneSurrogates(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (text.at(i).isSurrogate())
            text[i] = QChar(QChar::ReplacementCharacter);
    }
    return text;
}

// ---- --csv

QStringList exportRow(const FileReport &r)
{
    QStringList row{ withoutLoneSurrogates(r.file) };
    if (r.status == FileReport::Status::Error)
        row += QStringList(setupColumns().size());
    else
        row += setupRowValues(r.setup);
    for (int b = 1; b <= 4; ++b)
        row << (r.status == FileReport::Status::Ok ? bankCellText(r.values.map.bank(b)) : QString());
    const char *status = r.status == FileReport::Status::Ok ? "ok"
        : r.status == FileReport::Status::Refused           ? "refused"
                                                            : "error";
    return row << QLatin1String(status) << r.message;
}

int runExport(const QList<QByteArray> &files)
{
    Output out;
    out.write(csvByteOrderMark() + csvLine(allTableColumns()));
    bool anyRefused = false;
    bool anyError = false;
    for (const QByteArray &file : files) {
        const FileReport report = evaluateFile(file);
        anyRefused |= report.status == FileReport::Status::Refused;
        anyError |= report.status == FileReport::Status::Error;
        out.write(csvLine(exportRow(report)));
    }
    anyError |= !out.finish();
    return anyError ? ExitError : anyRefused ? ExitRefused : ExitOk;
}

// ---- --make

struct PlannedFile {
    int line = 0;
    QString name;
    Setup setup;
};

// The file name a row makes: the last part of its file cell, with ".hvx"
// added when it has another ending. Empty with a problem when unusable.
QString madeFileName(const QString &cell, QString *problem)
{
    QString name = cell.trimmed();
    name = name.mid(std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\'))) + 1);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) {
        *problem = cell.trimmed().isEmpty() ? QStringLiteral("is empty; each row needs the name of its setup file")
                                            : QStringLiteral("\"%1\" names no file").arg(cell.trimmed());
        return QString();
    }
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
            *problem = QStringLiteral("\"%1\" holds a control character").arg(name);
            return QString();
        }
    }
    if (!name.endsWith(QLatin1String(".hvx"), Qt::CaseInsensitive))
        name += QStringLiteral(".hvx");
    if (QFile::encodeName(name).size() > NameMax) {
        *problem = QStringLiteral("\"%1\" is longer than a file name may be").arg(name);
        return QString();
    }
    return name;
}

// Checks one row and plans its file; false with the problems kept.
bool planRow(LoadedTable &table, const CsvRecord &record, QHash<QString, int> *names, PlannedFile *planned)
{
    if (!table.checkWidth(record))
        return false;
    const int before = table.problems.size();
    QStringList values;
    for (const QString &column : setupColumns())
        values << table.cell(record, column);
    std::vector<RowProblem> problems;
    planned->setup = setupFromRowValues(values, &problems);
    for (const RowProblem &p : problems)
        table.problem(record.line, p.column, p.message);
    if (problems.empty()) {
        EvaluationValues evaluated;
        const EvaluationOutcome outcome = Evaluate(planned->setup, evaluated);
        if (!outcome.completed)
            table.problem(record.line, QStringLiteral("the window does not evaluate this setup: ") + outcome.status);
    }
    QString problem;
    planned->name = madeFileName(table.cell(record, QLatin1String(TableColumns::file)), &problem);
    if (planned->name.isEmpty()) {
        table.problem(record.line, QLatin1String(TableColumns::file), problem);
    } else if (names->contains(planned->name)) {
        table.problem(
            record.line, QLatin1String(TableColumns::file),
            QStringLiteral("\"%1\" is also the file of line %2").arg(planned->name).arg(names->value(planned->name)));
    } else {
        names->insert(planned->name, record.line);
    }
    planned->line = record.line;
    return table.problems.size() == before;
}

// The folder the files go into, made when missing. False with the message
// given.
bool prepareFolder(const QString &dir)
{
    const QFileInfo info(dir);
    if (info.exists() && !info.isDir()) {
        writeError(QStringLiteral("%1 is not a folder").arg(displayPath(dir)));
        return false;
    }
    if (!info.exists() && !QDir().mkpath(dir)) {
        writeError(QStringLiteral("the folder %1 could not be made").arg(displayPath(dir)));
        return false;
    }
    return true;
}

// What is in the way of each planned file: without force any existing file,
// with it anything that is not a regular file.
QStringList filesInTheWay(const LoadedTable &table, const QString &dir, const QList<PlannedFile> &plan, bool force)
{
    QStringList problems;
    for (const PlannedFile &p : plan) {
        const QFileInfo target(QDir(dir).filePath(p.name));
        if (!target.exists() && !target.isSymLink())
            continue;
        if (!force)
            problems << table.at(p.line, QStringLiteral("%1 exists; --force replaces it").arg(target.filePath()));
        else if (!target.isFile())
            problems << table.at(p.line, QStringLiteral("%1 is not a regular file").arg(target.filePath()));
    }
    return problems;
}

// Creates a file that did not exist with the bytes: it is made with O_EXCL,
// so a file that appeared meanwhile is never replaced, and taken away again
// when not every byte reached it. 0, or the reason it failed.
int writeNewFile(const QString &path, const QByteArray &bytes)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno;
    qsizetype done = 0;
    int error = 0;
    while (done < bytes.size() && error == 0) {
        const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n > 0)
            done += n;
        else if (n == 0 || errno != EINTR)
            error = n == 0 ? EIO : errno;
    }
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        error = errno;
    if (error != 0)
        ::unlink(native.constData());
    return error;
}

// A new file is created whole (the folder is put on disk once, at the end);
// an existing one, with force, is replaced whole as Save replaces it.
int writeSetup(const QString &path, const Setup &setup, bool force)
{
    const int error = writeNewFile(path, setupFileBytes(setup));
    if (error != EEXIST || !force)
        return error;
    return saveSetupFile(path, setup) ? 0 : EIO;
}

// Puts the files written into the folder on disk.
bool syncFolder(const QString &dir)
{
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::syncfs(fd) == 0 && ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

int runMake(const QString &tablePath, const QString &dir, bool force)
{
    LoadedTable table;
    int status = ExitRefused;
    if (!loadTable(tablePath, &table, &status))
        return reportProblems(table.problems, status);
    table.checkHeader({ QLatin1String(TableColumns::file) });
    if (!table.problems.isEmpty())
        return reportProblems(table.problems, ExitRefused);

    QList<PlannedFile> plan;
    QHash<QString, int> names;
    for (const CsvRecord &record : table.csv.records) {
        PlannedFile planned;
        if (!record.isBlank() && planRow(table, record, &names, &planned))
            plan << planned;
    }
    if (!table.problems.isEmpty()) {
        table.problems << QStringLiteral("halvex-eval: nothing written: %1 problem(s) in %2")
                              .arg(table.problems.size())
                              .arg(displayPath(tablePath));
        return reportProblems(table.problems, ExitRefused);
    }
    if (plan.isEmpty()) {
        writeError(QStringLiteral("nothing written: %1 has no rows").arg(displayPath(tablePath)));
        return ExitRefused;
    }
    const QStringList inTheWay = filesInTheWay(table, dir, plan, force);
    if (!inTheWay.isEmpty())
        return reportProblems(inTheWay + QStringList{ QStringLiteral("halvex-eval: nothing written") }, ExitRefused);
    if (!prepareFolder(dir))
        return ExitError;

    for (int i = 0; i < plan.size(); ++i) {
        const QString path = QDir(dir).filePath(plan.at(i).name);
        const int error = writeSetup(path, plan.at(i).setup, force);
        if (error != 0) {
            writeError(QStringLiteral("%1 could not be written: %2; %3 of %4 setup files were written before it")
                           .arg(displayPath(path), reason(error))
                           .arg(i)
                           .arg(plan.size()));
            return ExitError;
        }
    }
    if (!syncFolder(dir)) {
        writeError(QStringLiteral("the setup files in %1 could not be put on disk").arg(displayPath(dir)));
        return ExitError;
    }
    writeError(QStringLiteral("%1 setup file%2 written into %3")
                   .arg(plan.size())
                   .arg(plan.size() == 1 ? "" : "s")
                   .arg(displayPath(dir)));
    return ExitOk;
}

// ---- --verify-table

struct UnitRow {
    int line = 0;
    QString file; // as the table names it
    SwitchMap switches;
};

bool readUnitRow(LoadedTable &table, const CsvRecord &record, UnitRow *unit)
{
    if (!table.checkWidth(record))
        return false;
    bool ok = true;
    unit->line = record.line;
    unit->file = table.cell(record, QLatin1String(TableColumns::file)).trimmed();
    if (unit->file.isEmpty()) {
        table.problem(record.line, QLatin1String(TableColumns::file), QStringLiteral("is empty"));
        ok = false;
    }
    for (int b = 1; b <= 4; ++b) {
        const QString column = bankColumns().at(b - 1);
        QString error;
        const std::optional<SwitchBank> bank = bankFromCell(table.cell(record, column), &error);
        if (bank)
            unit->switches.bank(b) = *bank;
        else
            table.problem(record.line, column, error);
        ok &= bool(bank);
    }
    return ok;
}

// One line of text or one JSON object for a unit.
QByteArray unitResult(const LoadedTable &table, const UnitRow &unit, const VerifyReport &report, bool json)
{
    if (json) {
        // The object --verify gives, with the table's line first.
        return (QStringLiteral("{\"line\": %1, ").arg(unit.line) + verifyJson(report).mid(1) + QLatin1Char('\n'))
            .toUtf8();
    }
    const char *status = report.status == VerifyReport::Status::Match ? "match"
        : report.status == VerifyReport::Status::Differ               ? "differ"
        : report.status == VerifyReport::Status::Refused              ? "refused"
                                                                      : "error";
    return (table.at(unit.line, QStringLiteral("%1: %2: %3").arg(unit.file, QLatin1String(status), report.message))
            + QLatin1Char('\n'))
        .toUtf8();
}

int runVerifyTable(const QString &tablePath, bool json)
{
    LoadedTable table;
    int status = ExitUsage;
    if (!loadTable(tablePath, &table, &status))
        return reportProblems(table.problems, status);
    table.checkHeader(QStringList{ QLatin1String(TableColumns::file) } + bankColumns());
    QList<UnitRow> units;
    for (const CsvRecord &record : table.csv.records) {
        UnitRow unit;
        if (!record.isBlank() && readUnitRow(table, record, &unit))
            units << unit;
    }
    if (!table.problems.isEmpty())
        return reportProblems(table.problems, ExitUsage);

    const QDir folder = QFileInfo(tablePath).absoluteDir();
    Output out;
    bool anyDiffer = false;
    bool anyError = false;
    for (const UnitRow &unit : units) {
        const QString path = QDir::isAbsolutePath(unit.file) ? unit.file : folder.filePath(unit.file);
        VerifyReport report = verifyUnit(QFile::encodeName(path), unit.switches);
        report.file.file = unit.file;
        report.file.fileBytes = QFile::encodeName(unit.file);
        anyError |= report.status == VerifyReport::Status::Error;
        anyDiffer |= report.status != VerifyReport::Status::Match;
        out.write(unitResult(table, unit, report, json));
    }
    anyError |= !out.finish();
    return anyError ? ExitError : anyDiffer ? ExitRefused : ExitOk;
}

} // namespace

QList<QCommandLineOption> tableOptions()
{
    return {
        QCommandLineOption(QStringLiteral("csv")),
        QCommandLineOption(QStringLiteral("make"), QString(), QStringLiteral("TABLE")),
        QCommandLineOption(QStringLiteral("into"), QString(), QStringLiteral("DIR")),
        QCommandLineOption(QStringLiteral("force")),
        QCommandLineOption(QStringLiteral("verify-table"), QString(), QStringLiteral("TABLE")),
    };
}

QStringList tableOptionHelp()
{
    return {
        QStringLiteral("write the table of the setup FILEs (CSV) instead of the\nreport"),
        QStringLiteral("write one setup file per row of TABLE (CSV) into DIR;\nevery row is checked first"),
        QStringLiteral("the folder --make writes into (made when missing)"),
        QStringLiteral("--make replaces setup files that exist"),
        QStringLiteral("compare the switches read off each unit, S1 to S4 in\nTABLE, with its setup file, named by the row's file"),
    };
}

bool isTableCommand(const QCommandLineParser &parser)
{
    for (const QCommandLineOption &option : tableOptions()) {
        if (parser.isSet(option.names().first()))
            return true;
    }
    return false;
}

namespace {

// The options a command does not take, named in a usage error.
std::optional<int> refuseOptions(const QCommandLineParser &parser, const char *command,
                                 std::initializer_list<const char *> names)
{
    for (const char *name : names) {
        if (parser.isSet(QLatin1String(name)))
            return usageError(QStringLiteral("--%1 is not for --%2").arg(QLatin1String(name), QLatin1String(command)));
    }
    return std::nullopt;
}

int runExportCommand(const QCommandLineParser &parser)
{
    if (const std::optional<int> refused = refuseOptions(parser, "csv", { "json", "pdf", "into", "force" }))
        return *refused;
    QList<QByteArray> files;
    for (const QString &file : parser.positionalArguments())
        files << textToBytes(file);
    const bool nullSeparated = parser.isSet(QStringLiteral("null"));
    const QStringList lists = parser.values(QStringLiteral("files-from"));
    if (nullSeparated && lists.isEmpty())
        return usageError(QStringLiteral("--null is for a --files-from list"));
    for (const QString &list : lists) {
        QString error;
        if (list.isEmpty())
            return usageError(QStringLiteral("--files-from needs a file name"));
        if (!readFileList(textToBytes(list), nullSeparated, &files, &error)) {
            writeError(error);
            return ExitError;
        }
    }
    if (files.isEmpty())
        return usageError(QStringLiteral("no setup file named"));
    return runExport(files);
}

} // namespace

std::optional<int> runTableCommand(const QCommandLineParser &parser)
{
    if (!isTableCommand(parser))
        return std::nullopt;
    int commands = 0;
    for (const char *name : { "csv", "make", "verify-table", "decode", "verify" })
        commands += parser.isSet(QLatin1String(name)) ? 1 : 0;
    if (commands == 0)
        return usageError(QStringLiteral("--into and --force are for --make"));
    if (commands != 1)
        return usageError(QStringLiteral("--csv, --make, --verify-table, --decode and --verify exclude each other"));
    if (parser.isSet(QStringLiteral("csv")))
        return runExportCommand(parser);

    const char *command = parser.isSet(QStringLiteral("make")) ? "make" : "verify-table";
    const QString table = parser.value(QLatin1String(command));
    if (table.isEmpty())
        return usageError(QStringLiteral("--%1 needs a table").arg(QLatin1String(command)));
    if (!parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("--%1 takes no FILE: the table names the files").arg(QLatin1String(command)));
    if (std::strcmp(command, "verify-table") == 0) {
        if (const std::optional<int> refused = refuseOptions(parser, command,
                                                             { "pdf", "files-from", "null", "into", "force" }))
            return *refused;
        return runVerifyTable(table, parser.isSet(QStringLiteral("json")));
    }
    if (const std::optional<int> refused = refuseOptions(parser, command, { "json", "pdf", "files-from", "null" }))
        return *refused;
    const QString dir = parser.value(QStringLiteral("into"));
    if (dir.isEmpty())
        return usageError(QStringLiteral("--make needs --into DIR, the folder for the setup files"));
    return runMake(table, dir, parser.isSet(QStringLiteral("force")));
}

QString tableHelpText()
{
    return QStringLiteral("A table (CSV) has one row per setup file under a header that names its\n"
                          "columns, in any order: file, the selections in the window's words (input\n"
                          "type, input range, ... frequency burnout), S1 to S4, status, message.\n"
                          "With --csv: exit status as for the report. With --make: 0 all written,\n"
                          "1 a problem in the table (nothing written), 2 not read or not written.\n"
                          "With --verify-table: 0 all match, 1 some differ or refused, 2 some file\n"
                          "unusable, 64 malformed table.\n");
}

} // namespace hvx
