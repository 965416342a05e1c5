#pragma once

#include "forge/pictures/strip_pictures.h"

namespace forge {

class TextRenderer;

// The upper band's pictures, added onto the backdrop: mostly dark with bright detail, 256 x 256.
Image makeJuliaPicture();        // yla0: a glowing Julia set
Image makeInterferencePicture(); // yla1: rings of two interfering sources
Image makeContourPicture();      // yla2: the contour lines of a plasma field
Image makeForestPicture();       // yla3: pines against the moon and the northern lights
Image makeGlyphPicture(const TextRenderer& text); // yla4: columns of falling glyphs
Image makeGalaxyPicture();                        // yla5: a spiral galaxy

} // namespace forge
