// The program's windows on a real Wayland compositor (run by wayland.sh under
// a headless weston): the main window and the results window show, the
// results window and the About box in front of the main window as its own,
// every window carries the desktop entry's id as its app id in the
// compositor, and Qt warns of nothing on the way.

#include "halvexapplication.h"
#include "programwindows.h"

#include <QAction>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <cstdio>
#include <cstdlib>
#include <functional>

using hvx::HalvexApplication;
using hvx::ProgramWindows;

namespace {

// What the compositor shows: its own description of every window.
QString sceneGraph()
{
    QProcess debug;
    debug.start(QStringLiteral("weston-debug"), { QStringLiteral("scene-graph") });
    if (!debug.waitForFinished(10000))
        return QStringLiteral("<weston-debug did not answer>");
    return QString::fromUtf8(debug.readAllStandardOutput());
}

} // namespace

class TestAppWayland : public QObject {
    Q_OBJECT

private slots:
    void windowsOnWayland_data();
    void windowsOnWayland();
};

void TestAppWayland::windowsOnWayland_data()
{
    QTest::addColumn<QString>("command"); // the main window's entry that opens the window
    QTest::addColumn<QString>("title");
    QTest::newRow("results window") << "Evaluate2" << QStringLiteral("Results");
    QTest::newRow("About box") << "About1" << QStringLiteral("About Halvex");
}

void TestAppWayland::windowsOnWayland()
{
    QFETCH(QString, command);
    QFETCH(QString, title);
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("wayland"));

    const QString setup = qEnvironmentVariable("HALVEX_SETUP_FILE");
    ProgramWindows windows({ QFile::encodeName(setup) });
    windows.splashForm().Timer1Timer(); // its time is up: it does not come between
    hvx::TMainForm &main = windows.mainForm();
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));

    bool seen = false;
    QTimer::singleShot(0, &main, [&] {
        QWidget *shown = QApplication::activeModalWidget();
        QVERIFY(shown);
        const auto close = qScopeGuard([&] { shown->close(); });
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        QCOMPARE(shown->windowTitle(), title);
        QCOMPARE(shown->windowHandle()->transientParent(), main.windowHandle());
        QTRY_VERIFY(sceneGraph()
                        .contains(QStringLiteral("top-level window '%1' of %2").arg(title, hvx::desktopFileId())));
        seen = true;
    });
    QAction *entry = main.findChild<QAction *>(command);
    QVERIFY(entry);
    entry->trigger(); // returns when the modal window has closed
    QVERIFY(seen);
}

int main(int argc, char *argv[])
{
    HalvexApplication app(argc, argv);
    TestAppWayland test;
    const int status = QTest::qExec(&test, argc, argv);
    // Qt 6.4's Wayland client now and then never returns from joining its
    // event thread when the application object goes. The verdict is in:
    // the test ends here rather than hang until ctest's time-out.
    std::fflush(nullptr);
    std::_Exit(status);
}

#include "tst_app_wayland.moc"
