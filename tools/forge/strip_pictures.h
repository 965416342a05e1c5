#pragma once

#include "image.h"

namespace forge {

class TextRenderer;

constexpr int stripPictureSize = 256;

// A band picture made by a shader alone, samples x samples per pixel.
Image makeShadedStripPicture(const Image::Shader& shader, int samples);

// The band pictures, added onto the backdrop: mostly dark with bright detail, 256 x 256.
Image makeJuliaPicture();        // yla0: a glowing Julia set
Image makeInterferencePicture(); // yla1: rings of two interfering sources
Image makeContourPicture();      // yla2: the contour lines of a plasma field
Image makeForestPicture();       // yla3: pines against the moon and the northern lights
Image makeGlyphPicture(const TextRenderer& text); // yla4: columns of falling glyphs
Image makeGalaxyPicture();                        // yla5: a spiral galaxy
Image makeCircuitPicture();                       // ala0: circuit traces with lit nodes
Image makeLightningPicture();                     // ala1: branching lightning
Image makeHorizonGridPicture();                   // ala2: a grid running to a striped sun
Image makeSnowflakePicture();                     // ala3: a sixfold ice crystal

} // namespace forge
