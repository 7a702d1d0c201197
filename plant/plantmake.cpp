#include "plantmake.h"

#include "displaytext.h"
#include "plantfolder.h"
#include "plantplan.h"
#include "setupfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

namespace hvx {
namespace {

constexpr qsizetype ProgressStep = 64;

QString pathIn(const QString &dir, const QString &name) { return displayPath(QDir(dir).filePath(name)); }

// One run: the plan of the table's rows put into the folder.
class Run {
public:
    Run(PlantReader &reader, const PlantPlan &plan, const QString &dir, const MakeOptions &options,
        const MakeProgress &progress)
        : m_reader(reader)
        , m_plan(plan)
        , m_dir(dir)
        , m_options(options)
        , m_progress(progress)
        , m_folder(QFile::encodeName(dir))
    {
    }

    MakeOutcome go();

private:
    bool existingFile(const PlannedRow &row, std::optional<QByteArray> *existing);
    bool putRow(const PlannedRow &row);
    MakeOutcome failed(MakeOutcome::Status status, const QString &error)
    {
        m_folder.cancel();
        m_outcome.status = status;
        m_outcome.error = error;
        m_outcome.written = 0;
        return m_outcome;
    }

    PlantReader &m_reader;
    const PlantPlan &m_plan;
    QString m_dir;
    MakeOptions m_options;
    const MakeProgress &m_progress;
    PlantFolder m_folder;
    bool m_folderOpen = false;
    int m_refusedPlaces = 0; // rows whose place in the folder is taken or refused (told)
    MakeOutcome m_outcome;
};

// What stands at the row's name, read when the run lists what it does. False
// when the row's file cannot go there (told).
bool Run::existingFile(const PlannedRow &row, std::optional<QByteArray> *existing)
{
    if (!m_folderOpen)
        return true; // a dry run into a folder not there: every file is new
    const QByteArray name = QFile::encodeName(row.fileName);
    QString why;
    bool usable = true;
    if (m_options.update || m_options.dryRun) {
        usable = m_folder.read(name, SetupFileSize, existing, &why);
    } else {
        const PlantFolder::Place now = m_folder.place(name, &why);
        usable = now != PlantFolder::Place::Refused;
        if (now == PlantFolder::Place::Taken)
            *existing = QByteArray(); // taken; its bytes are not needed
    }
    if (!usable)
        m_reader.problem(row.line, QString(),
                         QStringLiteral("%1 could not be written: %2").arg(pathIn(m_dir, row.fileName), why));
    else if (existing->has_value() && !m_options.force && !m_options.update)
        m_reader.problem(row.line, QString(),
                         QStringLiteral("%1 exists; --force replaces it").arg(pathIn(m_dir, row.fileName)));
    else
        return true;
    return false;
}

// Lists and writes (as a temporary) one row's file. False when it could not
// be written.
bool Run::putRow(const PlannedRow &row)
{
    std::optional<QByteArray> existing;
    if (!existingFile(row, &existing)) {
        ++m_refusedPlaces;
        return true;
    }
    const bool listed = m_options.update || m_options.dryRun;
    PlannedFile planned = listed ? PlantPlanner::compare(row.setup, existing)
                                 : PlannedFile{ PlannedFile::Kind::New, setupFileBytes(row.setup), {}, {} };
    const bool write = m_options.force || planned.kind != PlannedFile::Kind::Unchanged;
    if (!write)
        ++m_outcome.unchanged;
    else if (listed)
        m_outcome.listing << (planned.kind == PlannedFile::Kind::Unchanged
                                  ? QStringLiteral("replaced: ") + displayText(row.fileName)
                                  : planned.listing(displayText(row.fileName)));
    if (!write || m_options.dryRun || m_refusedPlaces > 0)
        return true;
    if (!m_folder.add(QFile::encodeName(row.fileName), planned.bytes, existing.has_value())) {
        m_outcome.error = QStringLiteral("%1 could not be written: %2")
                              .arg(pathIn(m_dir, row.fileName), m_folder.errorString());
        return false;
    }
    ++m_outcome.written;
    return true;
}

MakeOutcome Run::go()
{
    // A dry run makes no folder: in one that is not there, every file is new.
    m_folderOpen = !m_options.dryRun || QFileInfo(m_dir).exists();
    if (m_folderOpen && !m_folder.open(!m_options.dryRun))
        return failed(MakeOutcome::Status::NotWritten,
                      QStringLiteral("the folder %1 %2").arg(displayPath(m_dir), m_folder.errorString()));
    if (!m_folder.recovered().isEmpty())
        m_outcome.folderNotes << QStringLiteral("the folder %1: %2").arg(displayPath(m_dir), m_folder.recovered());
    if (m_folderOpen && !m_folder.isLocked())
        m_outcome.folderNotes << QStringLiteral("the folder %1 could not be locked (its file system keeps no locks): "
                                                "another run could write into it at the same time")
                                     .arg(displayPath(m_dir));
    const qsizetype total = qsizetype(m_plan.places.size());
    m_folder.reserve(int(total), total * 16); // grows past it as needed
    const PlantPlanner planner(m_reader.header(), m_reader.separator());
    PlannedRow read;
    CsvRecord record;
    for (qsizetype i = 0; i < total; ++i) {
        if (m_progress && i % ProgressStep == 0 && !m_progress(i, total))
            return failed(MakeOutcome::Status::Cancelled, QString());
        const bool kept = !m_plan.rows.empty();
        if (!kept && !readAgain(m_reader, planner, m_plan.places[size_t(i)], &record, &read))
            return failed(MakeOutcome::Status::NotWritten, QStringLiteral("the table changed while it was read"));
        if (!putRow(kept ? m_plan.rows[size_t(i)] : read))
            return failed(MakeOutcome::Status::NotWritten, m_outcome.error);
    }
    if (m_refusedPlaces > 0)
        return failed(MakeOutcome::Status::Refused, QString());
    if (m_progress)
        m_progress(total, total);
    if (!m_options.dryRun && m_outcome.written > 0 && !m_folder.commit())
        return failed(MakeOutcome::Status::NotWritten,
                      QStringLiteral("the setup files could not be put into %1: %2")
                          .arg(displayPath(m_dir), m_folder.errorString()));
    return m_outcome;
}

} // namespace

MakeOutcome makePlant(const QString &tablePath, const QString &dir, const MakeOptions &options, ProblemSink &problems,
                      const MakeProgress &progress)
{
    PlantReader reader(problems);
    const PlantPlan plan = planTable(reader, tablePath, true);
    MakeOutcome outcome;
    switch (plan.status) {
    case PlantPlan::Status::Planned:
        return Run(reader, plan, dir, options, progress).go();
    case PlantPlan::Status::CannotRead:
        outcome.status = MakeOutcome::Status::CannotRead;
        outcome.error = reader.errorString();
        break;
    case PlantPlan::Status::NotATable:
        outcome.status = MakeOutcome::Status::NotATable;
        break;
    case PlantPlan::Status::Refused:
        outcome.status = MakeOutcome::Status::Refused;
        outcome.error = QStringLiteral("%1 in %2").arg(counted(problems.count(), "problem"), displayPath(tablePath));
        break;
    case PlantPlan::Status::NoRows:
        outcome.status = MakeOutcome::Status::Refused;
        outcome.error = QStringLiteral("%1 has no rows").arg(displayPath(tablePath));
        break;
    }
    return outcome;
}

} // namespace hvx
