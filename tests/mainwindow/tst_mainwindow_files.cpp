// The file commands of the main window: the unsaved-changes question on New,
// Open and close, Open, Save, Save As with its overwrite question, failures
// that must lose nothing, the start-up open and a setup that survives a save
// and a reopen.

#include "../support/testfiles.h"
#include "mainwindow_testing.h"

#include "../support/filesizelimit.h"

#include <QWindow>

#include <fstream>
#include <iterator>

#include <sys/stat.h>

using namespace testing;
using hvx::DialogAnswer;
using hvx::Setup;
using testsupport::writeFile;
using Kind = hvx::ScriptedDialogs::Kind;

Q_DECLARE_METATYPE(hvx::DialogAnswer)

namespace {

const QString Plain = QStringLiteral("Halvex Switch Setup");
QString titled(const QString &path) { return Plain + QStringLiteral(" - ") + path; }

Setup sampleSetup()
{
    Setup s;
    s.cbInputType = hvx::TcK;
    s.cbIRTCKJ = 8;
    s.cbIRVoltage = 27; // a range of a type that is not current
    s.eCustomLow = "-1.5";
    s.eCustomHigh = "7";
    s.rgColdJunction = 1;
    s.cbOutputRange = 9;
    s.rgBurnout = 1;
    s.rgDualOutput = 1;
    s.rgDualType = 1; // trip relay: cannot be chosen in the window
    s.cbTripOutput = 3;
    s.rgTripLEDstate = 1;
    s.conversionSpeedShown = true;
    s.rgConversionSpeed = 1;
    return s;
}

// Makes a change in the window, as a user does.
void change(TMainForm &form) { choose(combo(form, "cbInputType"), hvx::Voltage); }

QStringList kinds(const hvx::ScriptedDialogs &script)
{
    QStringList out;
    for (const auto &c : script.calls()) {
        switch (c.kind) {
        case Kind::Message:
            out << "message";
            break;
        case Kind::Question:
            out << "question";
            break;
        case Kind::OpenFile:
            out << "open";
            break;
        case Kind::SaveFile:
            out << "save";
            break;
        case Kind::Folder:
            out << "folder";
            break;
        case Kind::Print:
            out << "print";
            break;
        }
    }
    return out;
}

bool isStartState(TMainForm &form)
{
    return form.setup() == Setup() && form.windowTitle() == Plain && form.SetupFileName().isEmpty() && !form.Modified()
        && shown(form, "cbInputRange");
}

} // namespace

class TestMainWindowFiles : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void newAsksFirst_data();
    void newAsksFirst();
    void newResetsEverything();
    void closeAsksFirst_data();
    void closeAsksFirst();
    void openAsksBeforeTheDialog_data();
    void openAsksBeforeTheDialog();
    void open_data();
    void open();
    void saveAsOverwrite_data();
    void saveAsOverwrite();
    void saveKeepsTitle();
    void saveWithoutFileIsSaveAs();
    void failedSaveLosesNothing_data();
    void failedSaveLosesNothing();
    void saveWithoutRoomLosesNothing_data();
    void saveWithoutRoomLosesNothing();
    void startupOpen_data();
    void startupOpen();
    void namesAsBytes_data();
    void namesAsBytes();
    void roundTrip();
    void choiceWithoutButton();
    void dualAnalogCaptionsAfterOpen();
    void sevenCharacterCustomText_data();
    void sevenCharacterCustomText();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir; // a fresh folder for every test and row
};

