#pragma once
// Input encoders: set banks S1 and S2 for the input side. Each returns 0 when
// it has written its switches, -1 when it refused the input (the message of a
// refused custom range is then in the context's outcome). What each input
// type turns on is read from its row of the input type table.

#include "evaluation.h"

namespace hvx {

// Input types 0 to 5.
int EvaluateLinearInput(EvaluationContext &ctx);
// Thermocouples, input types 6 to 13.
int EvaluateThermocoupleInput(EvaluationContext &ctx);
// RTD PT100 and PT1000, input types 14 and 15.
int EvaluateRtdInput(EvaluationContext &ctx);

// The range encoder of every input type with a range list: settles
// RangeIndex from the type's list (a listed range, or a custom range fitted
// to one), writes its range code on S1 positions 1 to 4 and the further
// positions of that range.
int EncodeInputRange(EvaluationContext &ctx);
// Potentiometer 3 wire: one fixed range, no range code, RangeIndex unsettled.
void EncodePot3Wire(EvaluationContext &ctx);

} // namespace hvx
