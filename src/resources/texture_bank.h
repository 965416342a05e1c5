#pragma once

#include "resources/data_manifest.h"

#include <GL/gl.h>
#include <array>
#include <string>

// The texture names of the whole demo, addressed by slot; effects bind textureBank[slot].
using TextureBank = std::array<GLuint, textureSlotCount>;
extern TextureBank textureBank;

// With the context current: names for every slot, the empty targets and the pictures of the
// data manifest. Refills the table in a new context after a restart; the previous
// context's names died with it and are not deleted.
void loadTextureBank();

// Decodes the picture into a fresh name in the slot, with a full mipmap chain. The name the slot
// held is left alone. A missing file ends the process with "File <name> not found!" and status 1.
void loadPicture(TextureBank& bank, const std::string& fileName, int slot);
