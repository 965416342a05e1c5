#pragma once

#include "forge/meshes/mesh_builder.h"

namespace forge {

// "teolisuus.AML": halls, chimneys, a cooling tower, pipes, gears, fitted to modelRadius.
MeshBuilder buildIndustryMesh();

} // namespace forge
