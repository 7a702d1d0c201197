#include "programwindows.h"

namespace hvx {

ProgramWindows::ProgramWindows(const QByteArrayList &arguments)
    : m_main(arguments)
    , m_results(m_main.PrintIniPath(), &m_main)
    , m_about(&m_main)
{
    m_main.setResultForm(&m_results);
    m_main.setAboutForm(&m_about);
    m_main.setSplashForm(&m_splash);
}

} // namespace hvx