void TestMainWindowFiles::newAsksFirst_data()
{
    QTest::addColumn<bool>("withFile");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QList<DialogAnswer>>("answers");
    QTest::addColumn<bool>("cancelSaveDialog");
    QTest::addColumn<QString>("question");
    QTest::addColumn<bool>("reset");
    QTest::addColumn<bool>("saved");
    const QString noFile = "Switch setup has changed - Save changes ?";
    QTest::newRow("unchanged") << false << false << QList<DialogAnswer>{} << false << QString() << true << false;
    QTest::newRow("no file, No") << false << true << QList<DialogAnswer>{ DialogAnswer::No } << false << noFile << true
                                 << false;
    QTest::newRow("no file, Cancel") << false << true << QList<DialogAnswer>{ DialogAnswer::Cancel } << false << noFile
                                     << false << false;
    QTest::newRow("no file, Yes, save dialog cancelled")
        << false << true << QList<DialogAnswer>{ DialogAnswer::Yes } << true << noFile << false << false;
    QTest::newRow("no file, Yes, saved") << false << true << QList<DialogAnswer>{ DialogAnswer::Yes } << false << noFile
                                         << true << true;
    QTest::newRow("file, Yes") << true << true << QList<DialogAnswer>{ DialogAnswer::Yes } << false << "<file>" << true
                               << true;
    QTest::newRow("file, Cancel") << true << true << QList<DialogAnswer>{ DialogAnswer::Cancel } << false << "<file>"
                                  << false << false;
}

void TestMainWindowFiles::newAsksFirst()
{
    QFETCH(bool, withFile);
    QFETCH(bool, changed);
    QFETCH(QList<DialogAnswer>, answers);
    QFETCH(bool, cancelSaveDialog);
    QFETCH(QString, question);
    QFETCH(bool, reset);
    QFETCH(bool, saved);
    const QString file = path("current.hvx");
    const QString saveAsTarget = path("saved-as.hvx");
    QFile::remove(file);
    QFile::remove(saveAsTarget);
    if (withFile)
        writeSetup(file, sampleSetup());
    Fixture f(withFile ? QStringList{ file } : QStringList());
    TMainForm &form = f.form;
    if (changed)
        change(form);
    const Setup before = form.setup();
    const QByteArray fileBefore = fileBytes(file);

    for (DialogAnswer a : answers)
        f.script().queueAnswer(a);
    if (!withFile && !cancelSaveDialog)
        f.script().queueSaveFile(saveAsTarget);
    QTest::mouseClick(child<QToolButton>(form, "sbNew"), Qt::LeftButton);

    if (question.isEmpty()) {
        QCOMPARE(f.script().calls().size(), size_t(0));
    } else {
        const auto &q = f.script().calls().front();
        QCOMPARE(q.kind, Kind::Question);
        QCOMPARE(q.title, QStringLiteral("Confirm"));
        QCOMPARE(q.icon, hvx::DialogIcon::Question);
        QCOMPARE(q.text, question == "<file>" ? file + " has changed - Save changes ?" : question);
    }
    QCOMPARE(isStartState(form), reset);
    if (!reset) {
        QCOMPARE(form.setup(), before);
        QVERIFY(form.Modified());
    }
    if (saved) {
        Setup onDisk;
        QCOMPARE(hvx::loadSetupFile(withFile ? file : saveAsTarget, onDisk), hvx::LoadStatus::Ok);
        QCOMPARE(onDisk, before);
    } else {
        QCOMPARE(fileBytes(file), fileBefore);
        QVERIFY(!QFile::exists(saveAsTarget));
    }
    QCOMPARE(f.script().unexpectedCalls(), cancelSaveDialog ? 1 : 0);
}

void TestMainWindowFiles::newResetsEverything()
{
    const QString file = writeSetup(path("full.hvx"), sampleSetup());
    Fixture f({ file });
    TMainForm &form = f.form;
    QVERIFY(shown(form, "pTripOutput2"));
    QVERIFY(shown(form, "rgConversionSpeed"));
    f.form.findChild<QAction *>("New1")->trigger();
    QVERIFY(isStartState(form));
    QCOMPARE(captions(form, "rgBurnout"), (QStringList{ "High Burnout", "Low Burnout" }));
    QCOMPARE(captions(form, "rgBurnout2"), (QStringList{ "High Burnout", "Low Burnout" }));
    for (const char *hidden : { "pTripOutput2", "pOutput2", "rgConversionSpeed", "rgLinearisation", "rgColdJunction",
                                "cbIRTCKJ", "eCustomLow" })
        QVERIFY2(!shown(form, hidden), hidden);
    QVERIFY(shown(form, "rgSquareRoot"));
    QCOMPARE(child<QLineEdit>(form, "eCustomLow")->text(), QString());
}

