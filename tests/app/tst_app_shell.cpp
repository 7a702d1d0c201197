// The application shell: the splash screen's three ways of closing and its
// once-per-run showing, the About box, the version each window shows, and
// errors escaping an event handler.

#include "halvexabout.h"
#include "halvexapplication.h"
#include "halvexmain.h"
#include "scripteddialogs.h"
#include "splashform.h"
#include "switchform.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QProxyStyle>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <memory>
#include <stdexcept>

using hvx::HalvexApplication;
using hvx::TAboutForm;
using hvx::TMainForm;
using hvx::TSplashForm;

Q_DECLARE_METATYPE(std::function<void(TSplashForm &)>)

namespace {

using SplashAction = std::function<void(TSplashForm &)>;

// While it lives, runs an action on each modal window that comes up, so that
// no test can block on one. The action is expected to close the window.
class ModalWatcher {
public:
    explicit ModalWatcher(std::function<void(QWidget *)> action)
        : m_action(std::move(action))
    {
        m_poll.setInterval(10);
        QObject::connect(&m_poll, &QTimer::timeout, [this] {
            if (QWidget *w = QApplication::activeModalWidget()) {
                ++m_count;
                m_action(w);
            }
        });
        m_poll.start();
    }
    int count() const { return m_count; }

private:
    std::function<void(QWidget *)> m_action;
    QTimer m_poll;
    int m_count = 0;
};

class Thrower : public QObject {
public:
    static constexpr QEvent::Type Kind = QEvent::Type(QEvent::User + 7);
    // Throws something that is not a standard exception.
    static constexpr QEvent::Type OtherKind = QEvent::Type(QEvent::User + 8);
    bool event(QEvent *e) override
    {
        if (e->type() == Kind)
            throw std::runtime_error("the handler failed");
        if (e->type() == OtherKind)
            throw 42;
        return QObject::event(e);
    }
};

} // namespace

class TestAppShell : public QObject {
    Q_OBJECT

private slots:
    void splashCloses_data();
    void splashCloses();
    void splashTimeUpBeforeShown();
    void splashOnFirstActivationOnly();
    void aboutBox();
    void versionShown_data();
    void versionShown();
    void errorInHandlerIsShown();
    void pictures();
    void deferredStylePictures();
};

void TestAppShell::splashCloses_data()
{
    QTest::addColumn<SplashAction>("action");
    QTest::addColumn<bool>("byTimer");
    QTest::newRow("click on the window") << SplashAction([](TSplashForm &s) {
        QTest::mouseClick(&s, Qt::LeftButton, Qt::NoModifier, QPoint(10, 400));
    }) << false;
    QTest::newRow("click on a panel") << SplashAction([](TSplashForm &s) {
        QTest::mouseClick(s.findChild<QLabel *>("Panel1"), Qt::LeftButton);
    }) << false;
    QTest::newRow("key") << SplashAction([](TSplashForm &s) { QTest::keyClick(&s, Qt::Key_A); }) << false;
    QTest::newRow("timer") << SplashAction() << true;
}

void TestAppShell::splashCloses()
{
    QFETCH(SplashAction, action);
    QFETCH(bool, byTimer);
    QElapsedTimer clock;
    clock.start();
    TSplashForm splash;
    QVERIFY(splash.isTimerRunning());
    bool acted = false;
    bool closedByAction = false;
    bool fellBack = false;
    {
        ModalWatcher watcher([&](QWidget *w) {
            if (w != &splash || !action || acted)
                return;
            action(splash);
            acted = true;
            closedByAction = !splash.isVisible();
        });
        // Whatever happens, the test goes on after ten seconds.
        QTimer::singleShot(10000, &splash, [&] {
            fellBack = true;
            splash.close();
        });
        splash.exec();
    }
    QVERIFY(!splash.isVisible());
    QVERIFY(!splash.isTimerRunning());
    QVERIFY(!fellBack);
    QCOMPARE(acted, !byTimer);
    QCOMPARE(closedByAction, !byTimer);
    // Its own timer never takes it away early (a precise timer never fires early).
    if (byTimer)
        QVERIFY2(clock.elapsed() >= TSplashForm::DisplayMilliseconds, qPrintable(QString::number(clock.elapsed())));

    // Closed once, it never comes back.
    ModalWatcher again([](QWidget *w) { w->close(); });
    QCOMPARE(splash.exec(), int(QDialog::Rejected));
    QCOMPARE(again.count(), 0);
}

void TestAppShell::splashTimeUpBeforeShown()
{
    // When starting took longer than the splash screen's time (a message box
    // at start-up, say), it is not shown at all rather than shown for good.
    TSplashForm splash;
    QTRY_VERIFY_WITH_TIMEOUT(!splash.isTimerRunning(), 4 * TSplashForm::DisplayMilliseconds);
    ModalWatcher watcher([](QWidget *w) { w->close(); });
    QCOMPARE(splash.exec(), int(QDialog::Rejected));
    QVERIFY(!splash.isVisible());
    QCOMPARE(watcher.count(), 0);
}

