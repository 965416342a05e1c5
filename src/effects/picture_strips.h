#pragma once

#include "effects/effect.h"
#include "resources/data_manifest.h"

#include <cstdint>

// Two pictures stacked in a narrow vertical band, an upper one of the upper strip's slots and a
// lower one of the lower strip's, each picked again every 0.2 to 0.49 s on its own, added onto the
// backdrop while the band breathes in size.
class PictureStrips final : public Effect {
public:
    PictureStrips() = default;

    void draw(float seconds) override;
    // Steps 1 and 2 of draw: the two pick rules, with their random draws in order. No OpenGL.
    void pick(float seconds);

    // Valid slots before the first draw, which picks both anew before it draws anything.
    std::int32_t upperSlot = firstUpperStripSlot;
    std::int32_t lowerSlot = firstLowerStripSlot;
    float upperPickTime = -3.0f;
    float lowerPickTime = -3.0f;
};
