#pragma once
// The plant's own columns read for what they hold. A column the header does
// not name as a setup column, whose every non-empty cell is an item of one
// setup column the table lacks ("Square root on" under "Sqrt"), is that
// column misnamed: read as the plant's own, every row would take the value
// New gives instead. For a check in the field, a column that holds switch
// banks where the table lacks a "read S" column is one misnamed too.

#include "csvtable.h"
#include "headerfolding.h"
#include "plantproblem.h"

#include <QString>

#include <vector>

namespace hvx {

class ColumnContents {
public:
    // banks: whether an own column of banks stands for a lacking "read S".
    ColumnContents(const HeaderReading &header, bool banks);

    void add(const CsvRecord &record);
    // One problem (on the header's line) for each own column that holds
    // what a known column the table lacks would.
    std::vector<PlantProblem> problems() const;

private:
    struct Own {
        int cell = 0;
        QString name;
        quint32 setupColumns = 0; // lacked setup columns every cell so far is an item of
        bool banks = false;       // every cell so far is a switch bank
        bool filled = false;      // a cell was not empty
    };
    std::vector<Own> m_own;
    QString m_lackedBank; // the first "read S" column the table lacks
};

} // namespace hvx
