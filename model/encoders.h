#pragma once
// Input encoders: set banks S1 and S2 for the input side. Each returns 0 when
// it has written its switches, -1 when it refused a custom range (the message
// is then in the context's outcome).

#include "evaluation.h"

namespace hvx {

int EvaluateLinearInput(EvaluationContext &ctx);
int EncodeVoltage(EvaluationContext &ctx);
int EncodeCurrentSink(EvaluationContext &ctx);
int EncodeTxCurrent(EvaluationContext &ctx);
int EncodeMilliVolt(EvaluationContext &ctx);
int EncodePot2Wire(EvaluationContext &ctx);
void EncodePot3Wire(EvaluationContext &ctx);

int EvaluateThermocoupleInput(EvaluationContext &ctx);
int EvaluateRtdInput(EvaluationContext &ctx);
int EncodeThermocoupleKJ(EvaluationContext &ctx);
int EncodeThermocoupleRS(EvaluationContext &ctx);
int EncodeThermocoupleNE(EvaluationContext &ctx);
int EncodeThermocoupleB(EvaluationContext &ctx);
int EncodeThermocoupleT(EvaluationContext &ctx);
int EncodeRtd(EvaluationContext &ctx);

} // namespace hvx
