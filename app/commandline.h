#pragma once
// The program's own command-line options, answered before the window system
// is started, so that they work without a display.

#include <cstdio>
#include <optional>

namespace hvx {

// Looks at the first argument when it starts with "--": "--help" and
// "--version" are answered on `out`, any other option is refused on `err`.
// Returns the exit status when the program should end now (0 after an answer,
// 1 when it could not be written, 2 for an unknown option), and nothing when
// it should start the window. A first argument "--" ends the options and is
// removed from argv. The arguments left name the setup file to open (joined
// by single blanks), so any later argument is part of that name.
std::optional<int> answerCommandLine(int &argc, char **argv, std::FILE *out = stdout, std::FILE *err = stderr);

} // namespace hvx
