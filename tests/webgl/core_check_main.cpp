// Runs the fixed-function scenario on the WebGL subset's core, under node with no canvas, and
// compares every number with Mesa's: lumivaha_webgl_core_check MESA.json
#include "fixed_function_scenario.h"
#include "number_sets.h"
#include "platform/web/gl/fixed_function_instance.h"
#include "platform/web/gl/mipmap_chain.h"
#include "platform/web/gl/texture_levels.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

// Keeps the draws instead of drawing them.
class RecordingSink : public webgl::DrawSink {
public:
    void draw(const webgl::DrawBatch& batch) override { batches.push_back(batch); }
    std::vector<webgl::DrawBatch> batches;
};

RecordingSink& recordingSink() {
    static RecordingSink sink;
    return sink;
}

std::vector<webgl::TransformedVertex> corners(const webgl::DrawBatch& batch) {
    if (batch.indices.empty()) {
        return batch.vertices;
    }
    std::vector<webgl::TransformedVertex> result;
    for (GLushort index : batch.indices) {
        result.push_back(batch.vertices.at(index));
    }
    return result;
}

// As feedback reports them: window coordinates of the viewport, with depths from 0 to 1.
void appendWindowVertex(std::vector<double>& out, const webgl::TransformedVertex& vertex) {
    const double w = vertex.clip[3];
    const double half = viewportSide / 2.0;
    out.push_back((vertex.clip[0] / w + 1.0) * half);
    out.push_back((vertex.clip[1] / w + 1.0) * half);
    out.push_back((vertex.clip[2] / w + 1.0) / 2.0);
    out.insert(out.end(), vertex.colour.begin(), vertex.colour.end());
    out.insert(out.end(), vertex.texCoord.begin(), vertex.texCoord.end());
}

std::vector<double> drawnVertices(const DrawStep& step) {
    recordingSink().batches.clear();
    step.draw();
    std::vector<double> vertices;
    for (const webgl::DrawBatch& batch : recordingSink().batches) {
        for (const webgl::TransformedVertex& vertex : corners(batch)) {
            appendWindowVertex(vertices, vertex);
        }
    }
    return vertices;
}

double blendFactor(GLenum factor, double sourceAlpha) {
    switch (factor) {
    case GL_ZERO:
        return 0.0;
    case GL_ONE:
        return 1.0;
    case GL_SRC_ALPHA:
        return sourceAlpha;
    case GL_ONE_MINUS_SRC_ALPHA:
        return 1.0 - sourceAlpha;
    default:
        return std::nan("");
    }
}

// What WebGL does with a batch of one colour over the whole view, into an 8-bit picture.
void blendInto(std::vector<double>& pixel, const webgl::DrawBatch& batch) {
    const webgl::Vector4& colour = batch.vertices.front().colour;
    const webgl::RenderState& state = batch.state;
    for (std::size_t c = 0; c < pixel.size(); ++c) {
        double value = colour[c];
        if (state.blending) {
            value = colour[c] * blendFactor(state.blendSource, colour[3]) +
                    pixel[c] * blendFactor(state.blendDestination, colour[3]);
        }
        pixel[c] = std::round(std::clamp(value, 0.0, 1.0) * 255.0) / 255.0;
    }
}

void recordBlending(NumberSets& sets) {
    std::vector<double> pixel(clearColour, clearColour + 3);
    for (double& value : pixel) {
        value = std::round(value * 255.0) / 255.0;
    }
    for (const DrawStep& step : blendSteps()) {
        recordingSink().batches.clear();
        step.draw();
        for (const webgl::DrawBatch& batch : recordingSink().batches) {
            blendInto(pixel, batch);
        }
        sets[step.name] = pixel;
    }
}

