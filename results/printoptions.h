#pragma once
// The four print options of the results window, the small binary file that
// keeps them between runs (16 bytes, four little-endian 32-bit values, 0 off
// and nonzero on, in the order Use DDB's, 24bit form output, WinStretch,
// Compress), and the menu entry that shows them.

#include <QByteArray>
#include <QString>

#include <array>

class QWidget;

namespace hvx {

struct PrintOptions {
    bool useDDB = false;
    bool form24Bit = true;
    bool winStretch = false;
    bool compress = false;

    bool operator==(const PrintOptions &o) const
    {
        return useDDB == o.useDDB && form24Bit == o.form24Bit && winStretch == o.winStretch && compress == o.compress;
    }
    bool operator!=(const PrintOptions &o) const { return !(*this == o); }
};

constexpr int PrintOptionsFileSize = 16;

// Desktops may take Alt+F7 for themselves: the panel of print options is also
// shown and hidden by an entry "Print Options" in the window's context menu,
// checked while shown, with a key of its own, Shift+F7.
void addPrintOptionsEntry(QWidget *window, QWidget *panel);

// The 16 bytes of a set of options.
QByteArray printOptionsBytes(const PrintOptions &options);
// Reads as many whole values as the bytes hold into options; a value the bytes
// do not hold completely leaves its option as it was. Bytes past 16 are
// ignored.
void applyPrintOptionsBytes(const QByteArray &bytes, PrintOptions &options);

// The file name next to the program: the program's folder and "hvxprint.ini".
QString defaultPrintIniPath();

// Where the options live. The options belong to the user: they are kept in
// the user's configuration folder (the fallback path), and a new file is only
// ever made there. The file next to the program (the primary path) is read
// and written only while it already exists, so that an unpacked copy that
// keeps its options beside itself goes on doing so, while nothing is ever
// made in the folder of an installed program. A file in the configuration
// folder, once it exists, is read first. Something other than a regular file
// under either name (a pipe, a device, a folder) is neither read nor
// replaced. A write puts all 16 bytes in place or leaves the file as it was.
class PrintOptionsFile {
public:
    // An empty fallback path keeps no options but those next to the program.
    PrintOptionsFile(const QString &primaryPath, const QString &fallbackPath);

    // The user's configuration folder followed by "hvxprint.ini".
    static QString defaultFallbackPath();

    // Reads the options. When there is no file to read, one is made in the
    // configuration folder with the defaults, and options is left as it was.
    // False when no file could be read or made.
    bool read(PrintOptions &options);
    // Writes the options into the file read last, or else into the
    // configuration folder (making the file and its folder when needed).
    // False when nothing could be written.
    bool write(const PrintOptions &options);

    // The file read or written last; empty before the first success.
    QString activePath() const { return m_active; }

private:
    bool writeTo(const QString &path, const QByteArray &bytes);
    // Writes into the configuration folder, making it when needed.
    bool writeToFallback(const QByteArray &bytes);

    QString m_primary;
    QString m_fallback;
    QString m_active;
};

} // namespace hvx
