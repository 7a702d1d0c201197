#include "columncontents.h"

#include "setuprow.h"

namespace hvx {

ColumnContents::ColumnContents(const HeaderReading &header, bool banks)
{
    quint32 lacked = 0;
    for (const QString &column : header.lackedSetup)
        lacked |= quint32(1) << setupColumns().indexOf(column);
    for (const QString &column : readBankColumns()) {
        if (banks && m_lackedBank.isEmpty() && header.column(column) < 0)
            m_lackedBank = column;
    }
    for (int i = 0; i < header.ownColumns.size(); ++i)
        m_own.push_back({ header.ownCells.at(i), header.ownColumns.at(i), lacked, !m_lackedBank.isEmpty(), false });
}

void ColumnContents::add(const CsvRecord &record)
{
    for (Own &own : m_own) {
        if (own.setupColumns == 0 && !own.banks)
            continue; // the plant's own, whatever follows
        const QString cell = CsvTable::cell(record, own.cell).trimmed();
        if (cell.isEmpty())
            continue;
        own.filled = true;
        if (own.setupColumns != 0)
            own.setupColumns &= setupColumnsWithItem(cell);
        if (own.banks) {
            QString why;
            own.banks = bankFromCell(cell, &why).has_value();
        }
    }
}

std::vector<PlantProblem> ColumnContents::problems() const
{
    std::vector<PlantProblem> found;
    for (const Own &own : m_own) {
        if (!own.filled)
            continue;
        QString message;
        for (int i = 0; i < setupColumns().size() && message.isEmpty(); ++i) {
            if (own.setupColumns & (quint32(1) << i))
                message = QStringLiteral("column \"%1\" holds the values of \"%2\"; name it \"%2\", or it is the "
                                         "plant's own")
                              .arg(own.name, setupColumns().at(i));
        }
        if (message.isEmpty() && own.banks)
            message = QStringLiteral("column \"%1\" holds switch banks; name it \"%2\"").arg(own.name, m_lackedBank);
        if (!message.isEmpty())
            found.push_back({ 1, 0, QString(), message });
    }
    return found;
}

} // namespace hvx
