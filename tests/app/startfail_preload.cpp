// Loaded before the program (LD_PRELOAD) to make its start-up fail: once the
// main window exists, the program asks where the user's configuration
// belongs while it makes the next window, and here that throws. The message
// box the failure brings up is answered at once; its text goes to the
// standard error output as "message: TEXT".

#include <QApplication>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>
#include <stdexcept>

#include <dlfcn.h>

QString QStandardPaths::writableLocation(StandardLocation type)
{
    if (QApplication::topLevelWidgets().isEmpty()) {
        // Before the windows: Qt's own answer.
        using Real = QString (*)(StandardLocation);
        static const auto real =
            reinterpret_cast<Real>(dlsym(RTLD_NEXT, "_ZN14QStandardPaths16writableLocationENS_16StandardLocationE"));
        return real(type);
    }
    auto *poll = new QTimer(QCoreApplication::instance());
    QObject::connect(poll, &QTimer::timeout, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            std::fprintf(stderr, "message: %s\n", qPrintable(box->text()));
            box->accept();
        }
    });
    poll->start(10);
    throw std::runtime_error("windows could not be made");
}
