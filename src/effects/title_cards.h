#pragma once

#include "effects/effect.h"

// The opening's foreground: three full-view pictures in turn, added to the backdrop and tinted
// by the current colour.
class TitleCards : public Effect {
public:
    void draw(float seconds) override;
};
