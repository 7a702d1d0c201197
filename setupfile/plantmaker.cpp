#include "plantmaker.h"

#include "displaytext.h"
#include "setupfile.h"

#include <QDir>
#include <QFile>

namespace hvx {

PlantMaker::PlantMaker(const PlantTable &table, const QString &dir)
    : m_table(table)
    , m_dir(dir)
    , m_planner(table.planner())
    , m_folder(QFile::encodeName(dir))
{
}

bool PlantMaker::open(QString *error)
{
    if (m_folder.open()) {
        qsizetype nameBytes = 0;
        for (int i = 0; i < m_table.rowCount(); ++i)
            nameBytes += QFile::encodeName(m_table.row(i).fileName).size();
        m_folder.reserve(m_table.rowCount(), nameBytes);
        return true;
    }
    *error = QStringLiteral("The folder %1 %2; nothing written.").arg(displayPath(m_dir), m_folder.errorString());
    return false;
}

void PlantMaker::refuse(int line, const QString &column, const QString &message)
{
    m_refused.push_back({ line, column, message });
}

bool PlantMaker::addRow(int index)
{
    const PlantRow &row = m_table.row(index);
    for (const PlantProblem &p : row.problems)
        refuse(p.line, p.column, p.message);
    if (!row.usable())
        return true;
    PlanProblem clash;
    if (!m_planner.claimName({ row.line, row.fileName, row.setup }, &clash)) {
        refuse(clash.line, clash.column, clash.message);
        return true;
    }
    const QByteArray name = QFile::encodeName(row.fileName);
    const QString path = displayPath(QDir(m_dir).filePath(row.fileName));
    std::optional<QByteArray> existing;
    QString why;
    if (!m_folder.read(name, SetupFileSize, &existing, &why)) {
        refuse(row.line, QString(), QStringLiteral("%1 could not be written: %2").arg(path, why));
        return true;
    }
    const PlannedFile planned = PlantPlanner::compare(row.setup, existing);
    if (planned.kind == PlannedFile::Kind::Unchanged) {
        ++m_unchanged;
        return true;
    }
    m_listing << planned.listing(displayText(row.fileName));
    if (!m_refused.empty())
        return true;
    if (!m_folder.add(name, planned.bytes, existing.has_value())) {
        m_error = QStringLiteral("%1 could not be written: %2; nothing written.").arg(path, m_folder.errorString());
        m_folder.cancel();
        return false;
    }
    ++m_written;
    return true;
}

bool PlantMaker::commit()
{
    if (!m_refused.empty()) {
        m_folder.cancel();
        m_written = 0;
        m_error = QStringLiteral("nothing written");
        return false;
    }
    if (m_written > 0 && !m_folder.commit()) {
        m_error = QStringLiteral("The setup files could not be put into %1: %2; nothing written.")
                      .arg(displayPath(m_dir), m_folder.errorString());
        m_written = 0;
        return false;
    }
    return true;
}

} // namespace hvx
