#pragma once

#include <string>
#include <vector>

namespace forge {

// Anti-aliased text into coverage masks (0 to 1), from a TrueType font.
class TextRenderer {
public:
    TextRenderer();
    ~TextRenderer();
    TextRenderer(const TextRenderer&) = delete;
    TextRenderer& operator=(const TextRenderer&) = delete;

    // False, with reason set, when the font file cannot be read.
    bool open(const std::string& fontPath, std::string& reason);

    // Width in pixels of text at pixelSize, with extra spacing added after each glyph but the last.
    int measure(const std::u32string& text, int pixelSize, int spacing) const;

    // Draws text with its baseline at baselineY, horizontally centred on centreX.
    void drawCentred(std::vector<float>& mask, int maskWidth, int maskHeight,
                     const std::u32string& text, int pixelSize, int spacing, int centreX,
                     int baselineY) const;

private:
    void* library = nullptr;
    void* face = nullptr;
};

} // namespace forge
