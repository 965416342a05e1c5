#include "effects/mesh_showcase.h"

#include "core/random.h"
#include "platform/data_directory.h"
#include "resources/file_stream.h"
#include "resources/texture_bank.h"

#include <GL/gl.h>
#include <cmath>

static_assert(MeshShowcase::modelCount == 3, "the constructor opens three models");

MeshShowcase::MeshShowcase() : lastTime(-3.0f), modelIndex(0), camera{} {
    // All three are opened before the first is read; they close in reverse order on return.
    FileStream first(platform::dataFilePath(meshFiles[0]));
    FileStream second(platform::dataFilePath(meshFiles[1]));
    FileStream third(platform::dataFilePath(meshFiles[2]));
    models[0].load(first);
    models[1].load(second);
    models[2].load(third);
    camera.setFieldOfView(90.0f);
    camera.setEye(0.0f, 0.0f, 100.0f);
    camera.setTarget(0.0f, 0.0f, 0.0f);
    modelIndex = nextRandom() % modelCount;
}

void MeshShowcase::selectModel(float seconds) {
    // Strict: a call exactly 3 s after the previous one keeps the model. The first call of all
    // chooses for any time above 0, replacing the construction's choice.
    if (lastTime + 3.0 < seconds) {
        modelIndex = nextRandom() % modelCount;
    }
    lastTime = seconds;
}

void MeshShowcase::draw(float seconds) {
    selectModel(seconds);
    glLoadIdentity();
    glPushMatrix();
    // Uses the eye stored by the previous call: the camera runs one frame behind.
    camera.apply();
    // Left bound on return.
    glBindTexture(GL_TEXTURE_2D, textureBank[environmentPictureSlot]);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    // Degrees: a quarter turn per second.
    glRotatef(seconds * 90.0f, 1.0f, 1.0f, 1.0f);
    // Widened first: the float overloads would round the sine before it is scaled.
    const auto angle = static_cast<double>(seconds);
    camera.setEye(static_cast<float>(std::sin(angle) * 75.0), 0.0f,
                  static_cast<float>(std::cos(angle) * 80.0));
    models[static_cast<std::size_t>(modelIndex)].draw();
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glPopMatrix();
}
