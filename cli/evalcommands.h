#pragma once
// halvex-eval's commands on setup files and units: the evaluation (the
// report, JSON, PDF sheets), --decode and --verify. Each gives the exit
// status.

namespace hvx {

class Arguments;

int runEvaluate(const Arguments &line);
int runDecode(const Arguments &line);
int runVerify(const Arguments &line);

} // namespace hvx
