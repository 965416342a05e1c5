#pragma once

#include "effects/effect.h"

// A backdrop: the spiral picture filling the view, spinning at 800 degrees per second in a
// sense drawn once, at construction.
class SpiralBackdrop : public Effect {
public:
    // Takes one number from the shared generator.
    SpiralBackdrop();
    void draw(float seconds) override;

    // +1 counter-clockwise, -1 clockwise, as the viewer sees it.
    int direction;
};
