#pragma once

// Eye, target and field of view of the three-dimensional effects. Setters only store: a change
// made after apply takes effect at the next apply.
struct Camera {
    float fieldOfView;
    float target[3];
    float eye[3];

    void setFieldOfView(float degrees);
    void setTarget(float x, float y, float z);
    void setEye(float x, float y, float z);
    // Multiplies the look-at transform onto the current modelview matrix and replaces the
    // projection, which stays in force for everything drawn afterwards.
    void apply() const;
};
