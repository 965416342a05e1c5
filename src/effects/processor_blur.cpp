#include "effects/processor_blur.h"

#include "resources/texture_bank.h"

#include <GL/gl.h>
#include <algorithm>
#include <utility>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define LUMIVAHA_BLUR_AVX2 1
#define LUMIVAHA_BLUR_WIDE 1
#include <immintrin.h>
#elif defined(__wasm_simd128__)
#define LUMIVAHA_BLUR_SIMD128 1
#define LUMIVAHA_BLUR_WIDE 1
#include <wasm_simd128.h>
#endif

// The browser's page has one thread unless built with WebAssembly threads.
#if !defined(__EMSCRIPTEN__) || defined(__EMSCRIPTEN_PTHREADS__)
#define LUMIVAHA_BLUR_THREADS 1
#include <thread>
#endif

namespace {

constexpr int side = ProcessorBlur::side;
constexpr int padded = ProcessorBlur::paddedSide;
constexpr std::size_t firstTexel = padded + 1;

// The driver's 8-bit arithmetic, one channel at a time: the linear filter between two texels
// (weight out of 256) and the blend factor (t + (t >> 8) + 128) >> 8 with t = value x alpha.
int mix(int low, int high, int weight) {
    return (low * (256 - weight) + high * weight + 128) >> 8;
}

int scaled(int value, int alpha) {
    const int t = value * alpha;
    return (t + (t >> 8) + 128) >> 8;
}

int channel(std::uint32_t texel, int shift) {
    return static_cast<int>((texel >> shift) & 255);
}

// One pixel with its own taps, the way the driver draws it: each quad's sample filtered across
// the rows, then between them, and blended over the quads before it.
std::uint32_t blendedPixel(const std::uint32_t* own, const BlurSampleMap::Tap* taps) {
    std::uint32_t pixel = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        int result = 0;
        for (std::size_t j = 0; j < blurQuadAlphas.size(); ++j) {
            const std::uint32_t* lowerLeft = own + taps[j].texelT * padded + taps[j].texelS;
            const int sample = mix(
                mix(channel(lowerLeft[0], shift), channel(lowerLeft[1], shift), taps[j].weightS),
                mix(channel(lowerLeft[padded], shift), channel(lowerLeft[padded + 1], shift),
                    taps[j].weightS),
                taps[j].weightT);
            const int alpha = blurQuadAlphas[j];
            result = std::min(scaled(sample, alpha) + scaled(result, 255 - alpha), 255);
        }
        pixel |= static_cast<std::uint32_t>(result) << shift;
    }
    return pixel;
}

// The entries of the projection that place the quads' corners on the screen (all but the depth
// row): the sample map holds only while they stay as they were measured.
ProjectionXyw currentProjectionXyw() {
    std::array<GLfloat, 16> matrix{};
    glGetFloatv(GL_PROJECTION_MATRIX, matrix.data());
    ProjectionXyw entries{};
    std::size_t next = 0;
    for (std::size_t i = 0; i < matrix.size(); ++i) {
        if (i % 4 != 2) {
            entries[next++] = matrix[i];
        }
    }
    return entries;
}

bool areNeighbours(const std::int32_t* texels, int count) {
    for (int k = 1; k < count; ++k) {
        if (texels[k] != texels[0] + k) {
            return false;
        }
    }
    return true;
}

// A padded source row filtered across for one quad: the first texel of each pair and the
// weight of the second.
void filterAcross(const std::uint32_t* row, const std::int32_t* texels, const std::uint8_t* weights,
                  std::uint32_t* filtered) {
    for (int x = 0; x < side; ++x) {
        std::uint32_t pixel = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            const int mixed =
                mix(channel(row[texels[x]], shift), channel(row[texels[x] + 1], shift), weights[x]);
            pixel |= static_cast<std::uint32_t>(mixed) << shift;
        }
        filtered[x] = pixel;
    }
}

// One quad's sample, between two rows filtered across, blended over the quads before it (the
// first quad is opaque and ignores what lies under it).
void filterUpAndBlend(const std::uint32_t* lower, const std::uint32_t* upper, int weight, int alpha,
                      bool opaque, std::uint32_t* destination) {
    for (int x = 0; x < side; ++x) {
        std::uint32_t pixel = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            const int sample = mix(channel(lower[x], shift), channel(upper[x], shift), weight);
            const int under = opaque ? 0 : scaled(channel(destination[x], shift), 255 - alpha);
            pixel |= static_cast<std::uint32_t>(std::min(scaled(sample, alpha) + under, 255))
                     << shift;
        }
        destination[x] = pixel;
    }
}

