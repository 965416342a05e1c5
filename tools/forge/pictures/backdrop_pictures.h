#pragma once

#include "forge/pictures/image.h"

namespace forge {

// The pulse backdrop: a bold twelvefold rosette that reads small or large, mapped transposed.
Image makePulsePicture();
// The spinning backdrop: three unequal spiral arms, so the turning shows.
Image makeSpiralPicture();
// One streak: a soft bright bar across u, varying along v.
Image makeStreakPicture();
// The sphere environment map: sky, horizon, floor and studio lights.
Image makeEnvironmentPicture();

} // namespace forge
