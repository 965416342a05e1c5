#pragma once

// A scene the demo draws. Called with the 512x512 viewport, GL_MODELVIEW current and identity,
// the depth test on, blending and texturing off and the base colour current. An effect brackets
// its matrices, turns blending off again if it turned it on, and may leave texturing enabled with
// its own texture bound.
// The window's picture, which the composite fills and whose viewport the blur restores.
inline constexpr int surfaceWidth = 800;
inline constexpr int surfaceHeight = 600;
// Half width of a quad that covers the whole view at depth 1: a sliver wider than the 4:3
// view's 4/3, so no column is left uncovered.
inline constexpr float fullViewHalfWidth = 1.334f;

class Effect {
public:
    virtual ~Effect() = default;
    // seconds: demo time of this frame.
    virtual void draw(float seconds) = 0;
};
