// The real dialogs behind the dialog seam, answered from a timer as a user
// would answer them.

#include "../support/testfiles.h"
#include "dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace hvx;
using testsupport::writeFile;

namespace {

// Runs the answer on the next modal window of the given kind. A check that
// fails in the answer leaves the window open: it is closed then, so that the
// test ends at once instead of waiting for its time-out.
template <typename Dialog>
void answerNext(std::function<void(Dialog *)> answer)
{
    QTimer::singleShot(0, [answer] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if (dialog)
            answer(dialog);
        else
            QTest::qFail("no dialog of the expected kind is showing", __FILE__, __LINE__);
        if (QTest::currentTestFailed()) {
            if (auto *open = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                open->reject();
        }
    });
}

} // namespace

Q_DECLARE_METATYPE(QMessageBox::StandardButton)
Q_DECLARE_METATYPE(hvx::DialogAnswer)

class TestDialogs : public QObject {
    Q_OBJECT

private slots:
    void questionAnswers_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("button"); // NoButton: Escape
        QTest::addColumn<DialogAnswer>("answer");
        QTest::newRow("yes") << QMessageBox::Yes << DialogAnswer::Yes;
        QTest::newRow("no") << QMessageBox::No << DialogAnswer::No;
        QTest::newRow("cancel") << QMessageBox::Cancel << DialogAnswer::Cancel;
        QTest::newRow("escape") << QMessageBox::NoButton << DialogAnswer::Cancel;
    }

    void questionAnswers()
    {
        QFETCH(QMessageBox::StandardButton, button);
        QFETCH(DialogAnswer, answer);
        QtDialogs dialogs;
        answerNext<QMessageBox>([button](QMessageBox *box) {
            QCOMPARE(box->windowTitle(), QStringLiteral("Confirm"));
            if (button == QMessageBox::NoButton)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->button(button)->click();
        });
        QCOMPARE(dialogs.question(nullptr, QStringLiteral("Confirm"), QStringLiteral("Save changes ?"),
                                  DialogIcon::Question),
                 answer);
    }

    void messageShowsPlainText()
    {
        // A path may hold characters that look like markup; it is shown as is.
        QtDialogs dialogs;
        const QString text = QStringLiteral("/tmp/<b>plant</b>.hvx could not be opened.");
        answerNext<QMessageBox>([text](QMessageBox *box) {
            QCOMPARE(box->textFormat(), Qt::PlainText);
            QCOMPARE(box->text(), text);
            QCOMPARE(box->windowTitle(), QStringLiteral("Halvex"));
            box->button(QMessageBox::Ok)->click();
        });
        dialogs.message(nullptr, QStringLiteral("Halvex"), text, DialogIcon::Error);
    }

    void openDialog()
    {
        QTemporaryDir dir;
        const QString bare = dir.filePath(QStringLiteral("notes"));
        writeFile(bare, {});
        const QStringList filters = { QStringLiteral("Halvex File (*.hvx)"), QStringLiteral("All Files (*)") };
        QtDialogs dialogs;

        // A name typed without an extension gets the default one.
        const QString typed = dir.filePath(QStringLiteral("plant"));
        answerNext<QFileDialog>([typed](QFileDialog *dlg) {
            QCOMPARE(dlg->nameFilters().value(0), QStringLiteral("Halvex File (*.hvx)"));
            dlg->selectFile(typed);
            static_cast<QDialog *>(dlg)->accept(); // as the dialog's Open button does
        });
        QCOMPARE(dialogs.openFileName(nullptr, filters, QStringLiteral("hvx")), typed + QStringLiteral(".hvx"));

        // The next showing comes back with that name; an existing file without
        // an extension is taken as it is.
        answerNext<QFileDialog>([typed, bare](QFileDialog *dlg) {
            QCOMPARE(dlg->selectedFiles().value(0), typed + QStringLiteral(".hvx"));
            dlg->selectFile(bare);
            static_cast<QDialog *>(dlg)->accept(); // as the dialog's Open button does
        });
        QCOMPARE(dialogs.openFileName(nullptr, filters, QStringLiteral("hvx")), bare);

        answerNext<QFileDialog>([](QFileDialog *dlg) { dlg->reject(); });
        QCOMPARE(dialogs.openFileName(nullptr, filters, QStringLiteral("hvx")), QString());
    }

    // Save As comes up on the name given and adds the default extension; the
    // print dialog says whether the user went on.
    void saveAndPrintDialogs()
    {
        QTemporaryDir dir;
        const QString preset = dir.filePath(QStringLiteral("plant.hvx"));
        QtDialogs dialogs;
        answerNext<QFileDialog>([&](QFileDialog *dlg) {
            QCOMPARE(dlg->selectedFiles().value(0), preset);
            dlg->selectFile(dir.filePath(QStringLiteral("unit")));
            static_cast<QDialog *>(dlg)->accept();
        });
        QCOMPARE(dialogs.saveFileName(nullptr, { QStringLiteral("Halvex File (*.hvx)") }, QStringLiteral("hvx"),
                                      preset),
                 dir.filePath(QStringLiteral("unit.hvx")));
        answerNext<QFileDialog>([](QFileDialog *dlg) { dlg->reject(); });
        QCOMPARE(dialogs.saveFileName(nullptr, {}, QStringLiteral("hvx"), preset), QString());

        QPrinter printer;
        for (const bool accept : { true, false }) {
            answerNext<QPrintDialog>([accept](QPrintDialog *dlg) { accept ? dlg->accept() : dlg->reject(); });
            QCOMPARE(dialogs.print(nullptr, printer), accept);
        }
    }

    void defaultSuffix_data()
    {
        // clang-format off
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("returned");
        QTest::newRow("no extension") << "/setups/plant" << "/setups/plant.hvx";
        QTest::newRow("dot in a folder only") << "/my.setups/plant" << "/my.setups/plant.hvx";
        QTest::newRow("extension given") << "/setups/plant.hvx" << "/setups/plant.hvx";
        QTest::newRow("upper-case extension") << "/setups/plant.HVX" << "/setups/plant.HVX";
        QTest::newRow("another extension") << "/setups/plant.bak" << "/setups/plant.bak";
        QTest::newRow("trailing dot") << "/setups/plant." << "/setups/plant.";
        QTest::newRow("nothing chosen") << "" << "";
        // clang-format on
    }

    void defaultSuffix()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, returned);
        QCOMPARE(withDefaultSuffix(chosen, QStringLiteral("hvx")), returned);
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs_seam.moc"
