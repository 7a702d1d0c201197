#pragma once
// halvex-eval --explain: why each switch position of a setup file is on or off.

namespace hvx {

class Arguments;

// Explains the setup files the command line names, all 48 positions of each,
// bank by bank; with --json one object per position and line. Gives the exit
// status: 0 all evaluated, 1 some setup refused, 2 some file unreadable or
// the output not written.
int runExplain(const Arguments &line);

} // namespace hvx
