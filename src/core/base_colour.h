#pragma once

// The colour that tints everything: the current OpenGL colour at the start of every frame.
struct BaseColour {
    float red;
    float green;
    float blue;
};

extern BaseColour baseColour;

// Components of k/100 (k from 0 to 99), drawn red, green, blue from the shared generator, all
// three again while the stored floats sum below 1.5.
BaseColour pickBaseColour();

// One random component: rand() % 100 scaled by the double 0.01, stored as a float.
float drawColourComponent();

// True when the stored components sum to at least 1.5 (compared exactly, in double precision).
bool isBrightEnough(const BaseColour& colour);