#if defined(LUMIVAHA_BLUR_AVX2)

// The same eight pixels at a time, each channel in a 16-bit lane: every product and sum of
// the arithmetic stays below 65536.

__attribute__((target("avx2"))) __m256i mixLanes(__m256i low, __m256i high, __m256i weight) {
    const __m256i inverse = _mm256_sub_epi16(_mm256_set1_epi16(256), weight);
    const __m256i sum =
        _mm256_add_epi16(_mm256_mullo_epi16(low, inverse), _mm256_mullo_epi16(high, weight));
    return _mm256_srli_epi16(_mm256_add_epi16(sum, _mm256_set1_epi16(128)), 8);
}

__attribute__((target("avx2"))) __m256i scaledLanes(__m256i value, int alpha) {
    const __m256i t = _mm256_mullo_epi16(value, _mm256_set1_epi16(static_cast<short>(alpha)));
    return _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_add_epi16(t, _mm256_srli_epi16(t, 8)), _mm256_set1_epi16(128)), 8);
}

// Pixels 0 to 3 and 4 to 7 of eight, widened to 16-bit channels in order.
__attribute__((target("avx2"))) __m256i firstFour(__m256i pixels) {
    return _mm256_cvtepu8_epi16(_mm256_castsi256_si128(pixels));
}

__attribute__((target("avx2"))) __m256i lastFour(__m256i pixels) {
    return _mm256_cvtepu8_epi16(_mm256_extracti128_si256(pixels, 1));
}

// Back to eight pixels in order: the pack works within each 128-bit half.
__attribute__((target("avx2"))) __m256i packed(__m256i first, __m256i last) {
    return _mm256_permute4x64_epi64(_mm256_packus_epi16(first, last), 0xd8);
}

__attribute__((target("avx2"))) __m256i eightTexels(const std::uint32_t* row,
                                                    const std::int32_t* texels, bool contiguous) {
    if (contiguous) {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + texels[0]));
    }
    return _mm256_i32gather_epi32(reinterpret_cast<const int*>(row),
                                  _mm256_loadu_si256(reinterpret_cast<const __m256i*>(texels)), 4);
}

__attribute__((target("avx2"))) void
filterAcrossWide(const std::uint32_t* row, const std::int32_t* texels, const bool* contiguousEights,
                 const std::uint16_t* weightLanes, std::uint32_t* filtered) {
    for (int x = 0; x < side; x += 8) {
        const bool contiguous = contiguousEights[x / 8];
        const __m256i low = eightTexels(row, texels + x, contiguous);
        const __m256i high = eightTexels(row + 1, texels + x, contiguous);
        const auto* weights = reinterpret_cast<const __m256i*>(weightLanes + x * 4);
        const __m256i first =
            mixLanes(firstFour(low), firstFour(high), _mm256_loadu_si256(weights));
        const __m256i last =
            mixLanes(lastFour(low), lastFour(high), _mm256_loadu_si256(weights + 1));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(filtered + x), packed(first, last));
    }
}

__attribute__((target("avx2"))) void filterUpAndBlendWide(const std::uint32_t* lower,
                                                          const std::uint32_t* upper, int weight,
                                                          int alpha, bool opaque,
                                                          std::uint32_t* destination) {
    const __m256i weights = _mm256_set1_epi16(static_cast<short>(weight));
    const __m256i full = _mm256_set1_epi16(255);
    for (int x = 0; x < side; x += 8) {
        const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lower + x));
        const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(upper + x));
        __m256i first = scaledLanes(mixLanes(firstFour(low), firstFour(high), weights), alpha);
        __m256i last = scaledLanes(mixLanes(lastFour(low), lastFour(high), weights), alpha);
        auto* out = reinterpret_cast<__m256i*>(destination + x);
        if (!opaque) {
            const __m256i under = _mm256_loadu_si256(out);
            first = _mm256_min_epi16(
                _mm256_add_epi16(first, scaledLanes(firstFour(under), 255 - alpha)), full);
            last = _mm256_min_epi16(
                _mm256_add_epi16(last, scaledLanes(lastFour(under), 255 - alpha)), full);
        }
        _mm256_storeu_si256(out, packed(first, last));
    }
}

