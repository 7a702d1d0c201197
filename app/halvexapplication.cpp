#include "halvexapplication.h"

#include "dialogs.h"

#include <exception>

static void initAppResources() { Q_INIT_RESOURCE(app); }

namespace hvx {

QIcon programIcon()
{
    initAppResources();
    QIcon icon;
    icon.addFile(QStringLiteral(":/app/icons/halvex-16.xpm"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/app/icons/halvex-32.xpm"), QSize(32, 32));
    return icon;
}

HalvexApplication::HalvexApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    // The name only: a display name would be appended to every window title.
    setApplicationName(applicationTitle());
    setWindowIcon(programIcon());
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
