// The installed desktop integration: run against the tree that
// `cmake --install` stages, with the desktop's data folders pointed at it.
// A setup file is recognised by its name and by its first bytes, and the menu
// entry names that type, the program and an installed icon; the software
// centre's metadata names that entry and type; both programs come with their
// manual pages.

#include "../support/testfiles.h"
#include "setupfile.h"

#include <QFile>
#include <QMimeDatabase>
#include <QSettings>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

using testsupport::writeFile;

namespace {
QString stage() { return qEnvironmentVariable("HALVEX_STAGE"); }
const QString SetupType = QStringLiteral("application/x-halvex-setup");
const QString AppId = QStringLiteral("com.halvex.switchsetup");
} // namespace

class TestAppInstall : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(QFileInfo(stage()).isDir(), "the install step has not run"); }
    void setupFileType_data();
    void setupFileType();
    void desktopEntry();
    void metadata();
    void evaluatorAndManualPages();
};

void TestAppInstall::setupFileType_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("isSetup");
    const QByteArray setup = hvx::setupFileBytes(hvx::Setup());
    QTest::newRow("setup file") << "plant.hvx" << setup << true;
    QTest::newRow("setup file under another name") << "plant.backup" << setup << true;
    QTest::newRow("other file") << "plant.backup" << QByteArray("HALVEX SWITCH notes\n") << false;
}

void TestAppInstall::setupFileType()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(bool, isSetup);
    QTemporaryDir dir;
    writeFile(dir.filePath(name), content);
    const QMimeType type = QMimeDatabase().mimeTypeForFile(dir.filePath(name));
    QCOMPARE(type.name() == SetupType, isSetup);
    if (isSetup)
        QVERIFY(QMimeDatabase().mimeTypeForName(SetupType).globPatterns().contains("*.hvx"));
}

void TestAppInstall::desktopEntry()
{
    QSettings entry(stage() + "/share/applications/" + AppId + ".desktop", QSettings::IniFormat);
    entry.beginGroup("Desktop Entry");
    QCOMPARE(entry.value("Type").toString(), QStringLiteral("Application"));
    QVERIFY(entry.value("MimeType").toString().split(';').contains(SetupType));
    const QStringList exec = entry.value("Exec").toString().split(' ');
    QVERIFY(QFileInfo(stage() + "/bin/" + exec.value(0)).isExecutable());
    QCOMPARE(exec.value(1), QStringLiteral("%f")); // the file the user opened
    QVERIFY(QFile::exists(stage() + "/share/icons/hicolor/scalable/apps/" + entry.value("Icon").toString() + ".svg"));
}

void TestAppInstall::metadata()
{
    QFile file(stage() + "/share/metainfo/" + AppId + ".metainfo.xml");
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QStringList id, launchable, mediatype;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("id"))
            id << xml.readElementText();
        else if (xml.name() == QLatin1String("launchable"))
            launchable << xml.readElementText();
        else if (xml.name() == QLatin1String("mediatype"))
            mediatype << xml.readElementText();
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(id, QStringList{ AppId });
    QCOMPARE(launchable, QStringList{ AppId + ".desktop" });
    QVERIFY(QFile::exists(stage() + "/share/applications/" + launchable.value(0)));
    QCOMPARE(mediatype, QStringList{ SetupType });
}

void TestAppInstall::evaluatorAndManualPages()
{
    for (const QString &program : { QStringLiteral("halvex"), QStringLiteral("halvex-eval") }) {
        QVERIFY2(QFileInfo(stage() + "/bin/" + program).isExecutable(), qPrintable(program));
        QFile page(stage() + "/share/man/man1/" + program + ".1.gz");
        QVERIFY2(page.open(QIODevice::ReadOnly), qPrintable(page.fileName()));
        QCOMPARE(page.read(2), QByteArray("\x1f\x8b")); // gzip
    }
}

QTEST_GUILESS_MAIN(TestAppInstall)
#include "tst_app_install.moc"
