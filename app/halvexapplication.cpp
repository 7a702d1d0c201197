#include "halvexapplication.h"

#include "dialogs.h"
#include "programstyle.h"

#include <exception>

#include <QImageReader>
#include <QPixmap>

static void initAppResources() { Q_INIT_RESOURCE(app); }

namespace hvx {

QIcon programIcon()
{
    initAppResources();
    // Read as the images they are: an image file of unstated type is first
    // offered to every image format plugin, loading each of them.
    QIcon icon;
    for (const char *file : { ":/app/icons/halvex-16.xpm", ":/app/icons/halvex-32.xpm" }) {
        QImageReader reader(QString::fromLatin1(file), "xpm");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    return icon;
}

HalvexApplication::HalvexApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    // The name only: a display name would be appended to every window title.
    setApplicationName(applicationTitle());
    setWindowIcon(programIcon());
    setStyle(new ProgramStyle);
}

bool HalvexApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        dialogs().message(nullptr, applicationTitle(), QString::fromLocal8Bit(e.what()), DialogIcon::Error);
    } catch (...) {
        dialogs().message(nullptr, applicationTitle(), QStringLiteral("An unexpected error occurred."),
                          DialogIcon::Error);
    }
    return false;
}

} // namespace hvx
