#include "halvexapplication.h"

#include "dialogs.h"
#include "programstyle.h"

#include <exception>

#include <QPixmap>

namespace hvx {

namespace {
#include "icons/halvex-16.xpm"
#include "icons/halvex-32.xpm"
} // namespace

QIcon programIcon()
{
    // The pictures are compiled in as the image data they are, read without
    // a file, a resource or an image reader.
    QIcon icon;
    for (const char *const *xpm : { halvex_16_xpm, halvex_32_xpm })
        icon.addPixmap(QPixmap(xpm));
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
