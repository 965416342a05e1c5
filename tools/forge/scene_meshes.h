#pragma once

#include "mesh_builder.h"

namespace forge {

// The showcase models, centred on the origin and fitted to modelRadius.
constexpr float modelRadius = 40.0f;

MeshBuilder buildIndustryMesh(); // "teolisuus.AML": halls, chimneys, a cooling tower, pipes, gears
MeshBuilder buildAngelsMesh();   // "enkelit.AML": two winged figures reaching to each other
MeshBuilder buildReactorMesh();  // "reaktori.AML": a toroidal chamber in its coils, a column

} // namespace forge
