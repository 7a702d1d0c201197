#pragma once
// The program's own command-line options, answered before the window system
// is started, so that they work without a display.

#include <cstdio>
#include <optional>

namespace hvx {

// Looks at the leading arguments that start with "--": "--help" and
// "--version" are answered on `out`, any other option is refused on `err`.
// Returns the exit status when the program should end now (0 after an answer,
// 2 for an unknown option), and nothing when it should start the window.
// A leading "--" ends the options and is removed from argv; the arguments
// left name the setup file to open (they are joined by single blanks), so an
// argument is an option only while no file argument came before it.
std::optional<int> answerCommandLine(int &argc, char **argv, std::FILE *out = stdout, std::FILE *err = stderr);

} // namespace hvx