void TestMainWindowFiles::closeAsksFirst_data()
{
    QTest::addColumn<DialogAnswer>("answer");
    QTest::addColumn<bool>("closes");
    QTest::newRow("No closes without saving") << DialogAnswer::No << true;
    QTest::newRow("Cancel keeps the window") << DialogAnswer::Cancel << false;
    QTest::newRow("Yes, save dialog cancelled, keeps the window") << DialogAnswer::Yes << false;
}

void TestMainWindowFiles::closeAsksFirst()
{
    QFETCH(DialogAnswer, answer);
    QFETCH(bool, closes);
    Fixture f;
    change(f.form);
    f.script().queueAnswer(answer);
    const Setup before = f.form.setup();
    f.form.findChild<QAction *>("Exit1")->trigger();
    QCOMPARE(f.form.isVisible(), !closes);
    QCOMPARE(f.form.setup(), before);
    QCOMPARE(f.form.Modified(), true);
    const QStringList expected = answer == DialogAnswer::Yes ? QStringList{ "question", "save" }
                                                             : QStringList{ "question" };
    QCOMPARE(kinds(f.script()), expected);

    // An unchanged setup closes without a question, also after an evaluation.
    Fixture g;
    QTest::mouseClick(child<QToolButton>(g.form, "sbShowResults"), Qt::LeftButton);
    QVERIFY(g.form.close());
    QCOMPARE(g.script().calls().size(), size_t(0));
}

void TestMainWindowFiles::openAsksBeforeTheDialog_data()
{
    QTest::addColumn<DialogAnswer>("answer");
    QTest::addColumn<QStringList>("asked");
    QTest::newRow("Cancel ends Open") << DialogAnswer::Cancel << QStringList{ "question" };
    QTest::newRow("No goes on unsaved") << DialogAnswer::No << QStringList{ "question", "open" };
    QTest::newRow("Yes saves, then goes on") << DialogAnswer::Yes << QStringList{ "question", "save", "open" };
}

void TestMainWindowFiles::openAsksBeforeTheDialog()
{
    QFETCH(DialogAnswer, answer);
    QFETCH(QStringList, asked);
    const QString next = writeSetup(path("next.hvx"), sampleSetup());
    Fixture f;
    change(f.form);
    f.script().queueAnswer(answer);
    f.script().queueSaveFile(path("saved.hvx"));
    f.script().queueOpenFile(next);
    QTest::mouseClick(child<QToolButton>(f.form, "sbOpen"), Qt::LeftButton);
    QCOMPARE(kinds(f.script()), asked);
    QCOMPARE(f.form.Modified(), answer == DialogAnswer::Cancel);
    QCOMPARE(f.form.SetupFileName(), answer == DialogAnswer::Cancel ? QString() : next);
    QCOMPARE(QFile::exists(path("saved.hvx")), answer == DialogAnswer::Yes);
}

void TestMainWindowFiles::open_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // empty: no file of that name
    QTest::addColumn<QString>("message");    // empty: opened
    const QByteArray good = hvx::setupFileBytes(sampleSetup());
    QTest::newRow("setup file") << "good.hvx" << good << QString();
    QTest::newRow("text file") << "notes.txt" << QByteArray("just some text\n") << " is not an HALVEX Switch File";
    QTest::newRow("cut short") << "short.hvx" << good.left(200) << " is not an HALVEX Switch File";
    QTest::newRow("signature only") << "sig.hvx" << hvx::setupSignature() << " is not an HALVEX Switch File";
    QTest::newRow("missing") << "missing.hvx" << QByteArray() << " could not be opened.";
    QTest::newRow("folder") << "folder.hvx" << QByteArray("<dir>") << " could not be opened.";
    QTest::newRow("fifo") << "fifo.hvx" << QByteArray("<fifo>") << " could not be opened.";
}

