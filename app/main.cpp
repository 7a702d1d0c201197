// Program start: the application, the four windows in their order, and the
// event loop until the main window closes.

#include "commandline.h"
#include "dialogs.h"
#include "halvexapplication.h"
#include "programwindows.h"

#include <exception>
#include <optional>

#ifdef HALVEX_FONT_WARMUP
#include <fontconfig/fontconfig.h>

#include <thread>
#endif

using hvx::HalvexApplication;

int main(int argc, char *argv[])
{
    // --help and --version are answered before the window system is needed.
    if (const std::optional<int> status = hvx::answerCommandLine(argc, argv))
        return *status;
#ifdef HALVEX_FONT_WARMUP
    // The font configuration (read once per process, and needed by the first
    // window's first text) is read on the second core while the application
    // connects to the window system.
    std::thread fontConfig([] { FcInit(); });
    HalvexApplication app(argc, argv);
    fontConfig.join();
#else
    HalvexApplication app(argc, argv);
#endif
    try {
        // The arguments after the program's name (the application has taken
        // out its own) name a setup file to open, byte for byte.
        QByteArrayList arguments;
        for (int i = 1; i < argc; ++i)
            arguments << QByteArray(argv[i]);
        hvx::ProgramWindows windows(arguments);
        windows.mainForm().show();
        return app.exec();
    } catch (const std::exception &e) {
        hvx::dialogs().message(nullptr, hvx::applicationTitle(), QString::fromLocal8Bit(e.what()),
                               hvx::DialogIcon::Error);
        return 1; // the program could not run: a failure, not a normal end
    }
}
