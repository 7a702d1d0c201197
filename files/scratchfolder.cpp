#include "scratchfolder.h"

#include "stopsignals.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace hvx {

ScratchFolder::ScratchFolder(const QString &prefix)
{
    QByteArray name = QFile::encodeName(QDir::tempPath() + QLatin1Char('/') + prefix) + "-XXXXXX";
    if (::mkdtemp(name.data()) == nullptr) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    m_path = name;
    m_watch = watchStop(removeOnStop, m_path.constData());
}

ScratchFolder::~ScratchFolder()
{
    unwatchStop(m_watch);
    if (!m_path.isEmpty())
        removeTreeNow(m_path.constData());
}

QString ScratchFolder::path() const { return QFile::decodeName(m_path); }

void ScratchFolder::removeOnStop(const void *path) { removeTreeNow(static_cast<const char *>(path)); }

} // namespace hvx
