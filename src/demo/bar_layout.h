#pragma once

#include <functional>
#include <vector>

// A random layout of letterbox bars and spikes in the units of the full-view quads: x about
// -4/3 to 4/3, y from -1 (bottom) to 1 (top). Nothing draws it; what matters is the memory it
// holds and the random numbers each generation takes from the shared generator.
class BarLayout {
public:
    using RandomDraw = std::function<int()>;

    // A new layout from the shared generator.
    void generate();
    // The same rule with every number taken from draw (0 to 32767), one call per number and
    // only where the rule takes one.
    void generate(const RandomDraw& draw);

    // Quadrilaterals of 8 floats: corners (L, Y), (L, E), (R, E), (R, Y).
    std::vector<float> bars;
    // Triangles of 6 floats: three corners (x, y).
    std::vector<float> spikes;
    // Lower edge of the top bar and upper edge of the bottom bar.
    float topEdge = 0.0f;
    float bottomEdge = 0.0f;

private:
    void appendBar(float left, float right, float edgeY, float innerY);
    void appendStandingBars(const RandomDraw& draw, int count);
    void appendHangingBars(const RandomDraw& draw, int count);
    void appendLowerSpikes(const RandomDraw& draw, int count);
    void appendUpperSpikes(const RandomDraw& draw, int count);
};

extern BarLayout barLayout;
