#pragma once
// The 218-byte setup file: signature check, reader and writer over a byte
// stream, and whole-file helpers used by the windows and the tools.

#include "setup.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace hvx {

constexpr int SetupFileSize = 218;
constexpr int SignatureSize = 63;

// The 63 signature bytes (62 characters and a zero byte).
QByteArray setupSignature();

// Reads 63 bytes and tells whether they are the signature. Leaves the read
// position after them.
bool HasSetupSignature(QIODevice &file);

// Reads offsets 63 to 217 into the setup, clamping out-of-range values as the
// window's controls would. A stream that ends before offset 218 is refused:
// false, and the setup is left untouched.
bool ReadSetupFile(QIODevice &file, Setup &setup);

// Writes all 218 bytes. False when the device reported a write error.
bool WriteSetupFile(QIODevice &file, const Setup &setup);

// The 218 bytes of a setup.
QByteArray setupFileBytes(const Setup &setup);

enum class LoadStatus { Ok, CannotOpen, NotSetupFile };

// Opens a file by path and reads it as the window's Open does. Only a regular
// file can be opened; anything else (a folder, a FIFO, a device) is refused at
// once, without waiting. On anything but Ok the setup is left untouched and
// *why, when given, tells the reason as the system gives it ("No such file or
// directory") for CannotOpen, and "the file is empty" or nothing for
// NotSetupFile.
LoadStatus loadSetupFile(const QString &path, Setup &setup, QString *why = nullptr);
// The same for a path in the system's own bytes, which need not be UTF-8.
LoadStatus loadSetupFileNative(const QByteArray &nativePath, Setup &setup, QString *why = nullptr);

// Writes a setup file safely: to a temporary file in the same folder, put in
// place only when all 218 bytes were written. On failure (a full disk
// included) the old file is intact, and *why, when given, tells the reason.
// Something at path that is not a regular file is refused and left alone.
bool saveSetupFile(const QString &path, const Setup &setup, QString *why = nullptr);

// Message texts of the file commands.
namespace FileMessages {
QString couldNotBeOpened(const QString &path); // path + " could not be opened."
QString notASetupFile(const QString &path);    // path + " is not an HALVEX Switch File"
// The same with the reason a load gave, when it gave one: path + " could not
// be opened: " + why; path + " is not an HALVEX Switch File (" + why + ")".
QString couldNotBeOpened(const QString &path, const QString &why);
QString notASetupFile(const QString &path, const QString &why);
QString couldNotBeSaved(); // "File could not be saved."
} // namespace FileMessages

} // namespace hvx
