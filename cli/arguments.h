#pragma once
// halvex-eval's command line, parsed once: the options given, their values,
// the operands, and the setup files named in both ways.

#include "filelist.h"

#include <QByteArray>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

namespace hvx {

class Arguments {
public:
    // Parses the arguments (the program's name first, each as the bytes the
    // program was given); false with the reason.
    bool parse(const QList<QByteArray> &arguments, const QList<QCommandLineOption> &options, QString *why);

    bool isSet(const QString &name) const { return m_parser.isSet(name); }
    bool isSet(const char *name) const { return isSet(QLatin1String(name)); }
    QString value(const QString &name) const { return m_parser.value(name); }
    QString value(const char *name) const { return value(QLatin1String(name)); }
    QStringList values(const QString &name) const { return m_parser.values(name); }
    QStringList operands() const { return m_parser.positionalArguments(); }
    bool json() const { return isSet("json"); }

    // Whether setup files are named, as operands or by --files-from, and
    // --null goes with a list; false with the usage problem.
    bool checkFileNames(QString *why) const;
    // The setup files of every command that takes them: the operands, then
    // the names in each --files-from list in turn. False with the reason when
    // a list could not be read (or is no list of names: *fault says which).
    bool gatherFiles(QList<QByteArray> *files, QString *why, ListFault *fault = nullptr) const;

private:
    QCommandLineParser m_parser;
};

// Gathers the setup files as Arguments::gatherFiles does; when a list cannot
// be taken, tells why and gives the exit status (64 for a list that is no
// list of names, 2 for one that cannot be read), else 0.
int gatherFilesOrTell(const Arguments &line, QList<QByteArray> *files);

} // namespace hvx
