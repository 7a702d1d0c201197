#pragma once
// Texts shown to people (reports, labels) that may come from a damaged setup
// file or from a file name: characters that would break the line or hide in
// it are shown as escapes, so that what is shown is one line and says
// exactly what the text holds.

#include <QString>

#include <cstdint>

namespace hvx {

// The text with these shown as escapes:
//   \\            a backslash (so that every backslash shown starts an escape)
//   \t \n \r      tab, line feed, carriage return
//   \xHH          any other control character below U+0020, and DEL (\x7F);
//                 also a lone U+DC80..U+DCFF, the way a name read as text keeps
//                 a byte HH that is not UTF-8
//   \uHHHH        C1 controls (U+0080..U+009F), line and paragraph separators,
//                 direction overrides and isolates, and any other lone surrogate
// HH and HHHH are upper-case hexadecimal digits. Everything else is unchanged.
QString displayText(const QString &text);

// A file path shown the same way, except that a backslash is shown as it is:
// in a path it separates folders.
QString displayPath(const QString &path);

// A count and the word for what is counted: "1 setup", "3 setups".
QString countOf(std::int64_t n, const char *one, const char *many);

} // namespace hvx
