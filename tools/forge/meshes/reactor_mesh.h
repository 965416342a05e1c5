#pragma once

#include "forge/meshes/mesh_builder.h"

namespace forge {

// "reaktori.AML": a toroidal chamber in its coils, a column, fitted to modelRadius.
MeshBuilder buildReactorMesh();

} // namespace forge
