// lumivaha-forge-sheet DATADIR OUT.png: every picture of the data set on one labelled sheet.
#include "common/png_writer.h"
#include "forge/pictures/image.h"
#include "forge/pictures/text_renderer.h"
#include "resources/data_manifest.h"
#include "resources/jpeg_reader.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

namespace {

// Through the demo's own loader; a corrupt file ends the program with the decoder's message.
std::optional<forge::Image> readPicture(const std::string& path) {
    std::unique_ptr<DecodedImage> decoded = readJpegFile(path);
    if (!decoded) {
        return std::nullopt;
    }
    forge::Image image(decoded->width, decoded->height);
    for (int y = 0; y < decoded->height; ++y) {
        for (int x = 0; x < decoded->width; ++x) {
            const std::uint8_t* pixel =
                &decoded->pixels[static_cast<std::size_t>(y * decoded->rowStride + x * 3)];
            image.at(x, y) = {pixel[0] / 255.0f, pixel[1] / 255.0f, pixel[2] / 255.0f};
        }
    }
    return image;
}

constexpr const char* fontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr int columns = 6;
constexpr int cell = 224;
constexpr int tile = 200;
constexpr int labelHeight = 26;

// Scales the picture to fit a tile x tile square at (left, top), keeping its aspect.
void placeTile(forge::Image& sheet, const forge::Image& picture, int left, int top) {
    float scale =
        static_cast<float>(tile) / static_cast<float>(std::max(picture.width(), picture.height()));
    int width = static_cast<int>(static_cast<float>(picture.width()) * scale);
    int height = static_cast<int>(static_cast<float>(picture.height()) * scale);
    int x0 = left + (tile - width) / 2;
    int y0 = top + (tile - height) / 2;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float u = (static_cast<float>(x) + 0.5f) / static_cast<float>(width);
            float v = (static_cast<float>(y) + 0.5f) / static_cast<float>(height);
            sheet.at(x0 + x, y0 + y) = picture.sample(u, v);
        }
    }
}

// The pictures in slot order, so each strip's pictures sit together.
std::vector<std::string> picturesBySlot() {
    std::array<PictureFile, pictureFiles.size()> bySlot = pictureFiles;
    std::sort(bySlot.begin(), bySlot.end(),
              [](const PictureFile& a, const PictureFile& b) { return a.slot < b.slot; });
    std::vector<std::string> names;
    for (const PictureFile& picture : bySlot) {
        names.emplace_back(nameInDataFolder(picture.fileName));
    }
    return names;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: lumivaha-forge-sheet DATADIR OUT.png\n");
        return 2;
    }
    std::string dataDir = argv[1];
    forge::TextRenderer text;
    std::string reason;
    if (!text.open(fontPath, reason)) {
        std::fprintf(stderr, "lumivaha-forge-sheet: %s: %s\n", fontPath, reason.c_str());
        return 1;
    }
    const std::vector<std::string> names = picturesBySlot();
    int rows = (static_cast<int>(names.size()) + columns - 1) / columns;
    forge::Image sheet(columns * cell, rows * (cell + labelHeight));
    std::vector<float> labels(static_cast<std::size_t>(sheet.width() * sheet.height()));
    for (std::size_t i = 0; i < names.size(); ++i) {
        int left = static_cast<int>(i % columns) * cell + (cell - tile) / 2;
        int top = static_cast<int>(i / columns) * (cell + labelHeight) + (cell - tile) / 2;
        std::string path = dataDir + "/" + names[i];
        auto picture = readPicture(path);
        if (!picture) {
            std::fprintf(stderr, "lumivaha-forge-sheet: %s: cannot be opened\n", path.c_str());
            return 1;
        }
        placeTile(sheet, *picture, left, top);
        std::u32string label(names[i].begin(), names[i].end());
        text.drawCentred(labels, sheet.width(), sheet.height(), label, 15, 0, left + tile / 2,
                         top + tile + 22);
    }
    sheet.addMask(labels, forge::grey(0.85f));
    const std::vector<unsigned char> rgb = sheet.toRgb8();
    if (!writePngFile(argv[2], rgb.data(), sheet.width(), sheet.height(), PngRowOrder::topFirst,
                      PngPurpose::picture, reason)) {
        std::fprintf(stderr, "lumivaha-forge-sheet: %s: cannot be written\n", argv[2]);
        return 1;
    }
    return 0;
}
