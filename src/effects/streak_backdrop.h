#pragma once

#include "effects/effect.h"

#include <array>

// One turning bar of the streak backdrop. Offsets in units of 400 view units.
struct Streak {
    float x;
    float y;
    // Degrees per second, always negative: clockwise.
    float rate;
};

// A backdrop: ten long thin bars, each turning at its own speed about a centre that the bars
// before it have displaced.
class StreakBackdrop : public Effect {
public:
    // Takes thirty numbers from the shared generator: x, y and rate of each streak in turn.
    StreakBackdrop();
    void draw(float seconds) override;

    std::array<Streak, 10> streaks;
};
