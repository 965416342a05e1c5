#pragma once

#include "forge/pictures/strip_pictures.h"

namespace forge {

// The lower band's pictures, added onto the backdrop: mostly dark with bright detail, 256 x 256.
Image makeCircuitPicture();     // ala0: circuit traces with lit nodes
Image makeLightningPicture();   // ala1: branching lightning
Image makeHorizonGridPicture(); // ala2: a grid running to a striped sun
Image makeSnowflakePicture();   // ala3: a sixfold ice crystal

} // namespace forge
