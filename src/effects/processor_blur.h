#pragma once

#include "effects/blur_candidate.h"
#include "effects/blur_sample_map.h"
#include "effects/feedback_blur.h"

#include <array>
#include <cstdint>
#include <vector>

using ProjectionXyw = std::array<float, 12>;

// A faster way to a feedback blur's result on a software rasteriser: the texture is read back,
// the passes run on the processor (on two threads where there are two) with the filter and
// blend arithmetic of Mesa's llvmpipe, and the result goes back into the texture. Exact only
// where the driver rounds that way, so natively it is used only through VerifiedBlur.
class ProcessorBlur final : public BlurCandidate {
public:
    static constexpr int side = BlurSampleMap::side;
    // The pictures carry one wrapped texel on every edge, as the repeat wrap samples them.
    static constexpr int paddedSide = side + 2;

    // Eight pixels at a time where the processor has AVX2, four with WebAssembly's SIMD128, or
    // the plain arithmetic everywhere.
    enum class Arithmetic { widest, plain };
    explicit ProcessorBlur(Arithmetic arithmetic = Arithmetic::widest,
                           BlurSampleMap::Matching matching = BlurSampleMap::Matching::exact)
        : arithmetic(arithmetic), matching(matching) {}

    const char* name() const override { return "processor"; }
    // Measures where the quads of these settings sample, drawing into the lower-left region.
    // Expects the state the blur itself expects. False when the map cannot be measured.
    bool prepare(const FeedbackBlur& settings) override;
    std::string finding() const override { return map.finding(); }
    // Leaves what FeedbackBlur::draw leaves, except that the whole window is cleared rather
    // than the region holding the picture (the frame driver clears it before looking). Does
    // nothing but bind the slot's texture, and returns false, when that texture is not a
    // 512x512 GL_RGB picture with linear filters and repeat wrap, or the settings or the
    // projection differ from the prepared ones.
    bool draw(int textureSlot, const FeedbackBlur& settings) override;

private:
    // Where one quad samples along one axis, for each column or row: the padded index of the
    // first texel of the pair and the weight of the second.
    struct AxisTaps {
        std::array<std::int32_t, side> texel;
        std::array<std::uint8_t, side> weight;
        bool operator==(const AxisTaps&) const = default;
    };
    struct QuadTaps {
        AxisTaps columns;
        AxisTaps rows;
        // The column weights once per channel, as the wide arithmetic takes them.
        std::array<std::uint16_t, side * 4> columnWeightLanes;
        // For each eight columns: whether they read eight neighbouring texels, in one load.
        std::array<bool, side / 8> contiguousEights;
    };
    // Quads that sample the same columns share their rows filtered across.
    static constexpr int rowsKeptPerColumns = 4;
    static constexpr int keptRows = 4 * rowsKeptPerColumns;
    // One thread's last source rows filtered across: for each set of columns, four rows kept by
    // their number modulo four, and which source row each holds (-1: none yet).
    struct FilteredRows {
        std::vector<std::uint32_t> texels = std::vector<std::uint32_t>(keptRows * side);
        std::array<int, keptRows> sourceRowOf{};
    };

    bool fits(const FeedbackBlur& settings) const;
    void splitIntoAxes();
    void planRowFiltering();
    void readPicture();
    void runPasses(int passCount);
    void blurBothHalves();
    void blurBand(int firstRow, int endRow, FilteredRows& filtered);
    const std::uint32_t* filteredRow(std::size_t quad, int sourceRow, FilteredRows& filtered) const;
    void blendRow(const std::uint32_t* lower, const std::uint32_t* upper, int weight,
                  std::size_t quad, std::uint32_t* destination) const;
    void blurIrregularPixels(int firstRow, int endRow);
    void wrapEdges(std::vector<std::uint32_t>& picture) const;
    void restoreBlurState() const;

    BlurSampleMap map;
    BlurQuadShifts preparedShifts{};
    ProjectionXyw preparedProjection{};
    // Each quad samples by column and row everywhere but along the diagonal where the driver
    // splits it into two triangles, whose interpolation may round a column's position apart.
    std::array<QuadTaps, 4> quadTaps{};
    // For each quad, the first quad with the same columns.
    std::array<std::size_t, 4> columnsOf{};
    std::vector<int> irregularPixels;
    Arithmetic arithmetic;
    BlurSampleMap::Matching matching;
    // With AVX2 or SIMD128 the arithmetic runs several pixels at a time.
    bool wide = false;
    // Two padded RGBA pictures: the pass reads one and writes the other.
    std::vector<std::uint32_t> source;
    std::vector<std::uint32_t> target;
    std::array<FilteredRows, 2> bandRows;
};