void TestMainWindowFiles::open()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    const QString file = path(name);
    if (content == "<dir>") {
        QVERIFY(QDir().mkpath(file));
    } else if (content == "<fifo>") {
        QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    } else if (!content.isEmpty()) {
        writeFile(file, content);
    }
    // Start from another opened file, so that a failure must leave its state alone.
    Setup other;
    other.cbInputType = hvx::RtdPt100;
    other.cbIRRTD = 2;
    const QString otherFile = writeSetup(path("other.hvx"), other);
    Fixture f({ otherFile });
    f.script().queueOpenFile(file);
    f.form.findChild<QAction *>("Open1")->trigger();

    QCOMPARE(f.script().calls().front().kind, Kind::OpenFile);
    QCOMPARE(f.script().calls().front().filters.value(0), QStringLiteral("Halvex File (*.hvx)"));
    QCOMPARE(f.script().calls().front().filters.size(), 2);
    QCOMPARE(f.script().calls().front().defaultSuffix, QStringLiteral("hvx"));
    if (message.isEmpty()) {
        QCOMPARE(f.script().calls().size(), size_t(1));
        QCOMPARE(f.form.setup(), sampleSetup());
        QCOMPARE(f.form.windowTitle(), titled(file));
        QCOMPARE(f.form.SetupFileName(), file);
        QVERIFY(!f.form.Modified());
        QVERIFY(shown(f.form, "pTripOutput2"));
        QCOMPARE(captions(f.form, "rgBurnout"), (QStringList{ "High Burnout 23mA", "Low Burnout 2mA" }));
    } else {
        QCOMPARE(kinds(f.script()), (QStringList{ "open", "message" }));
        QCOMPARE(f.script().calls().back().title, QStringLiteral("Halvex"));
        QCOMPARE(f.script().calls().back().text, file + message);
        QCOMPARE(f.form.setup(), other);
        QCOMPARE(f.form.windowTitle(), titled(otherFile));
        QVERIFY(!f.form.Modified());
        QVERIFY(shown(f.form, "rgRTDType"));
    }
}

void TestMainWindowFiles::saveAsOverwrite_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QList<DialogAnswer>>("answers");
    QTest::addColumn<int>("dialogs"); // save dialogs shown
    QTest::addColumn<bool>("written");
    QTest::newRow("new file") << false << QList<DialogAnswer>{} << 1 << true;
    QTest::newRow("overwrite Yes") << true << QList<DialogAnswer>{ DialogAnswer::Yes } << 1 << true;
    QTest::newRow("overwrite No, then cancelled") << true << QList<DialogAnswer>{ DialogAnswer::No } << 2 << false;
    QTest::newRow("overwrite No, then Yes")
        << true << QList<DialogAnswer>{ DialogAnswer::No, DialogAnswer::Yes } << 2 << true;
    QTest::newRow("overwrite Cancel") << true << QList<DialogAnswer>{ DialogAnswer::Cancel } << 1 << false;
}

void TestMainWindowFiles::saveAsOverwrite()
{
    QFETCH(bool, exists);
    QFETCH(QList<DialogAnswer>, answers);
    QFETCH(int, dialogs);
    QFETCH(bool, written);
    const QString current = writeSetup(path("current.hvx"), sampleSetup());
    const QString target = path("target.hvx");
    QFile::remove(target);
    if (exists)
        writeFile(target, "old content");
    Fixture f({ current });
    change(f.form);
    const Setup changed = f.form.setup();
    for (DialogAnswer a : answers)
        f.script().queueAnswer(a);
    for (int i = 0; i < dialogs; ++i)
        if (written || i + 1 < dialogs || answers.endsWith(DialogAnswer::Cancel))
            f.script().queueSaveFile(target);
    f.form.findChild<QAction *>("SaveAs1")->trigger();

    int saveDialogs = 0;
    for (const auto &c : f.script().calls()) {
        if (c.kind == Kind::SaveFile) {
            ++saveDialogs;
            QCOMPARE(c.text, current); // preset with the current file each time
            QCOMPARE(c.filters, QStringList{ "Halvex File (*.hvx)" });
            QCOMPARE(c.defaultSuffix, QStringLiteral("hvx"));
        } else {
            QCOMPARE(c.kind, Kind::Question);
            QCOMPARE(c.title, QStringLiteral("Warning"));
            QCOMPARE(c.icon, hvx::DialogIcon::Warning);
            QCOMPARE(c.text, target + " already exists. Overwrite it?");
        }
    }
    QCOMPARE(saveDialogs, dialogs);
    QCOMPARE(f.form.SaveAbandoned(), !written);
    QCOMPARE(f.form.Modified(), !written);
    QCOMPARE(f.form.SetupFileName(), written ? target : current);
    QCOMPARE(f.form.windowTitle(), titled(written ? target : current));
    if (written)
        QCOMPARE(fileBytes(target), hvx::setupFileBytes(changed));
    else if (exists)
        QCOMPARE(fileBytes(target), QByteArray("old content"));
    QCOMPARE(fileBytes(current), hvx::setupFileBytes(sampleSetup()));
}