bool processorIsWide() {
    return __builtin_cpu_supports("avx2") != 0;
}

#elif defined(LUMIVAHA_BLUR_SIMD128)

// The same four pixels at a time: two in each vector of 16-bit lanes, whose products and sums
// stay below 65536 as above.

v128_t mixLanes(v128_t low, v128_t high, v128_t weight) {
    const v128_t inverse = wasm_i16x8_sub(wasm_i16x8_splat(256), weight);
    const v128_t sum = wasm_i16x8_add(wasm_i16x8_mul(low, inverse), wasm_i16x8_mul(high, weight));
    return wasm_u16x8_shr(wasm_i16x8_add(sum, wasm_i16x8_splat(128)), 8);
}

v128_t scaledLanes(v128_t value, int alpha) {
    const v128_t t = wasm_i16x8_mul(value, wasm_i16x8_splat(static_cast<std::int16_t>(alpha)));
    return wasm_u16x8_shr(
        wasm_i16x8_add(wasm_i16x8_add(t, wasm_u16x8_shr(t, 8)), wasm_i16x8_splat(128)), 8);
}

v128_t fourTexels(const std::uint32_t* row, const std::int32_t* texels, bool contiguous) {
    if (contiguous) {
        return wasm_v128_load(row + texels[0]);
    }
    return wasm_u32x4_make(row[texels[0]], row[texels[1]], row[texels[2]], row[texels[3]]);
}

void filterAcrossWide(const std::uint32_t* row, const std::int32_t* texels,
                      const bool* contiguousEights, const std::uint16_t* weightLanes,
                      std::uint32_t* filtered) {
    for (int x = 0; x < side; x += 4) {
        const bool contiguous = contiguousEights[x / 8];
        const v128_t low = fourTexels(row, texels + x, contiguous);
        const v128_t high = fourTexels(row + 1, texels + x, contiguous);
        const std::uint16_t* weights = weightLanes + x * 4;
        const v128_t first = mixLanes(wasm_u16x8_extend_low_u8x16(low),
                                      wasm_u16x8_extend_low_u8x16(high), wasm_v128_load(weights));
        const v128_t last =
            mixLanes(wasm_u16x8_extend_high_u8x16(low), wasm_u16x8_extend_high_u8x16(high),
                     wasm_v128_load(weights + 8));
        wasm_v128_store(filtered + x, wasm_u8x16_narrow_i16x8(first, last));
    }
}

void filterUpAndBlendWide(const std::uint32_t* lower, const std::uint32_t* upper, int weight,
                          int alpha, bool opaque, std::uint32_t* destination) {
    const v128_t weights = wasm_i16x8_splat(static_cast<std::int16_t>(weight));
    const v128_t full = wasm_i16x8_splat(255);
    for (int x = 0; x < side; x += 4) {
        const v128_t low = wasm_v128_load(lower + x);
        const v128_t high = wasm_v128_load(upper + x);
        v128_t first = scaledLanes(
            mixLanes(wasm_u16x8_extend_low_u8x16(low), wasm_u16x8_extend_low_u8x16(high), weights),
            alpha);
        v128_t last = scaledLanes(mixLanes(wasm_u16x8_extend_high_u8x16(low),
                                           wasm_u16x8_extend_high_u8x16(high), weights),
                                  alpha);
        std::uint32_t* out = destination + x;
        if (!opaque) {
            const v128_t under = wasm_v128_load(out);
            first = wasm_i16x8_min(
                wasm_i16x8_add(first, scaledLanes(wasm_u16x8_extend_low_u8x16(under), 255 - alpha)),
                full);
            last = wasm_i16x8_min(
                wasm_i16x8_add(last, scaledLanes(wasm_u16x8_extend_high_u8x16(under), 255 - alpha)),
                full);
        }
        wasm_v128_store(out, wasm_u8x16_narrow_i16x8(first, last));
    }
}

// A browser without SIMD128 does not load the program at all.
bool processorIsWide() {
    return true;
}

#else

bool processorIsWide() {
    return false;
}

#endif

} // namespace

