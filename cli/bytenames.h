#pragma once
// File names as the system gives them: bytes, not necessarily UTF-8.
//
// Inside the program such a name travels as text in which every byte that is
// not part of valid UTF-8 (0x80 to 0xFF) is kept as the code point U+DC00 +
// byte, U+DC80..U+DCFF: a lone surrogate, which valid UTF-8 never gives, so
// the bytes can always be got back exactly.

#include <QByteArray>
#include <QString>

namespace hvx {

// The bytes as text; a byte that is not UTF-8 becomes U+DC00 + byte.
QString bytesToText(const QByteArray &bytes);
// The reverse of bytesToText.
QByteArray textToBytes(const QString &text);
// Whether the bytes are valid UTF-8 (and so the text is exact).
bool isValidUtf8(const QByteArray &bytes);

} // namespace hvx