void TestMainWindowFiles::saveKeepsTitle()
{
    const QString current = writeSetup(path("current.hvx"), sampleSetup());
    Fixture f({ current });
    change(f.form);
    QTest::mouseClick(child<QToolButton>(f.form, "sbSave"), Qt::LeftButton);
    QCOMPARE(f.script().calls().size(), size_t(0)); // Save asks nothing
    QVERIFY(!f.form.Modified());
    QCOMPARE(f.form.windowTitle(), titled(current));
    QCOMPARE(fileBytes(current), hvx::setupFileBytes(f.form.setup()));
}

void TestMainWindowFiles::saveWithoutFileIsSaveAs()
{
    Fixture f;
    change(f.form);
    const QString target = path("first.hvx");
    QFile::remove(target);
    f.script().queueSaveFile(target);
    f.form.findChild<QAction *>("Save1")->trigger();
    QCOMPARE(kinds(f.script()), QStringList{ "save" });
    QCOMPARE(f.script().calls().front().text, QString()); // no file yet: nothing to preset
    QCOMPARE(f.form.windowTitle(), titled(target));
    QCOMPARE(fileBytes(target), hvx::setupFileBytes(f.form.setup()));
    // The next Save goes to that file without asking.
    choose(combo(f.form, "cbIRVoltage"), 2);
    f.form.findChild<QAction *>("Save1")->trigger();
    QCOMPARE(kinds(f.script()), QStringList{ "save" });
    QCOMPARE(fileBytes(target), hvx::setupFileBytes(f.form.setup()));
}

void TestMainWindowFiles::failedSaveLosesNothing_data()
{
    // clang-format off
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("target"); // relative to the test folder
    QTest::addColumn<QList<DialogAnswer>>("answers");
    QTest::newRow("Save As into a missing folder") << "SaveAs1" << "no-such-folder/x.hvx" << QList<DialogAnswer>{};
    QTest::newRow("Save As into a file as folder") << "SaveAs1" << "plain-file/x.hvx" << QList<DialogAnswer>{};
    QTest::newRow("Save As over a folder") << "SaveAs1" << "a-folder" << QList<DialogAnswer>{ DialogAnswer::Yes };
    QTest::newRow("Save after the folder went away") << "Save1" << QString() << QList<DialogAnswer>{};
    // clang-format on
}

void TestMainWindowFiles::failedSaveLosesNothing()
{
    QFETCH(QString, command);
    QFETCH(QString, target);
    QFETCH(QList<DialogAnswer>, answers);
    QVERIFY(QDir().mkpath(path("a-folder/inside")));
    writeSetup(path("plain-file"), Setup());
    QVERIFY(QDir().mkpath(path("going")));
    const QString current = writeSetup(path("going/current.hvx"), sampleSetup());

    Fixture f({ current });
    change(f.form);
    const Setup changed = f.form.setup();
    if (command == "Save1")
        QVERIFY(QDir(path("going")).removeRecursively());
    else
        f.script().queueSaveFile(path(target));
    for (DialogAnswer a : answers)
        f.script().queueAnswer(a);
    f.form.findChild<QAction *>(command)->trigger();

    QCOMPARE(kinds(f.script()).constLast(), QStringLiteral("message"));
    QCOMPARE(f.script().calls().back().text, QStringLiteral("File could not be saved."));
    QCOMPARE(f.script().calls().back().title, QStringLiteral("Halvex"));
    QVERIFY(f.form.SaveAbandoned());
    QVERIFY(f.form.Modified());
    QCOMPARE(f.form.SetupFileName(), current);
    QCOMPARE(f.form.windowTitle(), titled(current));
    QCOMPARE(f.form.setup(), changed);
    QVERIFY(QFileInfo(path("a-folder/inside")).isDir());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{ "plain-file" }); // no temporary left over
}

