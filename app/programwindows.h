#pragma once
// The program's windows, made once at start in their order and kept for the
// whole run: the main window, then the results window, the About box and the
// splash screen. The results window and the About box belong to the main
// window (the desktop keeps them in front of it and counts them as its own),
// and the main window reaches all three.

#include "halvexabout.h"
#include "halvexmain.h"
#include "splashform.h"
#include "switchform.h"

#include <QByteArrayList>

namespace hvx {

class ProgramWindows {
public:
    // arguments: the command-line arguments after the program's name, as
    // bytes; they name a setup file that the main window opens as it is made.
    explicit ProgramWindows(const QByteArrayList &arguments);

    TMainForm &mainForm() { return m_main; }
    TResultForm &resultForm() { return m_results; }
    TAboutForm &aboutForm() { return m_about; }
    TSplashForm &splashForm() { return m_splash; }

private:
    // Made in this order, and taken down in the reverse order: the main
    // window's own windows go before it.
    TMainForm m_main;
    TResultForm m_results;
    TAboutForm m_about;
    TSplashForm m_splash;
};

} // namespace hvx
