#pragma once

#include "forge/pictures/image.h"

namespace forge {

class TextRenderer;

// The opening's title cards, 640 x 480, added onto the streaks: light on black.
Image makeFirstTitlePicture(const TextRenderer& text);  // "Tuulenpesija"
Image makeSecondTitlePicture(const TextRenderer& text); // "Lumivaha"
Image makeMistPicture();                                // the glow that closes the opening

} // namespace forge
