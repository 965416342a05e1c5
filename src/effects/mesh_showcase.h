#pragma once

#include "effects/camera.h"
#include "effects/effect.h"
#include "resources/mesh_model.h"

#include <array>
#include <cstdint>

// One of three AML models, environment-mapped with the picture of slot 13, tumbling about the
// origin while the camera travels an ellipse around it. A new model is chosen whenever the effect
// comes back after more than 3 seconds away.
class MeshShowcase final : public Effect {
public:
    static constexpr int modelCount = 3;
    static constexpr int environmentSlot = 13;
    static constexpr std::array<const char*, modelCount> modelFiles = {
        "data/teolisuus.AML", "data/enkelit.AML", "data/reaktori.AML"};

    // Loads the three models below data/ of the working directory and draws the first model
    // index. A missing file ends the process before any model is read. Touches no OpenGL state.
    MeshShowcase();

    void draw(float seconds) override;
    // Steps 1 and 2 of draw: the strict 3-second reselection rule. No OpenGL.
    void selectModel(float seconds);

    float lastTime;
    std::int32_t modelIndex;
    Camera camera;
    std::array<MeshModel, modelCount> models;
};
