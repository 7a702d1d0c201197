// The windows at the screen scale the test runs under (QT_SCALE_FACTOR,
// one test entry per factor): every text whole inside its control and every
// switch square clean, with nothing but its outline at its edge.

#include "evaluation.h"
#include "halvexmain.h"
#include "readswitchesform.h"
#include "scripteddialogs.h"
#include "setupfile.h"
#include "shapewidget.h"
#include "switchbankpanel.h"
#include "switchform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QStyleOptionComboBox>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace hvx;

namespace {

// Device pixels of a logical rectangle of an image grabbed from a window,
// those only partly covered included.
QRect devicePixels(const QRect &logical, qreal dpr)
{
    return QRect(QPoint(int(std::floor(logical.left() * dpr)), int(std::floor(logical.top() * dpr))),
                 QPoint(int(std::ceil((logical.right() + 1) * dpr)) - 1,
                        int(std::ceil((logical.bottom() + 1) * dpr)) - 1));
}

// Pixels of a colour in the device pixels of a logical rectangle, leaving out
// those of another.
int countPixels(const QImage &image, const QRect &logical, QRgb colour, const QRect &except = QRect())
{
    const QRect area = devicePixels(logical, image.devicePixelRatio()).intersected(image.rect());
    const QRect left = except.isNull() ? QRect() : devicePixels(except, image.devicePixelRatio());
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (!left.contains(x, y) && (image.pixel(x, y) & 0xffffff) == (colour & 0xffffff))
                ++n;
    return n;
}

} // namespace

class TestScreenScale : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    std::unique_ptr<TResultForm> m_form;

private slots:
    // A dual-output results window: every bank and text shown.
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        Setup setup;
        EvaluationValues values;
        const QString path = QStringLiteral(HALVEX_EXAMPLES_DIR "/trip-relay.hvx");
        QCOMPARE(loadSetupFile(path, setup), LoadStatus::Ok);
        QVERIFY(Evaluate(setup, values).completed);
        m_form = std::make_unique<TResultForm>(m_dir.filePath(QStringLiteral("hvxprint.ini")), nullptr, QString());
        m_form->FillResults(setup, values, path);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }

    // Each shown label holds its whole text.
    void labelsWhole()
    {
        QStringList cut;
        for (const QLabel *label : m_form->findChildren<QLabel *>()) {
            const QRect room = label->contentsRect();
            if (label->isVisible() && !label->text().isEmpty()
                && !room.contains(label->fontMetrics().boundingRect(room, int(label->alignment()), label->text())))
                cut << label->objectName();
        }
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char(' '))));
    }

    // The print options (Alt+F7): each check box inside its group's frame,
    // below the title, and large enough for its text.
    void printOptionsInsideTheirGroups()
    {
        QTest::keyClick(m_form.get(), Qt::Key_F7, Qt::AltModifier);
        const QList<QGroupBox *> groups = m_form->findChildren<QGroupBox *>();
        QCOMPARE(groups.size(), 2);
        for (const QGroupBox *group : groups) {
            QVERIFY(group->isVisible());
            QVERIFY(group->rect().contains(group->childrenRect()));
            for (const QCheckBox *box : group->findChildren<QCheckBox *>()) {
                QVERIFY2(group->contentsRect().contains(box->geometry()), qPrintable(box->text()));
                const QSize need = box->sizeHint();
                QVERIFY2(box->width() >= need.width() && box->height() >= need.height(), qPrintable(box->text()));
            }
        }
        QTest::keyClick(m_form.get(), Qt::Key_F7, Qt::AltModifier);
    }

    // Around each shown square, from its outline outwards, only the bank's
    // black: no sliver of the square's white outside its outline.
    void squaresClean()
    {
        const QImage window = m_form->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const qreal dpr = window.devicePixelRatio();
        QStringList stray;
        for (int bank = 1; bank <= 4; ++bank) {
            for (int position = 1; position <= 12; ++position) {
                for (const ShapeWidget *square :
                     { m_form->onSquare(bank, position), m_form->offSquare(bank, position) }) {
                    if (!square->isVisible())
                        continue;
                    const QRect r(square->mapTo(m_form.get(), QPoint(0, 0)), square->size());
                    // Device pixels: those that reach inside the outline, and
                    // the square's with a margin around it.
                    const QRect inner = devicePixels(r.adjusted(1, 1, -1, -1), dpr);
                    const QRect around = devicePixels(r, dpr).adjusted(-2, -2, 2, 2);
                    int white = 0;
                    for (int y = around.top(); y <= around.bottom(); ++y)
                        for (int x = around.left(); x <= around.right(); ++x)
                            if (!inner.contains(x, y) && (window.pixel(x, y) & 0xffffff) != 0)
                                ++white;
                    if (white)
                        stray << square->objectName();
                }
            }
        }
        QVERIFY2(stray.isEmpty(), qPrintable(stray.join(QLatin1Char(' '))));
    }

    // The Read Switches window, switches on and off, some marked: around each
    // square no white outside its outline, and the focus frame round the
    // current position has all four edges.
    void readSwitchesSquares()
    {
        ReadSwitchesForm form;
        SwitchMap map;
        for (int p = 1; p <= 12; p += 3) {
            map.S2.turnOn(p);
            map.S3.turnOn(p + 1);
        }
        form.setSwitches(map); // no setup gives these: the nearest one's differences are marked
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        QStringList wrong;
        for (int bank = 1; bank <= 4; ++bank) {
            for (int position = 1; position <= 12; ++position) {
                SwitchToggle *t = form.switchToggle(bank, position);
                t->setFocus();
                QTRY_VERIFY(t->hasFocus());
                const QImage shown = form.grab().toImage().convertToFormat(QImage::Format_RGB32);
                const QRect square(t->mapTo(&form, t->squareRect().topLeft()), t->squareRect().size());
                if (countPixels(shown, square.adjusted(-2, -2, 2, 2), qRgb(255, 255, 255),
                                square.adjusted(1, 1, -1, -1)))
                    wrong << t->objectName() + QStringLiteral(": white outside");
                const QRect frame(t->mapTo(&form, QPoint(0, 0)), t->size());
                const QRect edges[] = { QRect(frame.left(), frame.top(), frame.width(), 1),
                                        QRect(frame.left(), frame.bottom(), frame.width(), 1),
                                        QRect(frame.left(), frame.top(), 1, frame.height()),
                                        QRect(frame.right(), frame.top(), 1, frame.height()) };
                for (const QRect &edge : edges)
                    if (countPixels(shown, edge, qRgb(255, 255, 0)) < std::max(edge.width(), edge.height()) / 3)
                        wrong << t->objectName() + QStringLiteral(": focus frame cut");
            }
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char(' '))));
    }

    // Closed, each list of the main window shows its widest item whole.
    void mainWindowLists()
    {
        ScopedDialogs dialogs;
        TMainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QStringList cut;
        for (const QComboBox *list : form.findChildren<QComboBox *>()) {
            QStyleOptionComboBox option;
            option.initFrom(list);
            option.editable = list->isEditable();
            option.frame = list->hasFrame();
            const QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                              QStyle::SC_ComboBoxEditField, list);
            for (int i = 0; i < list->count(); ++i) {
                // The style draws the item one pixel inside the field.
                const int need = list->fontMetrics().horizontalAdvance(list->itemText(i));
                if (need > field.width() - 2)
                    cut << list->itemText(i);
            }
        }
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char(','))));
    }
};

QTEST_MAIN(TestScreenScale)
#include "tst_results_screenscale.moc"
