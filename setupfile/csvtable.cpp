#include "csvtable.h"

#include <QStringDecoder>

namespace hvx {

bool CsvRecord::isBlank() const
{
    for (const QString &c : cells) {
        if (!c.trimmed().isEmpty())
            return false;
    }
    return true;
}

int CsvTable::column(const QString &name) const
{
    const QString wanted = name.trimmed();
    for (int i = 0; i < header.size(); ++i) {
        if (header.at(i).trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString CsvTable::cell(const CsvRecord &record, int column)
{
    return column >= 0 && column < record.cells.size() ? record.cells.at(column) : QString();
}

namespace {

// The text of the table; false with the line of the first byte that is not
// UTF-8.
bool decodeUtf8(const QByteArray &bytes, QString *text, CsvError *error)
{
    int line = 1;
    qsizetype start = 0;
    text->reserve(bytes.size());
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        end = end < 0 ? bytes.size() : end + 1;
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString part = decoder.decode(QByteArrayView(bytes).sliced(start, end - start));
        if (decoder.hasError()) {
            *error = { line, QStringLiteral("the table is not UTF-8 text (save it as CSV in UTF-8)") };
            return false;
        }
        *text += part;
        start = end;
        ++line;
    }
    return true;
}

// Commas, unless the header line (outside quotes) holds more semicolons.
QChar detectSeparator(const QString &text)
{
    int commas = 0;
    int semicolons = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && (c == QLatin1Char('\n') || c == QLatin1Char('\r')))
            break;
        else if (!quoted && c == QLatin1Char(','))
            ++commas;
        else if (!quoted && c == QLatin1Char(';'))
            ++semicolons;
    }
    return semicolons > commas ? QLatin1Char(';') : QLatin1Char(',');
}

class Parser {
public:
    Parser(const QString &text, QChar separator)
        : m_text(text)
        , m_sep(separator)
    {
    }

    bool parse(QList<CsvRecord> *records, CsvError *error)
    {
        CsvRecord record{ m_line, {} };
        while (m_pos < m_text.size()) {
            QString cell;
            if (!readCell(&cell, error))
                return false;
            record.cells << cell;
            if (m_pos >= m_text.size())
                break;
            if (m_text.at(m_pos) == m_sep) {
                ++m_pos;
                if (m_pos == m_text.size())
                    record.cells << QString(); // a last cell left empty
                continue;
            }
            skipLineEnd();
            records->append(record);
            record = { m_line, {} };
        }
        if (!record.cells.isEmpty())
            records->append(record);
        return true;
    }

private:
    bool atLineEnd() const
    {
        const QChar c = m_text.at(m_pos);
        return c == QLatin1Char('\n') || c == QLatin1Char('\r');
    }

    void skipLineEnd()
    {
        if (m_text.at(m_pos) == QLatin1Char('\r') && m_pos + 1 < m_text.size()
            && m_text.at(m_pos + 1) == QLatin1Char('\n'))
            ++m_pos;
        ++m_pos;
        ++m_line;
    }

    // Reads one cell and stops at its separator, its line end or the end.
    bool readCell(QString *cell, CsvError *error)
    {
        if (m_text.at(m_pos) != QLatin1Char('"')) {
            while (m_pos < m_text.size() && m_text.at(m_pos) != m_sep && !atLineEnd())
                *cell += m_text.at(m_pos++);
            return true;
        }
        const int startLine = m_line;
        ++m_pos;
        for (;;) {
            if (m_pos >= m_text.size()) {
                *error = { startLine, QStringLiteral("a quoted cell is not closed") };
                return false;
            }
            const QChar c = m_text.at(m_pos++);
            if (c == QLatin1Char('"')) {
                if (m_pos < m_text.size() && m_text.at(m_pos) == QLatin1Char('"')) {
                    *cell += c;
                    ++m_pos;
                    continue;
                }
                break;
            }
            if (c == QLatin1Char('\n'))
                ++m_line;
            *cell += c;
        }
        if (m_pos < m_text.size() && m_text.at(m_pos) != m_sep && !atLineEnd()) {
            *error = { m_line, QStringLiteral("text follows the closing quote of a cell") };
            return false;
        }
        return true;
    }

    const QString &m_text;
    const QChar m_sep;
    qsizetype m_pos = 0;
    int m_line = 1;
};

} // namespace

bool readCsvTable(const QByteArray &bytes, CsvTable *table, CsvError *error)
{
    const QByteArray bom = csvByteOrderMark();
    QString text;
    if (!decodeUtf8(bytes.startsWith(bom) ? bytes.mid(bom.size()) : bytes, &text, error))
        return false;
    table->separator = detectSeparator(text);
    QList<CsvRecord> records;
    if (!Parser(text, table->separator).parse(&records, error))
        return false;
    if (records.isEmpty() || records.first().isBlank()) {
        *error = { 1, QStringLiteral("the first line holds no column names") };
        return false;
    }
    table->header = records.takeFirst().cells;
    table->records = records;
    return true;
}

QByteArray csvByteOrderMark() { return QByteArrayLiteral("\xEF\xBB\xBF"); }

QByteArray csvLine(const QStringList &cells)
{
    QByteArray line;
    for (int i = 0; i < cells.size(); ++i) {
        if (i > 0)
            line += ',';
        const QString &c = cells.at(i);
        // Blanks around a value are kept only inside quotes.
        const bool quote = c.contains(QLatin1Char(',')) || c.contains(QLatin1Char(';')) || c.contains(QLatin1Char('"'))
            || c.contains(QLatin1Char('\n')) || c.contains(QLatin1Char('\r')) || c != c.trimmed();
        if (quote) {
            QString escaped = c;
            escaped.replace(QLatin1Char('"'), QStringLiteral("\"\""));
            line += '"' + escaped.toUtf8() + '"';
        } else {
            line += c.toUtf8();
        }
    }
    return line + "\r\n";
}

} // namespace hvx
