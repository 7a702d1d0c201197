#include "tablesupport.h"

#include "displaytext.h"
#include "evaluation.h"
#include "setupfile.h"
#include "setuprow.h"
#include "wholefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace hvx {
namespace table {
namespace {

constexpr int NameMax = 255; // bytes of one name in a folder

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

// The line and name of each file planned, by its name in one letter case.
using PlannedNames = QHash<QString, std::pair<int, QString>>;

// Why a name cannot be made beside those planned, or empty when it can. Names
// that differ only in letter case are one file on a Windows share or a FAT
// stick.
QString nameClash(const PlannedNames &names, const QString &name)
{
    const auto it = names.constFind(name.toCaseFolded());
    if (it == names.constEnd())
        return QString();
    if (it->second == name)
        return QStringLiteral("\"%1\" is also the file of line %2").arg(name).arg(it->first);
    return QStringLiteral("\"%1\" and \"%2\" of line %3 differ only in letter case; on a Windows share or a "
                          "FAT stick they are one file")
        .arg(name, it->second)
        .arg(it->first);
}

// Checks one row and plans its file; false with the problems kept.
bool planRow(LoadedTable &table, const CsvRecord &record, PlannedNames *names, PlannedFile *planned)
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
    if (planned->name.isEmpty())
        table.problem(record.line, QLatin1String(TableColumns::file), problem);
    else if (const QString clash = nameClash(*names, planned->name); !clash.isEmpty())
        table.problem(record.line, QLatin1String(TableColumns::file), clash);
    else
        names->insert(planned->name.toCaseFolded(), { record.line, planned->name });
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
        else if (const QString why = whyNotReplaceable(QFile::encodeName(target.filePath())); !why.isEmpty())
            problems << table.at(p.line, QStringLiteral("%1 could not be written: %2").arg(target.filePath(), why));
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
// an existing one, with force, is replaced whole as Save replaces it. Empty,
// or the reason it failed.
QString writeSetup(const QString &path, const Setup &setup, bool force)
{
    const int error = writeNewFile(path, setupFileBytes(setup));
    if (error == 0)
        return QString();
    if (error != EEXIST || !force)
        return reason(error);
    QString why;
    return saveSetupFile(path, setup, &why) ? QString() : why;
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

} // namespace

int runMake(const QString &tablePath, const QString &dir, bool force)
{
    LoadedTable table;
    int status = ExitRefused;
    if (!loadTable(tablePath, &table, &status))
        return reportProblems(table.problems, status);
    table.checkHeader({ QLatin1String(TableColumns::file) });
    if (!table.problems.isEmpty())
        return reportProblems(table.problems, ExitRefused);
    table.noteColumns(true);

    QList<PlannedFile> plan;
    PlannedNames names;
    for (const CsvRecord &record : table.csv.records) {
        PlannedFile planned;
        if (!record.isBlank() && planRow(table, record, &names, &planned))
            plan << planned;
    }
    if (!table.problems.isEmpty()) {
        table.problems << QStringLiteral("halvex-eval: nothing written: %1 in %2")
                              .arg(table.problems.size() == 1
                                       ? QStringLiteral("1 problem")
                                       : QStringLiteral("%1 problems").arg(table.problems.size()),
                                   displayPath(tablePath));
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
        const QString error = writeSetup(path, plan.at(i).setup, force);
        if (!error.isEmpty()) {
            writeError(QStringLiteral("%1 could not be written: %2; %3 of %4 setup files were written before it")
                           .arg(displayPath(path), error)
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

} // namespace table
} // namespace hvx
