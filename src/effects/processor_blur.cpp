#include "effects/processor_blur.h"

#include "resources/texture_bank.h"

#include <GL/gl.h>
#include <algorithm>
#include <thread>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
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

#if defined(__SSE2__)

// Eight 16-bit channels (two pixels) of mix().
__m128i mixLanes(__m128i low, __m128i high, __m128i weight) {
    const __m128i inverse = _mm_sub_epi16(_mm_set1_epi16(256), weight);
    const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(low, inverse), _mm_mullo_epi16(high, weight));
    return _mm_srli_epi16(_mm_add_epi16(sum, _mm_set1_epi16(128)), 8);
}

__m128i scaledLanes(__m128i value, int alpha) {
    const __m128i t = _mm_mullo_epi16(value, _mm_set1_epi16(static_cast<short>(alpha)));
    return _mm_srli_epi16(
        _mm_add_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), _mm_set1_epi16(128)), 8);
}

__m128i lowerPixels(__m128i pixels) {
    return _mm_unpacklo_epi8(pixels, _mm_setzero_si128());
}

__m128i upperPixels(__m128i pixels) {
    return _mm_unpackhi_epi8(pixels, _mm_setzero_si128());
}

__m128i fourTexels(const std::uint32_t* row, const std::int32_t* texel) {
    if (texel[1] == texel[0] + 1 && texel[2] == texel[0] + 2 && texel[3] == texel[0] + 3) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + texel[0]));
    }
    return _mm_set_epi32(static_cast<int>(row[texel[3]]), static_cast<int>(row[texel[2]]),
                         static_cast<int>(row[texel[1]]), static_cast<int>(row[texel[0]]));
}

#endif

GLint levelParameter(GLenum name) {
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
    return value;
}