void TestMainWindowFiles::saveWithoutRoomLosesNothing_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("Save") << "Save1";
    QTest::newRow("Save As") << "SaveAs1";
}

// The file is created but cannot be written whole: no room for its bytes.
void TestMainWindowFiles::saveWithoutRoomLosesNothing()
{
    QFETCH(QString, command);
    const QString current = writeSetup(path("plant.hvx"), sampleSetup());
    Fixture f({ current });
    change(f.form);
    if (command == "SaveAs1")
        f.script().queueSaveFile(path("new.hvx"));
    {
        testsupport::FileSizeLimit limit(100);
        QVERIFY(limit.isSet());
        f.form.findChild<QAction *>(command)->trigger();
    }

    QVERIFY(!f.script().calls().empty());
    QCOMPARE(kinds(f.script()).constLast(), QStringLiteral("message"));
    QCOMPARE(f.script().calls().back().text, QStringLiteral("File could not be saved."));
    QVERIFY(f.form.SaveAbandoned());
    QVERIFY(f.form.Modified());
    QCOMPARE(f.form.windowTitle(), titled(current));
    QCOMPARE(fileBytes(current), hvx::setupFileBytes(sampleSetup()));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{ "plant.hvx" });
}

void TestMainWindowFiles::startupOpen_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("opened");  // the joined path when it opens
    QTest::addColumn<QString>("message"); // shown before the window
    QTest::newRow("setup file") << QStringList{ "<dir>/My Setups/a.hvx" } << "<dir>/My Setups/a.hvx" << QString();
    QTest::newRow("path in two pieces") << QStringList{ "<dir>/My", "Setups/a.hvx" } << "<dir>/My Setups/a.hvx"
                                        << QString();
    QTest::newRow("folder with [*] in its name")
        << QStringList{ "<dir>/Set[*]ups/a.hvx" } << "<dir>/Set[*]ups/a.hvx" << QString();
    QTest::newRow("missing file") << QStringList{ "<dir>/nothing.hvx" } << QString() << QString();
    QTest::newRow("not a setup file") << QStringList{ "<dir>/My Setups/readme.txt" } << QString()
                                      << "<dir>/My Setups/readme.txt is not an HALVEX Switch File";
}

void TestMainWindowFiles::startupOpen()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, opened);
    QFETCH(QString, message);
    QVERIFY(QDir().mkpath(path("My Setups")));
    writeSetup(path("My Setups/a.hvx"), sampleSetup());
    QVERIFY(QDir().mkpath(path("Set[*]ups")));
    writeSetup(path("Set[*]ups/a.hvx"), sampleSetup());
    writeFile(path("My Setups/readme.txt"), "HALVEX but not a setup");
    for (QString &a : arguments)
        a.replace("<dir>", m_dir->path());
    opened.replace("<dir>", m_dir->path());
    message.replace("<dir>", m_dir->path());

    Fixture f(arguments);
    QVERIFY(!f.form.Modified());
    if (opened.isEmpty()) {
        QVERIFY(isStartState(f.form));
    } else {
        QCOMPARE(f.form.setup(), sampleSetup());
        QCOMPARE(f.form.windowHandle()->title(), titled(opened)); // as the title bar shows it
        QCOMPARE(f.form.SetupFileName(), opened);
        QVERIFY(shown(f.form, "cbIRTCKJ"));
        QVERIFY(shown(f.form, "rgColdJunction"));
    }
    QCOMPARE(kinds(f.script()), message.isEmpty() ? QStringList() : QStringList{ "message" });
    if (!message.isEmpty())
        QCOMPARE(f.script().calls().front().text, message);
}

