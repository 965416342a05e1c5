#pragma once

// A scene the demo draws. Called with the 512x512 viewport, GL_MODELVIEW current and identity,
// the depth test on, blending and texturing off and the base colour current. An effect brackets
// its matrices, turns blending off again if it turned it on, and may leave texturing enabled with
// its own texture bound.
class Effect {
public:
    virtual ~Effect() = default;
    // seconds: demo time of this frame.
    virtual void draw(float seconds) = 0;
};
