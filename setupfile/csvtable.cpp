#include "csvtable.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <utility>

namespace hvx {

bool CsvRecord::isBlank() const
{
    for (const QString &c : cells) {
        if (!c.trimmed().isEmpty())
            return false;
    }
    return true;
}

namespace {

bool isLineEnd(char c) { return c == '\n' || c == '\r'; }

// The text of a cell's bytes, a byte-order mark in it kept as U+FEFF.
QString cellText(const char *bytes, qsizetype size)
{
    if (size < 3 || std::memcmp(bytes, "\xEF\xBB\xBF", 3) != 0)
        return QString::fromUtf8(bytes, size);
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(bytes, size));
}

QString columnKey(const QString &name) { return name.trimmed().toCaseFolded(); }

// The character (from 1) at which a line stops being UTF-8; 0 when no
// fault is found.
int utf8FaultColumn(QByteArrayView line)
{
    int column = 1;
    for (qsizetype i = 0; i < line.size(); ++column) {
        const auto b = static_cast<unsigned char>(line.at(i));
        int length = b < 0x80        ? 1
            : b >= 0xC2 && b <= 0xDF ? 2
            : b >= 0xE0 && b <= 0xEF ? 3
            : b >= 0xF0 && b <= 0xF4 ? 4
                                     : 0;
        // The second byte's range excludes overlong forms, surrogates and
        // code points past U+10FFFF.
        const unsigned char low = b == 0xE0 ? 0xA0 : b == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = b == 0xED ? 0x9F : b == 0xF4 ? 0x8F : 0xBF;
        if (length == 0 || i + length > line.size())
            return column;
        for (int k = 1; k < length; ++k) {
            const auto c = static_cast<unsigned char>(line.at(i + k));
            if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF))
                return column;
        }
        i += length;
    }
    return 0;
}

// Whether the bytes are UTF-8 text; else the line and column of the first
// fault. The text is decoded a piece of whole lines at a time and dropped,
// so that checking holds no copy of the table.
bool checkUtf8(QByteArrayView bytes, CsvError *error)
{
    constexpr qsizetype piece = qsizetype(1) << 20;
    int line = 1;
    for (qsizetype start = 0; start < bytes.size();) {
        qsizetype end = start + piece < bytes.size() ? bytes.indexOf('\n', start + piece) : -1;
        end = end < 0 ? bytes.size() : end + 1;
        const QByteArrayView part = bytes.sliced(start, end - start);
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = decoder.decode(part);
        if (decoder.hasError()) {
            // Found in this piece: now line by line.
            *error = { line, 0, QStringLiteral("the table is not UTF-8 text (save it as CSV in UTF-8)") };
            for (qsizetype from = 0; from < part.size(); ++line) {
                qsizetype to = part.indexOf('\n', from);
                to = to < 0 ? part.size() : to + 1;
                QStringDecoder lineDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
                const QString lineText = lineDecoder.decode(part.sliced(from, to - from));
                if (lineDecoder.hasError()) {
                    error->line = line;
                    error->column = utf8FaultColumn(part.sliced(from, to - from));
                    break;
                }
                from = to;
            }
            return false;
        }
        line += int(part.count('\n'));
        start = end;
    }
    return true;
}

bool isFormulaSign(QChar c)
{
    return c == QLatin1Char('=') || c == QLatin1Char('+') || c == QLatin1Char('-') || c == QLatin1Char('@');
}

// Apostrophes at the start of a text that a spreadsheet would take for a
// formula (its sign first, or after tabs and carriage returns, which a
// spreadsheet passes over), or -1 when it would not.
int apostrophesBeforeFormula(const QString &text)
{
    int n = 0;
    while (n < text.size() && text.at(n) == QLatin1Char('\''))
        ++n;
    int sign = n;
    while (sign < text.size() && (text.at(sign) == QLatin1Char('\t') || text.at(sign) == QLatin1Char('\r')))
        ++sign;
    return sign < text.size() && isFormulaSign(text.at(sign)) ? n : -1;
}