// A setup file named on the command line opens whatever bytes its name
// holds. Save writes back under a name only when the window holds it
// exactly; otherwise it asks for one rather than write another file.
void TestMainWindowFiles::namesAsBytes_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("saveAsks");
    QTest::newRow("UTF-8") << QByteArray("caf\xc3\xa9 plant.hvx") << false;
    QTest::newRow("Latin-1") << QByteArray("caf\xe9 plant.hvx") << true;
    QTest::newRow("cut UTF-8 sequence") << QByteArray("caf\xc3 plant.hvx") << true;
}

void TestMainWindowFiles::namesAsBytes()
{
    QFETCH(QByteArray, name);
    QFETCH(bool, saveAsks);
    const QByteArray native = QFile::encodeName(m_dir->path()) + '/' + name;
    const QByteArray bytes = hvx::setupFileBytes(sampleSetup());
    QVERIFY(std::ofstream(native.constData(), std::ios::binary).write(bytes.constData(), bytes.size()));

    Fixture f(QByteArrayList{ native.left(native.indexOf(' ')), native.mid(native.indexOf(' ') + 1) });
    QCOMPARE(f.form.setup(), sampleSetup());
    QCOMPARE(f.form.SetupFileName(), QFile::decodeName(native));
    QCOMPARE(f.form.windowTitle(), titled(QFile::decodeName(native)));

    change(f.form);
    f.form.Save1Click(); // the save dialog, unanswered, is cancelled
    QCOMPARE(kinds(f.script()), saveAsks ? QStringList{ "save" } : QStringList());
    QCOMPARE(f.form.Modified(), saveAsks);
    // The file keeps its bytes, or has the new ones; no file under the
    // name as shown was made.
    std::ifstream file(native.constData(), std::ios::binary);
    QCOMPARE(QByteArray::fromStdString(std::string(std::istreambuf_iterator<char>(file), {})),
             saveAsks ? bytes : hvx::setupFileBytes(f.form.setup()));
    QCOMPARE(QFile::exists(f.form.SetupFileName()), !saveAsks);
}

void TestMainWindowFiles::roundTrip()
{
    // Made through the controls, then saved, cleared and opened again.
    const QString dualFile = writeSetup(path("frequency.hvx"), [] {
        Setup s;
        s.rgDualOutput = 1;
        s.rgDualType = 2;
        return s;
    }());
    Fixture f({ dualFile });
    TMainForm &form = f.form;
    QVERIFY(shown(form, "pFreqOutput2"));
    choose(combo(form, "cbFreqOutputRange"), 14);
    click(radio(form, "rgFreqBurnout", 1));
    choose(combo(form, "cbInputType"), hvx::Voltage);
    choose(combo(form, "cbIRVoltage"), 27);
    QTest::keyClicks(child<QLineEdit>(form, "eCustomLow"), "-2,5");
    QTest::keyClicks(child<QLineEdit>(form, "eCustomHigh"), "12");
    choose(combo(form, "cbInputType"), hvx::RtdPt1000);
    choose(combo(form, "cbIRRTD"), 5);
    click(radio(form, "rgRTDType", 2));
    click(radio(form, "rgLinearisation", 1));
    choose(combo(form, "cbOutputRange"), 7);
    combo(form, "cbInputType")->setFocus();
    QTest::keyClick(combo(form, "cbInputType"), Qt::Key_F2, Qt::AltModifier);
    click(radio(form, "rgConversionSpeed", 1));
    const Setup made = form.setup();
    QCOMPARE(made.rgDualType, 2);
    QCOMPARE(made.cbIRVoltage, 27);

    const QString file = path("round trip.hvx");
    QFile::remove(file);
    f.script().queueSaveFile(file);
    form.SaveAs1Click();
    form.New1Click();
    QVERIFY(isStartState(form));
    f.script().queueOpenFile(file);
    form.Open1Click();
    QCOMPARE(form.setup(), made);
    QVERIFY(shown(form, "pFreqOutput2"));
    QVERIFY(shown(form, "rgConversionSpeed"));
    QVERIFY(shown(form, "rgRTDType"));
    QCOMPARE(captions(form, "rgBurnout"), (QStringList{ "High Burnout 11.5V", "Low Burnout 1V" }));
    QCOMPARE(f.script().unexpectedCalls(), 0);
}

