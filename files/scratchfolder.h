#pragma once
// A folder for scratch files of one job, in the system's temporary folder,
// removed with everything in it when the job ends, and by a stopping signal
// (SIGINT, SIGTERM, SIGHUP) that ends the process first.

#include <QByteArray>
#include <QString>

namespace hvx {

class ScratchFolder {
public:
    // Makes PREFIX-XXXXXX in the temporary folder.
    explicit ScratchFolder(const QString &prefix);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    // Whether it was made; errorString() tells why not.
    bool isValid() const { return !m_path.isEmpty(); }
    QString path() const;
    QString errorString() const { return m_error; }

private:
    static void removeOnStop(const void *path);

    QByteArray m_path;
    int m_watch = -1;
    QString m_error;
};

} // namespace hvx