bool isNumber(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+([.,]\\d*)?|[.,]\\d+)$"));
    return number.match(text).hasMatch();
}

// The text as the program writes it into a cell.
QString formulaSafe(const QString &text)
{
    const int n = apostrophesBeforeFormula(text);
    return n < 0 || (n == 0 && isNumber(text)) ? text : QLatin1Char('\'') + text;
}

// The text of a cell read: one apostrophe fewer before a formula's sign.
QString fromFormulaSafe(const QString &cell) { return apostrophesBeforeFormula(cell) > 0 ? cell.mid(1) : cell; }

} // namespace

CsvReader::CsvReader(const QByteArray &bytes)
    : m_bytes(bytes)
{
    if (bytes.startsWith(csvByteOrderMark()))
        m_pos = m_lineStart = csvByteOrderMark().size();
}

bool CsvReader::start(CsvError *error)
{
    if (!checkUtf8(QByteArrayView(m_bytes).sliced(m_pos), error))
        return false;
    // The separator: the one of the two that the header line holds outside
    // quotes; both is a table that cannot be read. A header with tabs and
    // neither (a paste from a spreadsheet) is separated by tabs.
    bool quoted = false;
    qsizetype comma = -1;
    qsizetype semicolon = -1;
    bool tab = false;
    const auto separates = [](char c) { return c == ',' || c == ';' || c == '\t'; };
    bool closed = false; // a quote that ends quoting, unless another follows it
    for (qsizetype i = m_pos; i < m_bytes.size(); ++i) {
        const char c = m_bytes.at(i);
        // Only a cell that starts with a quote is quoted, as a cell is read;
        // a doubled quote inside it turns quoting off and on again.
        const bool opens = i == m_pos || separates(m_bytes.at(i - 1)) || closed;
        closed = c == '"' && quoted;
        if (c == '"' && (quoted || opens))
            quoted = !quoted;
        else if (!quoted && (c == '\n' || c == '\r'))
            break;
        else if (!quoted && c == ',' && comma < 0)
            comma = i;
        else if (!quoted && c == ';' && semicolon < 0)
            semicolon = i;
        else if (!quoted && c == '\t')
            tab = true;
    }
    if (comma >= 0 && semicolon >= 0) {
        *error = { 1, columnAt(std::max(comma, semicolon)),
                   QStringLiteral("the header holds both \";\" and \",\", so its separator cannot be told "
                                  "(separate the column names with one of them)") };
        return false;
    }
    m_separator = semicolon >= 0 ? ';' : (comma < 0 && tab) ? '\t' : ',';
    CsvRecord header;
    if (!next(&header, error) || header.isBlank()) {
        if (error->line == 0)
            *error = { 1, 0, QStringLiteral("the first line holds no column names") };
        return false;
    }
    m_header = header.cells;
    // A name no one looks up (a note typed into the header) is not copied.
    constexpr qsizetype LongestName = 4096;
    for (int i = 0; i < m_header.size(); ++i) {
        if (m_header.at(i).size() > LongestName)
            continue;
        const QString key = columnKey(m_header.at(i));
        if (!m_index.contains(key))
            m_index.insert(key, i);
    }
    return true;
}

int CsvReader::column(const QString &name) const { return m_index.value(columnKey(name), -1); }

bool CsvReader::next(CsvRecord *record, CsvError *error)
{
    *error = CsvError();
    record->line = m_line;
    record->cells.clear();
    return m_pos < m_bytes.size() && readRecord(record, error);
}

void CsvReader::seek(qsizetype position, int line)
{
    m_pos = m_lineStart = position;
    m_line = line;
}

