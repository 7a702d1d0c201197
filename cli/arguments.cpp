#include "arguments.h"

#include "bytenames.h"
#include "filelist.h"
#include "reportoutput.h"

namespace hvx {

bool Arguments::parse(const QList<QByteArray> &arguments, const QList<QCommandLineOption> &options, QString *why)
{
    for (const QCommandLineOption &option : options)
        m_parser.addOption(option);
    QStringList texts;
    for (const QByteArray &argument : arguments)
        texts << bytesToText(argument);
    if (m_parser.parse(texts))
        return true;
    *why = m_parser.errorText();
    return false;
}

bool Arguments::checkFileNames(QString *why) const
{
    const bool lists = isSet("files-from");
    if (isSet("null") && !lists)
        *why = QStringLiteral("--null is for a --files-from list");
    else if (operands().isEmpty() && !lists)
        *why = QStringLiteral("no setup file named");
    else
        return true;
    return false;
}

bool Arguments::gatherFiles(QList<QByteArray> *files, QString *why, ListFault *fault) const
{
    for (const QString &file : operands())
        *files << textToBytes(file);
    const bool nullSeparated = isSet("null");
    for (const QString &list : values(QStringLiteral("files-from"))) {
        if (!readFileList(textToBytes(list), nullSeparated, files, why, fault))
            return false;
    }
    return true;
}

int gatherFilesOrTell(const Arguments &line, QList<QByteArray> *files)
{
    QString error;
    ListFault fault = ListFault::None;
    if (line.gatherFiles(files, &error, &fault))
        return ExitOk;
    writeError(error);
    return fault == ListFault::Malformed ? ExitUsage : ExitError;
}

} // namespace hvx
