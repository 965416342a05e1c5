#pragma once

#include "forge/meshes/mesh_builder.h"

namespace forge {

// "enkelit.AML": two winged figures reaching to each other, fitted to modelRadius.
MeshBuilder buildAngelsMesh();

} // namespace forge
