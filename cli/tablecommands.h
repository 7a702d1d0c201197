#pragma once
// halvex-eval's table commands: a whole plant in one table that spreadsheets
// open and write.
//   --csv FILE...                  the table of the given setup files
//   --make TABLE --into DIR        one setup file per row of the table
//   --verify-table UNITS           each unit's switches against its file

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace hvx {

// The options of the table commands, and the help of each (one text per
// option, lines separated by line feeds).
QList<QCommandLineOption> tableOptions();
QStringList tableOptionHelp();

// Whether the parsed command line asks for a table command.
bool isTableCommand(const QCommandLineParser &parser);
// Runs the table command the command line asks for and gives its exit
// status; nothing when it asks for none. Usage errors are told here.
std::optional<int> runTableCommand(const QCommandLineParser &parser);

// The closing help text of the table commands.
QString tableHelpText();

} // namespace hvx
