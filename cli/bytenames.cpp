#include "bytenames.h"

#include <algorithm>
#include <optional>

namespace hvx {

namespace {

// One valid UTF-8 sequence: its code point and its length in bytes.
struct Utf8Sequence {
    char32_t codePoint = 0;
    int length = 0;
};

// The valid UTF-8 sequence starting at s[i], or nothing when the byte there
// does not start one.
std::optional<Utf8Sequence> utf8Sequence(const QByteArray &s, int i)
{
    const auto byte = [&](int k) { return static_cast<unsigned char>(s.at(k)); };
    const unsigned char b0 = byte(i);
    if (b0 < 0x80)
        return Utf8Sequence{ b0, 1 };
    int length;
    char32_t value;
    char32_t minimum;
    if ((b0 & 0xE0) == 0xC0) {
        length = 2;
        value = b0 & 0x1F;
        minimum = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3;
        value = b0 & 0x0F;
        minimum = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4;
        value = b0 & 0x07;
        minimum = 0x10000;
    } else {
        return std::nullopt;
    }
    if (i + length > s.size())
        return std::nullopt;
    for (int k = 1; k < length; ++k) {
        const unsigned char b = byte(i + k);
        if ((b & 0xC0) != 0x80)
            return std::nullopt;
        value = (value << 6) | (b & 0x3F);
    }
    // Overlong forms, surrogates and values beyond Unicode are not UTF-8.
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return std::nullopt;
    return Utf8Sequence{ value, length };
}

} // namespace

QString bytesToText(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (int i = 0; i < bytes.size();) {
        const std::optional<Utf8Sequence> sequence = utf8Sequence(bytes, i);
        if (!sequence) {
            out += QChar(char16_t(0xDC00 + static_cast<unsigned char>(bytes.at(i))));
            ++i;
            continue;
        }
        const char32_t cp = sequence->codePoint;
        if (cp >= 0x10000) {
            out += QChar(QChar::highSurrogate(cp));
            out += QChar(QChar::lowSurrogate(cp));
        } else {
            out += QChar(char16_t(cp));
        }
        i += sequence->length;
    }
    return out;
}

QByteArray textToBytes(const QString &text)
{
    // Most names are text with no byte kept apart: UTF-8 as they are.
    const bool plain = std::none_of(text.begin(), text.end(), [](QChar c) { return c.isSurrogate(); });
    if (plain)
        return text.toUtf8();
    QByteArray out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        if (u >= 0xDC80 && u <= 0xDCFF) {
            out += char(u - 0xDC00);
        } else if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += QString(text.constData() + i, 2).toUtf8();
            ++i;
        } else {
            out += QString(QChar(u)).toUtf8();
        }
    }
    return out;
}

bool isValidUtf8(const QByteArray &bytes)
{
    for (int i = 0; i < bytes.size();) {
        const std::optional<Utf8Sequence> sequence = utf8Sequence(bytes, i);
        if (!sequence)
            return false;
        i += sequence->length;
    }
    return true;
}

} // namespace hvx
