#include "printoptions.h"

#include "regularfile.h"
#include "visibilityaction.h"
#include "wholefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QStandardPaths>
#include <QWidget>
#include <QtEndian>

namespace hvx {

namespace {

const QString fileName = QStringLiteral("hvxprint.ini");

std::array<bool *, 4> fields(PrintOptions &o) { return { &o.useDDB, &o.form24Bit, &o.winStretch, &o.compress }; }

// Only a regular file is read, and without waiting: a pipe would block the
// opening or the reading, a device might never end.
bool readFrom(const QString &path, PrintOptions &options)
{
    QByteArray bytes;
    if (!readRegularFile(QFile::encodeName(path), PrintOptionsFileSize, &bytes, nullptr))
        return false;
    applyPrintOptionsBytes(bytes, options);
    return true;
}

} // namespace

QByteArray printOptionsBytes(const PrintOptions &options)
{
    PrintOptions copy = options;
    QByteArray bytes(PrintOptionsFileSize, '\0');
    int offset = 0;
    for (bool *field : fields(copy)) {
        qToLittleEndian<quint32>(*field ? 1u : 0u, bytes.data() + offset);
        offset += 4;
    }
    return bytes;
}

void applyPrintOptionsBytes(const QByteArray &bytes, PrintOptions &options)
{
    int offset = 0;
    for (bool *field : fields(options)) {
        if (offset + 4 > bytes.size())
            break;
        *field = qFromLittleEndian<quint32>(bytes.constData() + offset) != 0;
        offset += 4;
    }
}

void addPrintOptionsEntry(QWidget *window, QWidget *panel)
{
    auto *entry = new VisibilityAction(QStringLiteral("&Print Options"), panel, window);
    entry->setObjectName(QStringLiteral("PrintOptions1"));
    entry->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F7));
    window->addAction(entry);
    window->setContextMenuPolicy(Qt::ActionsContextMenu);
}

QString defaultPrintIniPath() { return QDir(QCoreApplication::applicationDirPath()).filePath(fileName); }

PrintOptionsFile::PrintOptionsFile(const QString &primaryPath, const QString &fallbackPath)
    : m_primary(primaryPath)
    , m_fallback(fallbackPath)
{
}

QString PrintOptionsFile::defaultFallbackPath()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return dir.isEmpty() ? QString() : QDir(dir).filePath(fileName);
}

bool PrintOptionsFile::read(PrintOptions &options)
{
    for (const QString &path : { m_fallback, m_primary }) {
        if (!path.isEmpty() && QFileInfo::exists(path) && readFrom(path, options)) {
            m_active = path;
            return true;
        }
    }
    // Nothing to read: start a file with the defaults where the user's files
    // belong. The options themselves keep their current (design) states.
    if (writeToFallback(printOptionsBytes(PrintOptions())))
        return true;
    m_active.clear();
    return false;
}

bool PrintOptionsFile::write(const PrintOptions &options)
{
    const QByteArray bytes = printOptionsBytes(options);
    // The file next to the program is replaced only while it is there: an
    // installed program's folder never gets one.
    const QString existing = m_active.isEmpty() ? m_primary : m_active;
    if (existing != m_fallback && QFileInfo(existing).isFile() && writeTo(existing, bytes)) {
        m_active = existing;
        return true;
    }
    return writeToFallback(bytes);
}

bool PrintOptionsFile::writeToFallback(const QByteArray &bytes)
{
    if (m_fallback.isEmpty())
        return false;
    QDir().mkpath(QFileInfo(m_fallback).absolutePath());
    if (!writeTo(m_fallback, bytes))
        return false;
    m_active = m_fallback;
    return true;
}

bool PrintOptionsFile::writeTo(const QString &path, const QByteArray &bytes)
{
    // All 16 bytes or none: a failed write leaves the file as it was.
    return writeWholeFile(path, bytes);
}

} // namespace hvx
