#pragma once
// What a screen reader says for one switch position of a drawn bank:
// switchPositionName() ("S2 switch 5, on"), shared with the explanations.

#include "switchexplanation.h"
