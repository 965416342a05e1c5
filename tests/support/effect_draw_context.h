#pragma once

#include "core/base_colour.h"

// The square the effects draw into, at the bottom left of the picture.
inline constexpr int regionSide = 512;

// The state the frame driver hands to the effects: the region cleared, the start-up's 90-degree
// 4:3 projection, GL_MODELVIEW current with the identity, depth test on, blending off, texturing
// off with the picture slot's texture bound, smooth shading, and colour as the base colour and
// the current colour.
void enterDrawContext(const BaseColour& colour);
