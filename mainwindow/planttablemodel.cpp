#include "planttablemodel.h"

#include "setuprow.h"

#include <QColor>
#include <QPalette>

namespace hvx {

namespace {

// The setup's columns the list shows, between the plant's own and the states.
const QStringList &shownSetupColumns()
{
    static const QStringList columns = { QStringLiteral("input type"), QStringLiteral("input range"),
                                         QStringLiteral("output 1"), QStringLiteral("outputs") };
    return columns;
}

} // namespace

PlantTableModel::PlantTableModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void PlantTableModel::setTable(const PlantTable *table)
{
    beginResetModel();
    m_table = table;
    m_columns.clear();
    m_files.clear();
    m_checks.clear();
    m_search.clear();
    if (table) {
        // The line leads, so that a problem's line is found and the table's
        // own order comes back by sorting on it (a list, unlike a grid with
        // row headers, leaves no unnamed corner to a screen reader).
        m_columns.push_back({ QStringLiteral("line"), Kind::Line, -1 });
        m_columns.push_back({ QLatin1String(TableColumns::file), Kind::TableCell,
                              table->column(QLatin1String(TableColumns::file)) });
        for (int own : table->ownColumns())
            m_columns.push_back({ table->header().at(own).trimmed(), Kind::TableCell, own });
        for (const QString &name : shownSetupColumns())
            m_columns.push_back({ name, Kind::TableCell, table->column(name) });
        m_columns.push_back({ QStringLiteral("setup file"), Kind::FileState, -1 });
        m_columns.push_back({ QLatin1String(TableColumns::check), Kind::Check, -1 });
        m_columns.push_back({ QLatin1String(TableColumns::checked), Kind::Checked,
                              table->column(QLatin1String(TableColumns::checked)) });
        for (int row = 0; row < table->rowCount(); ++row) {
            m_files.push_back(table->fileState(row));
            m_checks.push_back(table->check(row));
            m_search.push_back(joinedCells(row));
        }
    }
    endResetModel();
}

void PlantTableModel::refreshRow(int row)
{
    m_files[size_t(row)] = m_table->fileState(row);
    m_checks[size_t(row)] = m_table->check(row);
    m_search[size_t(row)] = joinedCells(row);
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

int PlantTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_table ? 0 : m_table->rowCount();
}

int PlantTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QString PlantTableModel::text(int row, const Column &column) const
{
    const PlantRow &r = m_table->row(row);
    switch (column.kind) {
    case Kind::Line:
        return QString::number(r.line);
    case Kind::TableCell:
        return r.cells.value(column.cell).trimmed();
    case Kind::FileState:
        // A row that makes no file tells why, where --make would.
        return r.usable() ? plantFileStateText(m_files[size_t(row)]) : r.problems.front().text();
    case Kind::Check:
        return plantCheckText(m_checks[size_t(row)]);
    case Kind::Checked:
        return r.cells.value(m_table->column(QLatin1String(TableColumns::checked))).trimmed();
    }
    return QString();
}

QString PlantTableModel::joinedCells(int row) const
{
    QStringList cells;
    for (const Column &column : m_columns)
        cells << text(row, column);
    // A unit separator, which no typed text holds, keeps a match in one cell.
    return cells.join(QChar(0x1F)).toCaseFolded();
}

QVariant PlantTableModel::background(int row) const
{
    // The colours back up the texts, which say the same.
    if (!m_table->row(row).usable() || m_checks[size_t(row)] == PlantCheck::Differs)
        return QColor(255, 200, 200);
    if (m_checks[size_t(row)] == PlantCheck::Match)
        return QColor(200, 240, 200);
    return QVariant();
}

QVariant PlantTableModel::data(const QModelIndex &index, int role) const
{
    if (!m_table || !index.isValid())
        return QVariant();
    const Column &column = m_columns.at(size_t(index.column()));
    switch (role) {
    case Qt::DisplayRole:
        // Lines sort as numbers.
        return column.kind == Kind::Line ? QVariant(m_table->row(index.row()).line)
                                         : QVariant(text(index.row(), column));
    case Qt::AccessibleTextRole: {
        // A screen reader says something for an empty cell too.
        const QString shown = text(index.row(), column);
        return shown.isEmpty() ? QStringLiteral("empty") : shown;
    }
    case Qt::ToolTipRole:
        if (column.kind == Kind::FileState && !m_table->row(index.row()).usable()) {
            QStringList problems;
            for (const PlantProblem &p : m_table->row(index.row()).problems)
                problems << p.text();
            return problems.join(QLatin1Char('\n'));
        }
        if (column.kind == Kind::Check)
            return m_table->cell(index.row(), QLatin1String(TableColumns::check));
        return QVariant();
    case Qt::BackgroundRole:
        return background(index.row());
    case Qt::ForegroundRole:
        return background(index.row()).isValid() ? QVariant(QColor(Qt::black)) : QVariant();
    }
    return QVariant();
}

QVariant PlantTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return QVariant();
    return section < int(m_columns.size()) ? QVariant(m_columns.at(size_t(section)).title) : QVariant();
}

} // namespace hvx
