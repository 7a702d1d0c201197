#include "pdfoutput.h"

#include "bytenames.h"
#include "displaytext.h"
#include "scratchfolder.h"
#include "wholefile.h"

#include <QApplication>
#include <QFile>

#include <cstdlib>
#include <cstring>

#include <sys/stat.h>

namespace hvx {

bool pdfOutputRequested(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            return false;
        if (std::strcmp(argv[i], "--pdf") == 0 || std::strncmp(argv[i], "--pdf=", 6) == 0)
            return true;
    }
    return false;
}

QCoreApplication *newEvalApplication(int &argc, char **argv, bool pdfOutput)
{
    if (!pdfOutput)
        return new QCoreApplication(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    return new QApplication(argc, argv);
}

namespace {

QByteArray canonicalPath(const QByteArray &path)
{
    char *resolved = ::realpath(path.constData(), nullptr);
    const QByteArray canonical(resolved);
    std::free(resolved);
    return canonical;
}

// While it lives, the system's temporary folder (for this process) is a
// scratch folder of the program's own, which a stopping signal removes with
// what was made in it: the drawing makes scratch files of its own there.
class ScratchTemporaryFolder {
public:
    ScratchTemporaryFolder()
        : m_scratch(QStringLiteral("halvex-eval"))
        , m_hadTmpDir(qEnvironmentVariableIsSet("TMPDIR"))
        , m_tmpDir(qgetenv("TMPDIR"))
    {
        if (m_scratch.isValid())
            qputenv("TMPDIR", QFile::encodeName(m_scratch.path()));
    }
    ~ScratchTemporaryFolder()
    {
        if (m_hadTmpDir)
            qputenv("TMPDIR", m_tmpDir);
        else
            qunsetenv("TMPDIR");
    }
    ScratchTemporaryFolder(const ScratchTemporaryFolder &) = delete;
    ScratchTemporaryFolder &operator=(const ScratchTemporaryFolder &) = delete;

private:
    ScratchFolder m_scratch;
    bool m_hadTmpDir;
    QByteArray m_tmpDir;
};

} // namespace

bool isOneOfTheFiles(const QByteArray &output, const QList<QByteArray> &inputs)
{
    struct stat out;
    const bool outExists = ::stat(output.constData(), &out) == 0;
    const QByteArray outCanonical = canonicalPath(output);
    for (const QByteArray &input : inputs) {
        struct stat in;
        if (outExists && ::stat(input.constData(), &in) == 0 && in.st_dev == out.st_dev && in.st_ino == out.st_ino)
            return true;
        if (!outCanonical.isEmpty() && canonicalPath(input) == outCanonical)
            return true;
    }
    return false;
}

bool writeResultSheetsPdf(const QByteArray &nativePdfPath, const QList<FileReport> &reports, QString *error)
{
    QList<ResultSheet> sheets;
    for (const FileReport &report : reports)
        if (report.status == FileReport::Status::Ok)
            sheets.append(ResultSheet{ report.setup, report.values, QString::fromUtf8(report.fileBytes), QString() });
    return writeSheetsPdf(nativePdfPath, sheetSource(sheets), error);
}

bool writeSheetsPdf(const QByteArray &nativePdfPath, const std::function<bool(ResultSheet *)> &next, QString *error)
{
    const QString shownName = displayText(bytesToText(nativePdfPath));
    // The printing takes names as text; a name that text cannot carry exactly
    // would be written under another name.
    const QString pdfPath = QFile::decodeName(nativePdfPath);
    if (QFile::encodeName(pdfPath) != nativePdfPath) {
        if (error)
            *error = QStringLiteral("%1 could not be created: the name is not UTF-8").arg(shownName);
        return false;
    }
    // Drawn beside it and put in its place in one step: an existing file is
    // replaced only by a complete one, and only a regular file is ever
    // replaced.
    QString why;
    const ScratchTemporaryFolder scratch;
    const qsizetype saved = saveResultSheetsPdf(pdfPath, next, &why);
    if (saved > 0)
        return true;
    if (saved == 0) {
        if (error)
            *error = QStringLiteral("no setup was evaluated, so %1 was not written").arg(shownName);
        return false;
    }
    if (error) // told by the name as the report shows it
        *error = why.replace(pdfPath, shownName);
    return false;
}

} // namespace hvx
