#include "halvexapplication.h"

#include "dialogs.h"

#include <exception>

static void initAppResources() { Q_INIT_RESOURCE(app); }

QIcon ProgramIcon()
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
    setApplicationName(hvx::ApplicationTitle());
    setWindowIcon(ProgramIcon());
}

bool HalvexApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        hvx::dialogs().message(nullptr, hvx::ApplicationTitle(), QString::fromLocal8Bit(e.what()),
                               hvx::DialogIcon::Error);
    } catch (...) {
        hvx::dialogs().message(nullptr, hvx::ApplicationTitle(), QStringLiteral("An unexpected error occurred."),
                               hvx::DialogIcon::Error);
    }
    return false;
}
