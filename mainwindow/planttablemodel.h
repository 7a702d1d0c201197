#pragma once
// The units of a plant's table for a list view: one row per unit, with its
// line in the table, its file, the plant's own columns, what its setup takes in and gives out, and
// where its setup file and its check stand.

#include "planttable.h"

#include <QAbstractTableModel>

#include <vector>

namespace hvx {

class PlantTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit PlantTableModel(QObject *parent = nullptr);

    // Shows the table (not owned; it must outlive its showing).
    void setTable(const PlantTable *table);
    const PlantTable *table() const { return m_table; }
    // Reads again where the row's setup file and check stand.
    void refreshRow(int row);
    // Every cell of the row, case-folded and joined, for finding text in it.
    const QString &searchText(int row) const { return m_search[size_t(row)]; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    enum class Kind { Line, TableCell, FileState, Check, Checked };
    struct Column {
        QString title;
        Kind kind;
        int cell; // the table's column for TableCell
    };
    QString text(int row, const Column &column) const;
    QVariant background(int row) const;
    QString joinedCells(int row) const;

    const PlantTable *m_table = nullptr;
    std::vector<Column> m_columns;
    std::vector<PlantFileState> m_files;
    std::vector<PlantCheck> m_checks;
    std::vector<QString> m_search;
};

} // namespace hvx
