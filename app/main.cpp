// Program start: the application, the four windows in their order, and the
// event loop until the main window closes.

#include "commandline.h"
#include "dialogs.h"
#include "halvexapplication.h"
#include "programwindows.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#ifdef HALVEX_FONT_WARMUP
#include <fontconfig/fontconfig.h>

#include <thread>
#endif

using hvx::HalvexApplication;

namespace {

// Ends the process once its windows are gone. Everything the program keeps is
// on disk by then (setups when saved, the print options as the results window
// closed), so nothing is lost by not taking the toolkit down: Qt 6.4's
// Wayland client now and then waits for ever for its event thread as the
// application object goes, and the process would stay behind its closed
// window. Output still buffered is written first.
[[noreturn]] void endProgram(int status)
{
    std::fflush(nullptr);
#if defined(__SANITIZE_ADDRESS__)
    // The leak check that the normal end of the process would have made.
    __lsan_do_leak_check();
#endif
    std::_Exit(status);
}

} // namespace

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
    int status = 0;
    try {
        // The arguments after the program's name (the application has taken
        // out its own) name a setup file to open, byte for byte.
        QByteArrayList arguments;
        for (int i = 1; i < argc; ++i)
            arguments << QByteArray(argv[i]);
        hvx::ProgramWindows windows(arguments);
        windows.mainForm().show();
        status = app.exec();
    } catch (const std::exception &e) {
        hvx::dialogs().message(nullptr, hvx::applicationTitle(), QString::fromLocal8Bit(e.what()),
                               hvx::DialogIcon::Error);
        status = 1; // the program could not run: a failure, not a normal end
    }
    endProgram(status);
}
