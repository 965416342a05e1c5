#include "core/base_colour.h"

#include "core/random.h"

BaseColour baseColour{1.0f, 1.0f, 1.0f};

float drawColourComponent() {
    return static_cast<float>((nextRandom() % 100) * 0.01);
}

bool isBrightEnough(const BaseColour& colour) {
    // The sum of three floats of k/100 is exact in double precision: the stored floats decide.
    const double sum = static_cast<double>(colour.red) + static_cast<double>(colour.green) +
                       static_cast<double>(colour.blue);
    return sum >= 1.5;
}

BaseColour pickBaseColour() {
    BaseColour colour{};
    do {
        colour.red = drawColourComponent();
        colour.green = drawColourComponent();
        colour.blue = drawColourComponent();
    } while (!isBrightEnough(colour));
    return colour;
}
