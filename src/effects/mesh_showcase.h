#pragma once

#include "effects/camera.h"
#include "effects/effect.h"
#include "resources/data_manifest.h"
#include "resources/mesh_model.h"

#include <array>
#include <cstdint>

// One of three AML models, environment-mapped with the environment picture, tumbling about the
// origin while the camera travels an ellipse around it. A new model is chosen whenever the effect
// comes back after more than 3 seconds away.
class MeshShowcase final : public Effect {
public:
    static constexpr int modelCount = static_cast<int>(meshFiles.size());

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
