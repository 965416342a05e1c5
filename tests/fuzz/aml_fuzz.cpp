#include "resources/memory_stream.h"
#include "resources/mesh_model.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// What drawing would read: floats 0 to 7 of every indexed vertex. The address sanitizer stops
// any read outside the arrays that the loader let through.
float touchEveryCorner(const MeshModel& model) {
    float sum = 0.0f;
    for (std::int32_t i = 0; i < model.subMeshCount; ++i) {
        const SubMesh& subMesh = model.subMeshes[static_cast<std::size_t>(i)];
        for (std::int32_t corner = 0; corner < subMesh.triangleCount * 3; ++corner) {
            const std::int16_t index = subMesh.indices[static_cast<std::size_t>(corner)];
            if (index < 0) {
                std::abort();
            }
            const float* vertex = subMesh.vertices.get() + index * subMesh.floatsPerVertex;
            for (int f = 0; f < minimumFloatsPerVertex; ++f) {
                sum += vertex[f];
            }
        }
    }
    return sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemoryStream stream({data, size}, "fuzz.AML");
    MeshModel model;
    std::string fault;
    if (model.tryLoad(stream, fault)) {
        volatile float sink = touchEveryCorner(model);
        static_cast<void>(sink);
    } else if (fault.empty() || model.subMeshCount != 0 || model.subMeshes != nullptr) {
        // A rejection always says why and leaves nothing behind.
        std::abort();
    }
    return 0;
}