void recordMipmaps(NumberSets& sets) {
    for (const MipmapSource& source : mipmapSources()) {
        const webgl::PixelImage picture = webgl::unpackImage(
            source.pixels.data(), source.width, source.height, source.components, source.alignment);
        std::vector<double>& levels = sets[source.name];
        for (const webgl::PixelImage& level : webgl::buildMipmapChain(picture)) {
            levels.push_back(level.width);
            levels.push_back(level.height);
            levels.insert(levels.end(), level.texels.begin(), level.texels.end());
        }
    }
}

// The RGBA part converted as the subset converts it before WebGL sees it, and placed where
// glTexSubImage2D puts it.
void recordRgbaIntoRgb(NumberSets& sets) {
    using Upload = RgbaIntoRgb;
    const Upload upload = rgbaIntoRgb();
    constexpr std::size_t partRowBytes = Upload::partWidth * 3;
    std::vector<GLubyte> part(partRowBytes * Upload::partHeight);
    webgl::convertRgbRows(upload.rgbaPart.data(), Upload::partRowLength * 4, 4, part.data(),
                          partRowBytes, 3, Upload::partWidth, Upload::partHeight);
    std::vector<double>& texels = sets[Upload::name];
    texels.assign(upload.baseRgb.begin(), upload.baseRgb.end());
    for (std::size_t y = 0; y < Upload::partHeight; ++y) {
        const std::size_t at = ((Upload::partY + y) * Upload::side + Upload::partX) * 3;
        std::copy_n(part.begin() + static_cast<std::ptrdiff_t>(y * partRowBytes), partRowBytes,
                    texels.begin() + static_cast<std::ptrdiff_t>(at));
    }
}

// Float arithmetic in another order than Mesa's, but no more than rounding apart: a thousandth
// of a pixel, 1e-5 of depth, colour or texture coordinate, one step of 8-bit blending, and
// mipmaps and errors exactly.
double tolerance(const std::string& name, std::size_t index, double expected) {
    if (name.starts_with("matrix/")) {
        return 1e-5 * std::max(1.0, std::fabs(expected));
    }
    if (name.starts_with("vertices/")) {
        return index % 9 < 2 ? 1e-3 : 1e-5;
    }
    if (name.starts_with("blend/")) {
        return 1.0 / 255.0 + 1e-9;
    }
    return name.starts_with("colour/") ? 1e-7 : 0.0;
}

int countDifferences(const std::string& name, const std::vector<double>& expected,
                     const std::vector<double>& actual) {
    if (expected.size() != actual.size()) {
        std::printf("%s: %zu numbers from Mesa, %zu from the core\n", name.c_str(), expected.size(),
                    actual.size());
        return 1;
    }
    int differences = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (!(std::fabs(expected[i] - actual[i]) <= tolerance(name, i, expected[i]))) {
            if (differences < 5) {
                std::printf("%s [%zu]: Mesa %.9g, core %.9g\n", name.c_str(), i, expected[i],
                            actual[i]);
            }
            ++differences;
        }
    }
    return differences;
}

} // namespace

namespace webgl {

FixedFunction& fixedFunction() {
    static FixedFunction state(recordingSink());
    return state;
}

} // namespace webgl

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s MESA.json\n", argv[0]);
        return 2;
    }
    const NumberSets mesa = readNumberSets(argv[1]);
    NumberSets core;
    recordMatrixAndColourQueries(core);
    for (const DrawStep& step : vertexSteps()) {
        core[step.name] = drawnVertices(step);
    }
    recordBlending(core);
    recordMipmaps(core);
    recordRgbaIntoRgb(core);

    int failures = mesa.size() == core.size() ? 0 : 1;
    if (failures != 0) {
        std::printf("%zu sets from Mesa, %zu from the core\n", mesa.size(), core.size());
    }
    for (const auto& [name, numbers] : mesa) {
        const auto found = core.find(name);
        failures += found == core.end() ? 1 : countDifferences(name, numbers, found->second);
    }
    std::printf("%zu sets compared, %d differences\n", mesa.size(), failures);
    return failures == 0 ? 0 : 1;
}
