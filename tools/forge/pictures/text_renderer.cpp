#include "forge/pictures/text_renderer.h"

#include <algorithm>
#include <ft2build.h>
#include FT_FREETYPE_H

namespace forge {

namespace {

FT_Face asFace(void* face) {
    return static_cast<FT_Face>(face);
}

} // namespace

TextRenderer::TextRenderer() = default;

TextRenderer::~TextRenderer() {
    if (face != nullptr) {
        FT_Done_Face(asFace(face));
    }
    if (library != nullptr) {
        FT_Done_FreeType(static_cast<FT_Library>(library));
    }
}

bool TextRenderer::open(const std::string& fontPath, std::string& reason) {
    FT_Library ftLibrary = nullptr;
    if (FT_Init_FreeType(&ftLibrary) != 0) {
        reason = "FreeType cannot start";
        return false;
    }
    library = ftLibrary;
    FT_Face ftFace = nullptr;
    if (FT_New_Face(ftLibrary, fontPath.c_str(), 0, &ftFace) != 0) {
        reason = "not a readable font";
        return false;
    }
    face = ftFace;
    return true;
}

int TextRenderer::measure(const std::u32string& text, int pixelSize, int spacing) const {
    FT_Face ftFace = asFace(face);
    FT_Set_Pixel_Sizes(ftFace, 0, static_cast<FT_UInt>(pixelSize));
    long width = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (FT_Load_Char(ftFace, text[i], FT_LOAD_DEFAULT) != 0) {
            continue;
        }
        width += ftFace->glyph->advance.x >> 6;
        if (i + 1 < text.size()) {
            width += spacing;
        }
    }
    return static_cast<int>(width);
}

void TextRenderer::drawCentred(std::vector<float>& mask, int maskWidth, int maskHeight,
                               const std::u32string& text, int pixelSize, int spacing, int centreX,
                               int baselineY) const {
    FT_Face ftFace = asFace(face);
    int penX = centreX - measure(text, pixelSize, spacing) / 2;
    for (char32_t character : text) {
        if (FT_Load_Char(ftFace, character, FT_LOAD_RENDER) != 0) {
            continue;
        }
        const FT_GlyphSlot glyph = ftFace->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            int y = baselineY - glyph->bitmap_top + static_cast<int>(row);
            for (unsigned column = 0; column < bitmap.width; ++column) {
                int x = penX + glyph->bitmap_left + static_cast<int>(column);
                if (x < 0 || y < 0 || x >= maskWidth || y >= maskHeight) {
                    continue;
                }
                float coverage = bitmap.buffer[row * bitmap.pitch + column] / 255.0f;
                float& cell = mask[static_cast<std::size_t>(y * maskWidth + x)];
                cell = std::max(cell, coverage);
            }
        }
        penX += static_cast<int>(glyph->advance.x >> 6) + spacing;
    }
}

} // namespace forge