GLint textureParameter(GLenum name) {
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

// The bound texture is the picture the sample map was measured for: size, filters and wrap.
bool isBlurTarget() {
    return levelParameter(GL_TEXTURE_WIDTH) == side && levelParameter(GL_TEXTURE_HEIGHT) == side &&
           levelParameter(GL_TEXTURE_INTERNAL_FORMAT) == GL_RGB &&
           textureParameter(GL_TEXTURE_MIN_FILTER) == GL_LINEAR &&
           textureParameter(GL_TEXTURE_MAG_FILTER) == GL_LINEAR &&
           textureParameter(GL_TEXTURE_WRAP_S) == GL_REPEAT &&
           textureParameter(GL_TEXTURE_WRAP_T) == GL_REPEAT;
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
    const bool measured = map.measure(preparedShifts);
    glEnable(GL_DEPTH_TEST);
    glViewport(0, 0, 800, 600);
    glPopMatrix();
    if (!measured) {
        return false;
    }
    splitIntoAxes();
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

bool ProcessorBlur::fits(const FeedbackBlur& settings) const {
    return map.measured() && settings.passCount > 0 &&
           blurQuadShifts(settings.verticalSpread, settings.verticalSpread) == preparedShifts &&
           currentProjectionXyw() == preparedProjection;
}

bool ProcessorBlur::draw(int textureSlot, const FeedbackBlur& settings) {
    glBindTexture(GL_TEXTURE_2D, textureBank[static_cast<std::size_t>(textureSlot)]);
    if (!fits(settings) || !isBlurTarget()) {
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

// Every pass reads the whole picture of the one before, so the two threads meet after each.
void ProcessorBlur::runPasses(int passCount) {
    for (int pass = 0; pass < passCount; ++pass) {
        std::thread upperHalf([this] { blurBand(side / 2, side, filteredAcross[1]); });
        blurBand(0, side / 2, filteredAcross[0]);
        upperHalf.join();
        wrapEdges(target);
        std::swap(source, target);
    }
}

namespace {

// A padded source row filtered across for one quad: the first texel of each pair and the
// weight of the second.
void filterAcross(const std::uint32_t* row, const std::int32_t* texels, const std::uint8_t* weights,
                  std::uint32_t* filtered) {
#if defined(__SSE2__)
    for (int x = 0; x < side; x += 4) {
        const __m128i low = fourTexels(row, texels + x);
        const __m128i high = fourTexels(row + 1, texels + x);
        const __m128i firstWeights =
            _mm_set_epi16(weights[x + 1], weights[x + 1], weights[x + 1], weights[x + 1],
                          weights[x], weights[x], weights[x], weights[x]);
        const __m128i secondWeights =
            _mm_set_epi16(weights[x + 3], weights[x + 3], weights[x + 3], weights[x + 3],
                          weights[x + 2], weights[x + 2], weights[x + 2], weights[x + 2]);
        const __m128i mixed =
            _mm_packus_epi16(mixLanes(lowerPixels(low), lowerPixels(high), firstWeights),
                             mixLanes(upperPixels(low), upperPixels(high), secondWeights));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(filtered + x), mixed);
    }
#else
    for (int x = 0; x < side; ++x) {
        std::uint32_t pixel = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            const int mixed =
                mix(channel(row[texels[x]], shift), channel(row[texels[x] + 1], shift), weights[x]);
            pixel |= static_cast<std::uint32_t>(mixed) << shift;
        }
        filtered[x] = pixel;
    }
#endif
}

// One quad's sample, between two rows filtered across, blended over the quads before it (the
// first quad is opaque and ignores what lies under it).
void filterUpAndBlend(const std::uint32_t* lower, const std::uint32_t* upper, int weight, int alpha,
                      bool opaque, std::uint32_t* destination) {
#if defined(__SSE2__)
    const __m128i weights = _mm_set1_epi16(static_cast<short>(weight));
    const __m128i full = _mm_set1_epi16(255);
    for (int x = 0; x < side; x += 4) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lower + x));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(upper + x));
        __m128i first = scaledLanes(mixLanes(lowerPixels(low), lowerPixels(high), weights), alpha);
        __m128i second = scaledLanes(mixLanes(upperPixels(low), upperPixels(high), weights), alpha);
        if (!opaque) {
            const __m128i under =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(destination + x));
            first = _mm_min_epi16(
                _mm_add_epi16(first, scaledLanes(lowerPixels(under), 255 - alpha)), full);
            second = _mm_min_epi16(
                _mm_add_epi16(second, scaledLanes(upperPixels(under), 255 - alpha)), full);
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(destination + x),
                         _mm_packus_epi16(first, second));
    }
#else
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
#endif
}

} // namespace

// Each quad in turn: the source rows it reaches filtered across once, then every row of the
// band filtered between them and blended.
void ProcessorBlur::blurBand(int firstRow, int endRow, std::vector<std::uint32_t>& across) {
    for (std::size_t j = 0; j < quadTaps.size(); ++j) {
        const QuadTaps& taps = quadTaps[j];
        const auto rowsBegin = taps.rows.texel.begin();
        const auto [lowest, highest] =
            std::minmax_element(rowsBegin + firstRow, rowsBegin + endRow);
        const int firstSourceRow = *lowest;
        const int sourceRows = *highest + 2 - firstSourceRow;
        across.resize(static_cast<std::size_t>(sourceRows * side));
        for (int row = 0; row < sourceRows; ++row) {
            filterAcross(source.data() + static_cast<std::size_t>((firstSourceRow + row) * padded),
                         taps.columns.texel.data(), taps.columns.weight.data(),
                         across.data() + static_cast<std::size_t>(row * side));
        }
        for (int y = firstRow; y < endRow; ++y) {
            const auto at = static_cast<std::size_t>(y);
            const std::uint32_t* lower =
                across.data() +
                static_cast<std::size_t>((taps.rows.texel[at] - firstSourceRow) * side);
            filterUpAndBlend(lower, lower + side, taps.rows.weight[at], blurQuadAlphas[j], j == 0,
                             target.data() + firstTexel + static_cast<std::size_t>(y * padded));
        }
    }
    blurIrregularPixels(firstRow, endRow);
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