void TestMainWindowFiles::choiceWithoutButton()
{
    Setup s;
    s.rgInversion = -1;
    s.rgTripRelativeTo = -1;
    const QString file = writeSetup(path("no-button.hvx"), s);
    Fixture f({ file });
    QCOMPARE(checkedIndex(f.form, "rgInversion", 2), -1);
    QCOMPARE(f.form.setup(), s);
    // The user can still pick one, and the group stays one-of-many.
    click(radio(f.form, "rgInversion", 1));
    click(radio(f.form, "rgInversion", 0));
    QCOMPARE(checkedIndex(f.form, "rgInversion", 2), 0);
    QVERIFY(!radio(f.form, "rgInversion", 1)->isChecked());
}

void TestMainWindowFiles::dualAnalogCaptionsAfterOpen()
{
    // Each output's burnout captions name the levels of its own opened range.
    Setup s;
    s.rgDualOutput = 1;
    s.cbOutputRange = 9;  // 4 to 20 mA sink
    s.cbOutputRange2 = 7; // 2 to 10 V source
    const QString file = writeSetup(path("dual analog.hvx"), s);
    Fixture f;
    f.script().queueOpenFile(file);
    f.form.findChild<QAction *>("Open1")->trigger();
    QCOMPARE(captions(f.form, "rgBurnout"), (QStringList{ "High Burnout 23mA", "Low Burnout 2mA" }));
    QCOMPARE(captions(f.form, "rgBurnout2"), (QStringList{ "High Burnout 11.5V", "Low Burnout 1V" }));
}

void TestMainWindowFiles::sevenCharacterCustomText_data()
{
    QTest::addColumn<QByteArray>("high"); // 7 bytes, no terminating zero
    QTest::newRow("fits a wider range whole") << QByteArray("5.00001");
    QTest::newRow("over the limit whole") << QByteArray("40.0001");
}

void TestMainWindowFiles::sevenCharacterCustomText()
{
    // A damaged file fills both text fields without a terminating zero; the
    // window evaluates the texts as the file holds them, as the model does.
    QFETCH(QByteArray, high);
    Setup s;
    s.cbInputType = hvx::Voltage;
    s.cbIRVoltage = 27; // Custom
    s.cbOutputRange = 1;
    QByteArray bytes = hvx::setupFileBytes(s);
    bytes.replace(136, 7, "0.00000");
    bytes.replace(143, 7, high);
    const QString file = path("seven.hvx");
    writeFile(file, bytes);
    Setup loaded;
    QCOMPARE(hvx::loadSetupFile(file, loaded), hvx::LoadStatus::Ok);
    QCOMPARE(loaded.eCustomHigh, QString::fromLatin1(high));
    hvx::EvaluationValues expected;
    const hvx::EvaluationOutcome outcome = hvx::Evaluate(loaded, expected);

    Fixture f;
    f.script().queueOpenFile(file);
    f.form.findChild<QAction *>("Open1")->trigger();
    QCOMPARE(f.form.setup(), loaded);
    QTest::mouseClick(child<QToolButton>(f.form, "sbShowResults"), Qt::LeftButton);
    QCOMPARE(info(f.form), outcome.status);
    QCOMPARE(f.form.evaluationValues().RangeIndex, expected.RangeIndex);
    QVERIFY(f.form.evaluationValues().map == expected.map);

    // Typing cannot make the text longer; once shorter, it stops at 6 again.
    QLineEdit *edit = child<QLineEdit>(f.form, "eCustomHigh");
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClick(edit, '9');
    QCOMPARE(edit->text(), QString::fromLatin1(high));
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, "789");
    QCOMPARE(edit->text(), QString::fromLatin1(high.left(5) + "7"));
}

QTEST_MAIN(TestMainWindowFiles)
#include "tst_mainwindow_files.moc"
