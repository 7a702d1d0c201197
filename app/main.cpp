// Program start: the application, the four windows in their order, and the
// event loop until the main window closes.

#include "commandline.h"
#include "dialogs.h"
#include "halvexabout.h"
#include "halvexapplication.h"
#include "halvexmain.h"
#include "halvexsplashqvr.h"
#include "switchform.h"

#include <exception>
#include <optional>
#include <thread>

#include <fontconfig/fontconfig.h>

using hvx::HalvexApplication;
using hvx::TAboutForm;
using hvx::TMainForm;
using hvx::TSplashForm;

int main(int argc, char *argv[])
{
    // --help and --version are answered before the window system is needed.
    if (const std::optional<int> status = hvx::answerCommandLine(argc, argv))
        return *status;
    // The font configuration (read once per process, and needed by the first
    // window's first text) is read on the second core while the application
    // connects to the window system.
    std::thread fontConfig([] { FcInit(); });
    HalvexApplication app(argc, argv);
    fontConfig.join();
    try {
        // The arguments after the program's name name a setup file to open.
        TMainForm mainForm(QCoreApplication::arguments().mid(1));
        hvx::TResultForm resultForm(mainForm.PrintIniPath());
        TAboutForm aboutForm;
        TSplashForm splashForm;
        mainForm.setResultForm(&resultForm);
        mainForm.setAboutForm(&aboutForm);
        mainForm.setSplashForm(&splashForm);
        mainForm.show();
        app.exec();
    } catch (const std::exception &e) {
        hvx::dialogs().message(nullptr, hvx::applicationTitle(), QString::fromLocal8Bit(e.what()),
                               hvx::DialogIcon::Error);
        return 1; // the program could not run: a failure, not a normal end
    }
    return 0;
}
