#include "displaytext.h"

#include <QStringList>

namespace hvx {

namespace {

QString hexEscape(const char *prefix, uint value, int digits)
{
    return QLatin1String(prefix) + QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

bool isBidiControl(char16_t u) { return (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069); }

} // namespace

QString displayText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += text.at(i);
            out += text.at(++i);
            continue;
        }
        switch (u) {
        case '\\':
            out += QStringLiteral("\\\\");
            continue;
        case '\t':
            out += QStringLiteral("\\t");
            continue;
        case '\n':
            out += QStringLiteral("\\n");
            continue;
        case '\r':
            out += QStringLiteral("\\r");
            continue;
        default:
            break;
        }
        if (u < 0x20 || u == 0x7F)
            out += hexEscape("\\x", u, 2);
        else if (u >= 0xDC80 && u <= 0xDCFF)
            out += hexEscape("\\x", u - 0xDC00, 2);
        else if ((u >= 0x80 && u <= 0x9F) || u == 0x2028 || u == 0x2029 || isBidiControl(u) || QChar::isSurrogate(u))
            out += hexEscape("\\u", u, 4);
        else
            out += QChar(u);
    }
    return out;
}

QString displayPath(const QString &path)
{
    QStringList parts = path.split(QLatin1Char('\\'));
    for (QString &part : parts)
        part = displayText(part);
    return parts.join(QLatin1Char('\\'));
}

QString countOf(std::int64_t n, const char *one, const char *many)
{
    return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}

} // namespace hvx