void TestAppShell::splashOnFirstActivationOnly()
{
    hvx::ScopedDialogs dialogs;
    TMainForm form;
    TSplashForm splash;
    TAboutForm about;
    form.setSplashForm(&splash);
    form.setAboutForm(&about);
    QStringList seen;
    auto recordAndClose = [&](QWidget *w) {
        seen << w->metaObject()->className();
        w->close();
    };
    ModalWatcher watcher(recordAndClose);
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTRY_COMPARE(seen, QStringList{ "hvx::TSplashForm" });

    // Back from a modal window and activated again: no splash screen.
    form.findChild<QAction *>("About1")->trigger();
    QCOMPARE(seen, (QStringList{ "hvx::TSplashForm", "hvx::TAboutForm" }));
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    // The activation has been handled; a splash screen would come up (and be
    // seen by the watcher) in the events that follow it.
    QCoreApplication::processEvents();
    QCOMPARE(seen, (QStringList{ "hvx::TSplashForm", "hvx::TAboutForm" }));
}

void TestAppShell::aboutBox()
{
    hvx::ScopedDialogs dialogs;
    TMainForm form;
    TAboutForm about;
    form.setAboutForm(&about);
    form.show();
    QString title;
    ModalWatcher watcher([&](QWidget *w) {
        title = w->windowTitle();
        QTest::keyClick(w, Qt::Key_Return); // OK is the default button
    });
    QTimer::singleShot(5000, &about, &QWidget::close);
    form.findChild<QAction *>("About1")->trigger();
    QCOMPARE(title, QStringLiteral("About Halvex"));
    QCOMPARE(about.result(), int(QDialog::Accepted));
    QVERIFY(!about.isVisible());
}

void TestAppShell::versionShown_data()
{
    // clang-format off
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    QTest::newRow("About box") << "about" << "Label1" << "Version 1.4";
    QTest::newRow("splash screen") << "splash" << "Panel2" << "Halvex Programmable Transmitter Configuration v1.4";
    QTest::newRow("results window") << "results" << "Label4" << "Version 1.4";
    // clang-format on
}

void TestAppShell::versionShown()
{
    QFETCH(QString, window);
    QFETCH(QString, label);
    QFETCH(QString, text);
    QTemporaryDir dir;
    std::unique_ptr<QWidget> w;
    if (window == "about")
        w = std::make_unique<TAboutForm>();
    else if (window == "splash")
        w = std::make_unique<TSplashForm>();
    else
        w = std::make_unique<hvx::TResultForm>(dir.filePath("hvxprint.ini"), nullptr, QString());
    w->show(); // the results window makes its controls when first shown
    const QLabel *shown = w->findChild<QLabel *>(label);
    QVERIFY(shown);
    QCOMPARE(shown->text(), text);
}

void TestAppShell::errorInHandlerIsShown()
{
    hvx::ScopedDialogs dialogs;
    Thrower thrower;
    QEvent failing(Thrower::Kind);
    QVERIFY(!QCoreApplication::sendEvent(&thrower, &failing)); // not taken as handled
    QEvent otherFailing(Thrower::OtherKind);
    QVERIFY(!QCoreApplication::sendEvent(&thrower, &otherFailing));

    // A slot behind a click throws; the click is the event that fails.
    QPushButton button("go");
    button.resize(60, 30);
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    QObject::connect(&button, &QPushButton::clicked, [] { throw std::logic_error("the button failed"); });
    QTest::mouseClick(&button, Qt::LeftButton);

    // And the program goes on: the next event is delivered as usual.
    int clicks = 0;
    QPushButton other("next");
    QObject::connect(&other, &QPushButton::clicked, [&] { ++clicks; });
    other.show();
    QTest::mouseClick(&other, Qt::LeftButton);
    QCOMPARE(clicks, 1);

    const auto &calls = dialogs.scripted.calls();
    QCOMPARE(calls.size(), size_t(3));
    QCOMPARE(calls[0].title, QStringLiteral("Halvex"));
    QCOMPARE(calls[0].text, QStringLiteral("the handler failed"));
    QCOMPARE(calls[1].title, QStringLiteral("Halvex"));
    QCOMPARE(calls[1].text, QStringLiteral("An unexpected error occurred."));
    QCOMPARE(calls[2].text, QStringLiteral("the button failed"));
}

// The program icon holds both sizes, and each tool bar button its picture.
void TestAppShell::pictures()
{
    const QIcon icon = hvx::programIcon();
    QCOMPARE(icon.availableSizes(), (QList<QSize>{ QSize(16, 16), QSize(32, 32) }));
    TMainForm form;
    for (const char *name : { "sbNew", "sbOpen", "sbSave", "sbShowResults", "sbReadSwitches" }) {
        const QToolButton *button = form.findChild<QToolButton *>(QString::fromLatin1(name));
        QVERIFY2(button && !button->icon().pixmap(16, 16).isNull(), name);
    }
}

// The pictures the program's style reads only when drawn are the platform
// style's own.
void TestAppShell::deferredStylePictures()
{
    const auto *style = qobject_cast<const QProxyStyle *>(QApplication::style());
    QVERIFY(style && style->baseStyle());
    for (QStyle::StandardPixmap which :
         { QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton }) {
        const QImage expected = style->baseStyle()->standardIcon(which).pixmap(16, 16).toImage();
        QVERIFY(!expected.isNull());
        QCOMPARE(style->standardIcon(which).pixmap(16, 16).toImage(), expected);
    }
}

int main(int argc, char *argv[])
{
    HalvexApplication app(argc, argv);
    TestAppShell test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_app_shell.moc"
