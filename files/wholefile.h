#pragma once
// Files written whole or not at all: setup files, the print options file,
// printed PDF files.
//
// The new content goes into a temporary file beside the file it replaces
// ("NAME.XXXXXX.part") and takes that file's place in one step, only once it
// is complete, so there is never a moment without either of them. Only a
// regular file is ever replaced: a name that leads through symbolic links to
// a regular file (or to nothing yet) writes that file and keeps the links;
// anything else in its place (a folder, a device, a FIFO, a socket) is
// refused and left as it is. The replacement keeps the permission bits (and,
// where allowed, the owner) of the file it replaces; a new file gets those of
// any new file. A process stopped by SIGINT, SIGTERM or SIGHUP removes its
// temporary files as it stops (unless those signals had been given handlers
// of the program's own, or are ignored).

#include <QByteArray>
#include <QString>

#include <sys/types.h>

namespace hvx {

class WholeFile {
public:
    // The path as text, or in the system's own bytes (which need not be
    // UTF-8).
    explicit WholeFile(const QString &path);
    explicit WholeFile(const QByteArray &nativePath);
    // A file neither committed nor cancelled is cancelled.
    ~WholeFile();
    WholeFile(const WholeFile &) = delete;
    WholeFile &operator=(const WholeFile &) = delete;

    // Makes the temporary file. False, with the reason in errorString(), when
    // the path names something that is not a regular file or the temporary
    // file cannot be made.
    bool open();
    // The temporary file, for a writer that opens it by name (the printer).
    QString temporaryFileName() const;
    // Appends to the temporary file.
    bool write(const QByteArray &bytes);
    // Puts the temporary file in the place of the file, once everything
    // written into it has reached the disk. False, with the reason, when
    // that could not be done: then the temporary file is gone and the old
    // file is as it was.
    bool commit();
    // Removes the temporary file; the old file stays as it was.
    void cancel();

    // Why the last step failed, as the system says it ("Permission denied",
    // "it is a folder, not a regular file"); to follow "NAME could not be
    // written: ".
    QString errorString() const { return m_error; }

private:
    bool fail(int error);
    bool fail(const QString &why);

    QByteArray m_path;   // as given
    QByteArray m_target; // the file replaced, after following symbolic links
    QByteArray m_temporary;
    int m_fd = -1;
    int m_slot = -1; // in the list of files removed on a stopping signal
    QString m_error;
};

// Replaces the file at path with bytes, whole or not at all (see WholeFile).
// On any failure (no room left, a file-size limit, a folder that cannot be
// written, something other than a regular file) false, the reason in *error
// when given, and the old file, if any, left as it was.
bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// Why nothing can be written at path: empty when path names a regular file,
// leads to one through symbolic links, or names nothing yet; else the reason
// as WholeFile::errorString() gives it. Lets a program refuse an output
// before doing the work.
QString whyNotReplaceable(const QByteArray &nativePath);

// Why something of this kind (the st_mode of a stat) is not taken for a
// regular file: the system's "Is a directory" for a folder, "it is a FIFO,
// not a regular file" (a device, a socket) for the rest, or "it is a link to
// a FIFO, ..." when a link led there; empty for a regular file.
QString whyNotRegular(mode_t mode, bool throughLink = false);

} // namespace hvx
