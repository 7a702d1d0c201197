// The colours the program chooses itself stand out from the window they are
// drawn on by a contrast ratio of at least 4.5 in a light and in a dark
// theme: the About box's title, and the lines of the tool bar's pictures
// (their outline: every drawn pixel beside a clear one).

#include "dialogs.h"
#include "halvexabout.h"
#include "halvexmain.h"
#include "readablecolours.h"
#include "scripteddialogs.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QToolButton>

using namespace hvx;

namespace {

QPalette darkPalette()
{
    QPalette p;
    const QColor window(0x35, 0x35, 0x35);
    for (QPalette::ColorRole role : { QPalette::Window, QPalette::Button, QPalette::Base, QPalette::AlternateBase })
        p.setColor(role, window);
    for (QPalette::ColorRole role : { QPalette::WindowText, QPalette::ButtonText, QPalette::Text })
        p.setColor(role, QColor(0xee, 0xee, 0xee));
    return p;
}

// The least contrast of the picture's outline against the background.
double outlineContrast(const QImage &picture, const QColor &background)
{
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    const auto clear = [&](int x, int y) {
        return x < 0 || y < 0 || x >= image.width() || y >= image.height() || qAlpha(image.pixel(x, y)) == 0;
    };
    double least = 21;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!clear(x, y) && (clear(x - 1, y) || clear(x + 1, y) || clear(x, y - 1) || clear(x, y + 1)))
                least = std::min(least, contrastRatio(QColor(image.pixel(x, y)), background));
    return least;
}

} // namespace

class TestAppContrast : public QObject {
    Q_OBJECT

private slots:
    void contrast_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<QString>("what"); // "Label2" in the About box, else a tool button
        for (bool dark : { false, true }) {
            const char *theme = dark ? "dark" : "light";
            for (const char *what : { "Label2", "sbNew", "sbOpen", "sbSave", "sbShowResults", "sbReadSwitches" })
                QTest::addRow("%s, %s", theme, what) << dark << QString::fromLatin1(what);
        }
    }

    void contrast()
    {
        QFETCH(bool, dark);
        QFETCH(QString, what);
        const QPalette before = QApplication::palette();
        const auto restore = qScopeGuard([&] { QApplication::setPalette(before); });
        if (dark)
            QApplication::setPalette(darkPalette());
        double measured = 0;
        if (what == QLatin1String("Label2")) {
            TAboutForm about;
            const QLabel *title = about.findChild<QLabel *>(what);
            QVERIFY(title);
            measured = contrastRatio(title->palette().color(QPalette::WindowText),
                                     about.palette().color(about.backgroundRole()));
        } else {
            ScopedDialogs dialogs;
            TMainForm main;
            const QToolButton *button = main.findChild<QToolButton *>(what);
            QVERIFY(button);
            const QImage picture = button->icon().pixmap(button->iconSize().expandedTo(QSize(64, 23))).toImage();
            measured = outlineContrast(picture, main.palette().color(main.backgroundRole()));
        }
        qInfo("%s: contrast %.1f:1", QTest::currentDataTag(), measured);
        QVERIFY2(measured >= LeastContrast, qPrintable(QString::number(measured)));
    }

    // The theme changing under an open program: the colours follow it.
    void themeChangeFollowed()
    {
        ScopedDialogs dialogs;
        TMainForm main;
        TAboutForm about;
        const QPalette before = QApplication::palette();
        const auto restore = qScopeGuard([&] { QApplication::setPalette(before); });
        QApplication::setPalette(darkPalette());
        const QColor background = darkPalette().color(QPalette::Window);
        const QLabel *title = about.findChild<QLabel *>(QStringLiteral("Label2"));
        const QToolButton *save = main.findChild<QToolButton *>(QStringLiteral("sbSave"));
        // The news of the change comes as events.
        QTRY_VERIFY(contrastRatio(title->palette().color(QPalette::WindowText), background) >= LeastContrast);
        QTRY_VERIFY(outlineContrast(save->icon().pixmap(save->iconSize()).toImage(), background) >= LeastContrast);
    }
};

QTEST_MAIN(TestAppContrast)
#include "tst_app_contrast.moc"
