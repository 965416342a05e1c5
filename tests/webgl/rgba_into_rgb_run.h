#pragma once

#include "number_sets.h"

// Runs the scenario's RGBA-into-RGB upload through the current context's GL and records the
// texture read back as RGB: on Mesa and through the WebGL subset alike.
void recordRgbaIntoRgb(NumberSets& sets);
