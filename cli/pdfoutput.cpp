#include "pdfoutput.h"

#include "switchform_print.h"

#include <QApplication>
#include <QByteArray>

#include <cstring>

namespace hvx {

bool PdfOutputRequested(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            return false;
        if (std::strcmp(argv[i], "--pdf") == 0 || std::strncmp(argv[i], "--pdf=", 6) == 0)
            return true;
    }
    return false;
}

QCoreApplication *NewEvalApplication(int &argc, char **argv, bool pdfOutput)
{
    if (!pdfOutput)
        return new QCoreApplication(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    return new QApplication(argc, argv);
}

bool WriteResultSheetsPdf(const QString &pdfPath, const QList<FileReport> &reports, QString *error)
{
    QList<ResultSheet> sheets;
    for (const FileReport &report : reports)
        if (report.status == FileReport::Status::Ok)
            sheets.append(ResultSheet{ report.setup, report.values, report.file });
    if (sheets.isEmpty()) {
        if (error)
            *error = QStringLiteral("no setup was evaluated, so %1 was not written").arg(pdfPath);
        return false;
    }
    return PrintResultSheetsToPdf(pdfPath, sheets, error);
}

} // namespace hvx
