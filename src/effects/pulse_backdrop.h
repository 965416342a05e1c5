#pragma once

#include "effects/effect.h"

// A backdrop: one picture centred in the view, swelling from a fifth of the view's height to
// well past its edges and back, with a period of pi/4 seconds.
class PulseBackdrop : public Effect {
public:
    void draw(float seconds) override;
};
