#pragma once
// halvex-eval's commands and options, each once, in the order --help lists
// them. A command is an entry that runs; the others are options that some
// commands go with. The command line is parsed once, one command is chosen
// (the evaluation when none is named), its options and operands are checked
// against its entry, and it runs.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace hvx {

class Arguments;

// What a command takes after its options.
enum class Operands {
    Files, // setup files, as operands or by --files-from (gathered by Arguments)
    None,  // nothing: a table names the files
    Own,   // its own operands, which it reads itself
};

struct CliEntry {
    QStringList names; // the evaluation, chosen when no command is named, has none
    QString valueName; // empty: the option takes no value
    QString help;      // lines separated by line feeds; an entry without help is not listed
    QString ifEmpty;   // the usage problem when the option's value is empty

    // Commands only.
    int (*run)(const Arguments &) = nullptr; // gives the exit status
    QStringList takes;                       // the options the command goes with
    Operands operands = Operands::None;
    bool overrides = false; // runs whatever else is given (--help, --version)
    QString rivals;         // the commands it excludes, as a usage problem names them
    // The usage problem of an option the command does not take.
    QString (*refusal)(const QString &option, const QString &command) = nullptr;

    bool isCommand() const { return run != nullptr; }
    QString name() const { return names.isEmpty() ? QString() : names.last(); }
};

const QList<CliEntry> &cliTable();

// Parses the arguments (the program's name first), chooses the command and
// runs it; gives the program's exit status.
int runCommandLine(const QList<QByteArray> &arguments);

} // namespace hvx
