#pragma once

#include "resources/byte_stream.h"
#include "resources/sub_mesh.h"

#include <cstdint>
#include <memory>
#include <string>

// A model read from an AML file and drawn with OpenGL 1.1.
class MeshModel {
public:
    // Replaces the contents with the stream's AML file. A malformed file ends the process with
    // status 1 and a message naming the file and the fault.
    void load(ByteStream& stream);
    // The same without ending the process: false with the fault described, the model left empty.
    // Nothing is allocated from a count before the bytes it needs are known to be there.
    bool tryLoad(ByteStream& stream, std::string& fault);
    // Issues every triangle with its normal, texture coordinate and position. Uses the caller's
    // colour, texture binding, texture-coordinate generation and matrices; leaves texturing off.
    // Draws from vertex arrays on the shared vertices.
    void draw() const;
    // The same triangles one call per attribute and corner: the reference that draw() must
    // match pixel for pixel.
    void drawPerVertex() const;

    std::int32_t subMeshCount = 0;
    std::unique_ptr<SubMesh[]> subMeshes;
};
