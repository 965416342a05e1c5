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

constexpr int side = BlurSampleMap::side;
constexpr int padded = BlurSampleMap::paddedSide;
constexpr std::size_t firstTexel = padded + 1;

#if defined(__SSE2__)

// The driver's 8-bit linear filter of four RGBA texels, one channel per 32-bit lane: across
// each row first, then between the rows, each step rounded to 8 bits.
__m128i filtered(const std::uint32_t* lowerLeft, int weightS, int weightT) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi32(128);
    const auto pairOf = [&zero](std::uint32_t left, std::uint32_t right) {
        return _mm_unpacklo_epi8(_mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(left)),
                                                   _mm_cvtsi32_si128(static_cast<int>(right))),
                                 zero);
    };
    const __m128i across = _mm_set1_epi32((weightS << 16) | (256 - weightS));
    const __m128i lower = _mm_srli_epi32(
        _mm_add_epi32(_mm_madd_epi16(pairOf(lowerLeft[0], lowerLeft[1]), across), half), 8);
    const __m128i upper = _mm_srli_epi32(
        _mm_add_epi32(_mm_madd_epi16(pairOf(lowerLeft[padded], lowerLeft[padded + 1]), across),
                      half),
        8);
    const __m128i rows = _mm_packs_epi32(lower, upper);
    const __m128i columns = _mm_unpacklo_epi16(rows, _mm_srli_si128(rows, 8));
    const __m128i up = _mm_set1_epi32((weightT << 16) | (256 - weightT));
    return _mm_srli_epi32(_mm_add_epi32(_mm_madd_epi16(columns, up), half), 8);
}

// The driver's 8-bit blend factor: (t + (t >> 8) + 128) >> 8 with t = value x alpha.
__m128i scaled(__m128i value, int alpha) {
    const __m128i t = _mm_madd_epi16(value, _mm_set1_epi32(alpha));
    return _mm_srli_epi32(
        _mm_add_epi32(_mm_add_epi32(t, _mm_srli_epi32(t, 8)), _mm_set1_epi32(128)), 8);
}

std::uint32_t blendedPixel(const std::uint32_t* own, const BlurSampleMap::Tap* taps) {
    const __m128i full = _mm_set1_epi32(255);
    __m128i result = _mm_setzero_si128();
    for (std::size_t j = 0; j < blurQuadAlphas.size(); ++j) {
        const __m128i sample = filtered(own + taps[j].offset, taps[j].weightS, taps[j].weightT);
        const int alpha = blurQuadAlphas[j];
        result =
            _mm_min_epi16(_mm_add_epi32(scaled(sample, alpha), scaled(result, 255 - alpha)), full);
    }
    const __m128i words = _mm_packs_epi32(result, result);
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(words, words)));
}

#else

int channel(std::uint32_t texel, int shift) {
    return static_cast<int>((texel >> shift) & 255);
}

int filteredChannel(const std::uint32_t* lowerLeft, int weightS, int weightT, int shift) {
    const auto mix = [](int low, int high, int weight) {
        return (low * (256 - weight) + high * weight + 128) >> 8;
    };
    return mix(
        mix(channel(lowerLeft[0], shift), channel(lowerLeft[1], shift), weightS),
        mix(channel(lowerLeft[padded], shift), channel(lowerLeft[padded + 1], shift), weightS),
        weightT);
}

int scaled(int value, int alpha) {
    const int t = value * alpha;
    return (t + (t >> 8) + 128) >> 8;
}

std::uint32_t blendedPixel(const std::uint32_t* own, const BlurSampleMap::Tap* taps) {
    std::uint32_t pixel = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        int result = 0;
        for (std::size_t j = 0; j < blurQuadAlphas.size(); ++j) {
            const int sample =
                filteredChannel(own + taps[j].offset, taps[j].weightS, taps[j].weightT, shift);
            const int alpha = blurQuadAlphas[j];
            result = std::min(scaled(sample, alpha) + scaled(result, 255 - alpha), 255);
        }
        pixel |= static_cast<std::uint32_t>(result) << shift;
    }
    return pixel;
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
    source.assign(static_cast<std::size_t>(padded * padded), 0);
    target.assign(source.size(), 0);
    return measured;
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
        std::thread upperHalf([this] { blurRows(side / 2, side); });
        blurRows(0, side / 2);
        upperHalf.join();
        wrapEdges(target);
        std::swap(source, target);
    }
}

void ProcessorBlur::blurRows(int firstRow, int endRow) {
    for (int y = firstRow; y < endRow; ++y) {
        const std::size_t rowStart = firstTexel + static_cast<std::size_t>(y * padded);
        for (int x = 0; x < side; ++x) {
            const std::size_t own = rowStart + static_cast<std::size_t>(x);
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
