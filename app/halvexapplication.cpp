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
    // The desktop ties the windows to the menu entry and its icon by this id
    // (on Wayland the windows' app id).
    setDesktopFileName(desktopFileId());
    setWindowIcon(programIcon());
    setStyle(new ProgramStyle);
}

bool HalvexApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        reportError(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        reportError(QStringLiteral("An unexpected error occurred."));
    }
    return false;
}

void HalvexApplication::reportError(const QString &text)
{
    // In front of the window the user was working in.
    QWidget *owner = activeModalWidget() ? activeModalWidget() : activeWindow();
    dialogs().message(owner, applicationTitle(), text, DialogIcon::Error);
}

} // namespace hvx
