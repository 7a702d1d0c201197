#pragma once
// halvex-eval --explain: why each switch position of a setup file is on or off.

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>

namespace hvx {

QCommandLineOption explainOption();
QString explainHelp();

// Explains the setup files named as the parser's positional arguments, all 48
// positions of each, bank by bank; with json one object per position and
// line. Returns the exit status: 0 all evaluated, 1 some setup refused, 2 some
// file unreadable or the output not written, 64 a usage error.
int runExplain(const QCommandLineParser &parser, bool json);

} // namespace hvx