bool ProcessorBlur::prepare(const FeedbackBlur& settings) {
    preparedShifts = blurQuadShifts(settings.verticalSpread, settings.verticalSpread);
    preparedProjection = currentProjectionXyw();
    glPushMatrix();
    glLoadIdentity();
    glViewport(0, 0, side, side);
    glTranslatef(0.0f, 0.0f, -1.0f);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    const bool measured = map.measure(preparedShifts, matching);
    glEnable(GL_DEPTH_TEST);
    glViewport(0, 0, 800, 600);
    glPopMatrix();
    if (!measured) {
        return false;
    }
    splitIntoAxes();
    planRowFiltering();
    wide = arithmetic == Arithmetic::widest && processorIsWide();
    source.assign(static_cast<std::size_t>(padded * padded), 0);
    target.assign(source.size(), 0);
    return true;
}

// The bottom row gives each quad's columns and the left column its rows; the pixels whose taps
// differ from those are drawn one by one.
void ProcessorBlur::splitIntoAxes() {
    for (std::size_t j = 0; j < quadTaps.size(); ++j) {
        for (int i = 0; i < side; ++i) {
            const auto at = static_cast<std::size_t>(i);
            const BlurSampleMap::Tap& column = map.tapsOf(i, 0)[j];
            quadTaps[j].columns.texel[at] = i + 1 + column.texelS;
            quadTaps[j].columns.weight[at] = column.weightS;
            std::fill_n(quadTaps[j].columnWeightLanes.begin() + i * 4, 4, column.weightS);
            const BlurSampleMap::Tap& row = map.tapsOf(0, i)[j];
            quadTaps[j].rows.texel[at] = i + 1 + row.texelT;
            quadTaps[j].rows.weight[at] = row.weightT;
        }
    }
    irregularPixels.clear();
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const BlurSampleMap::Tap* taps = map.tapsOf(x, y);
            for (std::size_t j = 0; j < quadTaps.size(); ++j) {
                const AxisTaps& columns = quadTaps[j].columns;
                const AxisTaps& rows = quadTaps[j].rows;
                const auto column = static_cast<std::size_t>(x);
                const auto row = static_cast<std::size_t>(y);
                if (x + 1 + taps[j].texelS != columns.texel[column] ||
                    taps[j].weightS != columns.weight[column] ||
                    y + 1 + taps[j].texelT != rows.texel[row] ||
                    taps[j].weightT != rows.weight[row]) {
                    irregularPixels.push_back(y * side + x);
                    break;
                }
            }
        }
    }
}

// Which eights of columns load in one piece, and which quads share their filtered rows.
void ProcessorBlur::planRowFiltering() {
    for (std::size_t j = 0; j < quadTaps.size(); ++j) {
        QuadTaps& taps = quadTaps[j];
        for (std::size_t eight = 0; eight < taps.contiguousEights.size(); ++eight) {
            taps.contiguousEights[eight] = areNeighbours(taps.columns.texel.data() + eight * 8, 8);
        }
        columnsOf[j] = j;
        for (std::size_t earlier = j; earlier-- > 0;) {
            if (quadTaps[earlier].columns == taps.columns) {
                columnsOf[j] = columnsOf[earlier];
            }
        }
    }
}

bool ProcessorBlur::fits(const FeedbackBlur& settings) const {
    return map.measured() && settings.passCount > 0 &&
           blurQuadShifts(settings.verticalSpread, settings.verticalSpread) == preparedShifts &&
           currentProjectionXyw() == preparedProjection;
}

bool ProcessorBlur::draw(int textureSlot, const FeedbackBlur& settings) {
    glBindTexture(GL_TEXTURE_2D, textureBank[static_cast<std::size_t>(textureSlot)]);
    if (!fits(settings) || !boundTextureIsBlurTarget()) {
        return false;
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    readPicture();
    runPasses(settings.passCount);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, padded);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, side, side, GL_RGBA, GL_UNSIGNED_BYTE,
                    source.data() + firstTexel);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    restoreBlurState();
    return true;
}

void ProcessorBlur::readPicture() {
    glPixelStorei(GL_PACK_ROW_LENGTH, padded);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, source.data() + firstTexel);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    wrapEdges(source);
}

void ProcessorBlur::runPasses(int passCount) {
    for (int pass = 0; pass < passCount; ++pass) {
        blurBothHalves();
        wrapEdges(target);
        std::swap(source, target);
    }
}