bool CsvReader::readRecord(CsvRecord *record, CsvError *error)
{
    for (;;) {
        QString cell;
        if (!readCell(&cell, error))
            return false;
        record->cells.append(std::move(cell));
        if (m_pos >= m_bytes.size())
            return true;
        if (m_bytes.at(m_pos) != m_separator) {
            skipLineEnd();
            return true;
        }
        ++m_pos;
        if (m_pos == m_bytes.size()) {
            record->cells << QString(); // a last cell left empty
            return true;
        }
    }
}

bool CsvReader::atLineEnd() const { return isLineEnd(m_bytes.at(m_pos)); }

void CsvReader::skipLineEnd()
{
    if (m_bytes.at(m_pos) == '\r' && m_pos + 1 < m_bytes.size() && m_bytes.at(m_pos + 1) == '\n')
        ++m_pos;
    ++m_pos;
    ++m_line;
    m_lineStart = m_pos;
}

int CsvReader::columnAt(qsizetype position) const
{
    int column = 1;
    for (qsizetype i = m_lineStart; i < position; ++i)
        column += (static_cast<unsigned char>(m_bytes.at(i)) & 0xC0) == 0x80 ? 0 : 1;
    return column;
}

// Reads one cell and stops at its separator, its line end or the end.
bool CsvReader::readCell(QString *cell, CsvError *error)
{
    const char *data = m_bytes.constData();
    const qsizetype size = m_bytes.size();
    if (data[m_pos] != '"') {
        const qsizetype start = m_pos;
        for (const char separator = m_separator; m_pos < size; ++m_pos) {
            const char c = data[m_pos];
            if (c == separator || isLineEnd(c))
                break;
        }
        *cell = fromFormulaSafe(cellText(data + start, m_pos - start));
        return true;
    }
    const int startLine = m_line;
    const int startColumn = columnAt(m_pos);
    QByteArray text;
    for (++m_pos;;) {
        const void *found = std::memchr(data + m_pos, '"', size_t(size - m_pos));
        const qsizetype quote = found ? static_cast<const char *>(found) - data : size;
        for (qsizetype i = m_pos; i < quote; ++i) {
            if (data[i] == '\n') {
                ++m_line;
                m_lineStart = i + 1;
            }
        }
        text.append(data + m_pos, quote - m_pos);
        m_pos = quote + 1;
        if (!found) {
            *error = { startLine, startColumn, QStringLiteral("a quoted cell is not closed") };
            return false;
        }
        if (m_pos < size && data[m_pos] == '"') {
            text += '"';
            ++m_pos;
            continue;
        }
        break;
    }
    if (m_pos < size && data[m_pos] != m_separator && !atLineEnd()) {
        *error = { m_line, columnAt(m_pos), QStringLiteral("text follows the closing quote of a cell") };
        return false;
    }
    *cell = fromFormulaSafe(cellText(text.constData(), text.size()));
    return true;
}

int CsvTable::column(const QString &name) const
{
    const QString wanted = columnKey(name);
    for (int i = 0; i < header.size(); ++i) {
        if (columnKey(header.at(i)) == wanted)
            return i;
    }
    return -1;
}

QString CsvTable::cell(const CsvRecord &record, int column)
{
    return column >= 0 && column < record.cells.size() ? record.cells.at(column) : QString();
}

bool readCsvTable(const QByteArray &bytes, CsvTable *table, CsvError *error)
{
    CsvReader reader(bytes);
    if (!reader.start(error))
        return false;
    table->header = reader.header();
    table->separator = reader.separator();
    table->records.clear();
    CsvRecord record;
    while (reader.next(&record, error))
        table->records.append(record);
    return error->line == 0;
}

QByteArray csvByteOrderMark() { return QByteArrayLiteral("\xEF\xBB\xBF"); }

QByteArray csvLine(const QStringList &cells)
{
    QByteArray line;
    for (int i = 0; i < cells.size(); ++i) {
        if (i > 0)
            line += ',';
        const QString c = formulaSafe(cells.at(i));
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
