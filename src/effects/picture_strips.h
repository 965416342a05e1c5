#pragma once

#include "effects/effect.h"

#include <cstdint>

// Two pictures stacked in a narrow vertical band, an upper one of slots 20 to 25 and a lower one
// of slots 26 to 29, each picked again every 0.2 to 0.49 s on its own, added onto the backdrop
// while the band breathes in size.
class PictureStrips final : public Effect {
public:
    static constexpr int firstUpperSlot = 20;
    static constexpr int upperSlotCount = 6;
    static constexpr int firstLowerSlot = 26;
    static constexpr int lowerSlotCount = 4;

    PictureStrips() = default;

    void draw(float seconds) override;
    // Steps 1 and 2 of draw: the two pick rules, with their random draws in order. No OpenGL.
    void pick(float seconds);

    // Valid slots before the first draw, which picks both anew before it draws anything.
    std::int32_t upperSlot = firstUpperSlot;
    std::int32_t lowerSlot = firstLowerSlot;
    float upperPickTime = -3.0f;
    float lowerPickTime = -3.0f;
};