// Every pass reads the whole picture of the one before, so the two threads meet after each.
void ProcessorBlur::blurBothHalves() {
#if defined(LUMIVAHA_BLUR_THREADS)
    std::thread upperHalf([this] { blurBand(side / 2, side, bandRows[1]); });
    blurBand(0, side / 2, bandRows[0]);
    upperHalf.join();
#else
    blurBand(0, side / 2, bandRows[0]);
    blurBand(side / 2, side, bandRows[1]);
#endif
}

// Row by row, and in each row the quads in turn, so that the source rows filtered across stay
// in the cache while the rows above and below use them.
void ProcessorBlur::blurBand(int firstRow, int endRow, FilteredRows& filtered) {
    filtered.sourceRowOf.fill(-1);
    for (int y = firstRow; y < endRow; ++y) {
        std::uint32_t* destination =
            target.data() + firstTexel + static_cast<std::size_t>(y * padded);
        for (std::size_t j = 0; j < quadTaps.size(); ++j) {
            const auto at = static_cast<std::size_t>(y);
            const int lowerRow = quadTaps[j].rows.texel[at];
            const std::uint32_t* lower = filteredRow(j, lowerRow, filtered);
            const std::uint32_t* upper = filteredRow(j, lowerRow + 1, filtered);
            blendRow(lower, upper, quadTaps[j].rows.weight[at], j, destination);
        }
    }
    blurIrregularPixels(firstRow, endRow);
}

// Quads sample between two neighbouring source rows, a row or two apart from each other: the
// rows kept serve the other quads with the same columns and the next output row too.
const std::uint32_t* ProcessorBlur::filteredRow(std::size_t quad, int sourceRow,
                                                FilteredRows& filtered) const {
    const std::size_t slot = columnsOf[quad] * rowsKeptPerColumns +
                             static_cast<std::size_t>(sourceRow % rowsKeptPerColumns);
    std::uint32_t* row = filtered.texels.data() + slot * side;
    if (filtered.sourceRowOf[slot] != sourceRow) {
        filtered.sourceRowOf[slot] = sourceRow;
        const std::uint32_t* sourceTexels =
            source.data() + static_cast<std::size_t>(sourceRow * padded);
        const QuadTaps& taps = quadTaps[quad];
#if defined(LUMIVAHA_BLUR_WIDE)
        if (wide) {
            filterAcrossWide(sourceTexels, taps.columns.texel.data(), taps.contiguousEights.data(),
                             taps.columnWeightLanes.data(), row);
            return row;
        }
#endif
        filterAcross(sourceTexels, taps.columns.texel.data(), taps.columns.weight.data(), row);
    }
    return row;
}

void ProcessorBlur::blendRow(const std::uint32_t* lower, const std::uint32_t* upper, int weight,
                             std::size_t quad, std::uint32_t* destination) const {
    const int alpha = blurQuadAlphas[quad];
#if defined(LUMIVAHA_BLUR_WIDE)
    if (wide) {
        filterUpAndBlendWide(lower, upper, weight, alpha, quad == 0, destination);
        return;
    }
#endif
    filterUpAndBlend(lower, upper, weight, alpha, quad == 0, destination);
}

void ProcessorBlur::blurIrregularPixels(int firstRow, int endRow) {
    for (const int pixel : irregularPixels) {
        const int x = pixel % side;
        const int y = pixel / side;
        if (y >= firstRow && y < endRow) {
            const std::size_t own = firstTexel + static_cast<std::size_t>(y * padded + x);
            target[own] = blendedPixel(source.data() + own, map.tapsOf(x, y));
        }
    }
}

// The repeat wrap: the padding repeats the opposite column and row.
void ProcessorBlur::wrapEdges(std::vector<std::uint32_t>& picture) const {
    for (int row = 1; row <= side; ++row) {
        std::uint32_t* line = picture.data() + static_cast<std::size_t>(row * padded);
        line[0] = line[side];
        line[side + 1] = line[1];
    }
    std::copy_n(picture.begin() + side * padded, padded, picture.begin());
    std::copy_n(picture.begin() + padded, padded, picture.begin() + (side + 1) * padded);
}

// As the reference leaves it, down to the last quad's colour and texture coordinate.
void ProcessorBlur::restoreBlurState() const {
    glColor4ub(255, 255, 255, static_cast<GLubyte>(blurQuadAlphas.back()));
    glTexCoord2f(preparedShifts.back()[0] + 1.0f, preparedShifts.back()[1]);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glViewport(0, 0, 800, 600);
}
