#include "demo/bar_layout.h"

#include "core/random.h"

BarLayout barLayout;

namespace {

constexpr double depthStep = 0.26 / 255.0;
constexpr float fullBarHalfWidth = 1.3337f;

// A random x position from -1.3326 to 1.3334 in steps of 0.001.
double randomX(const BarLayout::RandomDraw& draw) {
    return 1.3334 - (draw() % 2667) * 0.001;
}

// The whole thousandths of a bar's depth, taken from the stored float edge: for remainders 51
// and 102 this is 51 and 103, not the exact depth's 52 and 104.
int depthModulus(double depth) {
    return static_cast<int>(depth * 1000.0);
}

void appendSpike(std::vector<float>& spikes, const double (&x)[3], const double (&y)[3]) {
    for (int corner = 0; corner < 3; ++corner) {
        spikes.push_back(static_cast<float>(x[corner]));
        spikes.push_back(static_cast<float>(y[corner]));
    }
}

} // namespace

void BarLayout::generate() {
    generate(nextRandom);
}

void BarLayout::generate(const RandomDraw& draw) {
    // Swapping with empty lists releases the storage too, not just the contents.
    std::vector<float>().swap(bars);
    std::vector<float>().swap(spikes);
    topEdge = static_cast<float>(1.0 - (draw() % 255) * depthStep);
    appendBar(-fullBarHalfWidth, fullBarHalfWidth, 1.0f, topEdge);
    bottomEdge = static_cast<float>((draw() % 255) * depthStep - 1.0);
    appendBar(-fullBarHalfWidth, fullBarHalfWidth, -1.0f, bottomEdge);
    appendStandingBars(draw, draw() % 10);
    appendHangingBars(draw, draw() % 10);
    appendLowerSpikes(draw, draw() % 10);
    appendUpperSpikes(draw, draw() % 10);
}

// Nothing orders left and right: a bar may be stored with the reverse winding.
void BarLayout::appendBar(float left, float right, float edgeY, float innerY) {
    for (float value : {left, edgeY, left, innerY, right, innerY, right, edgeY}) {
        bars.push_back(value);
    }
}

void BarLayout::appendStandingBars(const RandomDraw& draw, int count) {
    for (int i = 0; i < count; ++i) {
        const auto left = static_cast<float>(randomX(draw));
        const auto right = static_cast<float>(randomX(draw));
        const auto inner = static_cast<float>((draw() % 400) * 0.001 - 1.0);
        appendBar(left, right, -1.0f, inner);
    }
}

void BarLayout::appendHangingBars(const RandomDraw& draw, int count) {
    for (int i = 0; i < count; ++i) {
        const auto left = static_cast<float>(randomX(draw));
        const auto right = static_cast<float>(randomX(draw));
        const auto inner = static_cast<float>(1.0 - (draw() % 400) * 0.001);
        appendBar(left, right, 1.0f, inner);
    }
}

// The base corners lie one unit below the bottom bar's edge, below the view.
void BarLayout::appendLowerSpikes(const RandomDraw& draw, int count) {
    // A bar of no depth skips every repetition without taking a number.
    if (bottomEdge == -1.0f) {
        return;
    }
    const double edge = bottomEdge;
    const int modulus = depthModulus(edge + 1.0);
    for (int i = 0; i < count; ++i) {
        // A braced list is evaluated left to right: x1, x2, x3 in draw order.
        const double x[3] = {randomX(draw), randomX(draw), randomX(draw)};
        const double baseLeft = (edge - 1.0) - (draw() % modulus) * 0.001;
        const double tip = (draw() % 400) * 0.001 - 1.0;
        const double baseRight = (edge - 1.0) - (draw() % modulus) * 0.001;
        appendSpike(spikes, x, {baseLeft, tip, baseRight});
    }
}

void BarLayout::appendUpperSpikes(const RandomDraw& draw, int count) {
    if (topEdge == 1.0f) {
        return;
    }
    const double edge = topEdge;
    const int modulus = depthModulus(1.0 - edge);
    for (int i = 0; i < count; ++i) {
        const double x[3] = {randomX(draw), randomX(draw), randomX(draw)};
        const double baseLeft = edge + (draw() % modulus) * 0.001;
        const double tip = 1.0 - (draw() % 400) * 0.001;
        const double baseRight = edge + (draw() % modulus) * 0.001;
        appendSpike(spikes, x, {baseLeft, tip, baseRight});
    }
}
