#pragma once

// The data set: every file the demo reads below data/, and the texture slot of every picture.
// The demo loads from these tables, the forge makes exactly these files and the tests check
// against them. The build lists the forge's outputs by reading this header: every quoted name
// that starts with data/ below is one file of the data set, so write no other such name here.
//
// Adding a picture: a slot and a row of pictureFiles here (the tables count their own rows), a job
// in the forge's data set that makes it (pictureFileName(slot) names it), and the effect that
// binds the slot.

#include <array>
#include <string>
#include <string_view>
#include <vector>

// Texture slots. Every slot of the bank gets a name with linear filters; only these hold
// anything.
inline constexpr int textureSlotCount = 100;
inline constexpr int pulsePictureSlot = 10; // also bound, texturing off, before every backdrop
inline constexpr int spiralPictureSlot = 11;
inline constexpr int streakPictureSlot = 12;
inline constexpr int environmentPictureSlot = 13;
inline constexpr int firstUpperStripSlot = 20;
inline constexpr int upperStripSlotCount = 6;
inline constexpr int firstLowerStripSlot = 26;
inline constexpr int lowerStripSlotCount = 4;
inline constexpr int firstTitleCardSlot = 30;
inline constexpr int secondTitleCardSlot = 31;
inline constexpr int lastTitleCardSlot = 32;
inline constexpr int renderTargetSlot = 92;

struct PictureFile {
    int slot;
    const char* fileName;
};

// In load order: the first missing picture in this order is the one reported.
// clang-format off
inline constexpr auto pictureFiles = std::to_array<PictureFile>({
    // slot                    file                   drawn by
    {pulsePictureSlot,         "data/p0.jpg"},       // PulseBackdrop
    {spiralPictureSlot,        "data/spiral.jpg"},   // SpiralBackdrop
    {streakPictureSlot,        "data/viiva.jpg"},    // StreakBackdrop
    {environmentPictureSlot,   "data/env.jpg"},      // MeshShowcase, as its environment map
    {firstTitleCardSlot,       "data/kuvaseos.jpg"}, // TitleCards
    {secondTitleCardSlot,      "data/ilo.jpg"},      // TitleCards
    {lastTitleCardSlot,        "data/sumu.jpg"},     // TitleCards
    {firstUpperStripSlot + 0,  "data/yla0.jpg"},     // PictureStrips, upper strip
    {firstUpperStripSlot + 1,  "data/yla1.jpg"},
    {firstUpperStripSlot + 2,  "data/yla2.jpg"},
    {firstUpperStripSlot + 3,  "data/yla3.jpg"},
    {firstUpperStripSlot + 4,  "data/yla4.jpg"},
    {firstUpperStripSlot + 5,  "data/yla5.jpg"},
    {firstLowerStripSlot + 0,  "data/ala0.jpg"},     // PictureStrips, lower strip
    {firstLowerStripSlot + 1,  "data/ala1.jpg"},
    {firstLowerStripSlot + 2,  "data/ala2.jpg"},
    {firstLowerStripSlot + 3,  "data/ala3.jpg"},
});
// clang-format on

// Square RGBA textures with undefined texels and no mipmaps: only the render target is drawn
// with, by the frame driver and the feedback blur.
struct EmptyTarget {
    int slot;
    int side;
};
inline constexpr auto emptyTargets = std::to_array<EmptyTarget>({
    {90, 256},
    {91, 256},
    {renderTargetSlot, 512},
});

// The mesh showcase's models, in its model order.
inline constexpr auto meshFiles = std::to_array<const char*>({
    "data/teolisuus.AML",
    "data/enkelit.AML",
    "data/reaktori.AML",
});

// The music loops; the last is the opening's.
inline constexpr auto loopFiles = std::to_array<const char*>({
    "data/loop1.mp3",
    "data/loop2.mp3",
    "data/loop3.mp3",
    "data/loop4.mp3",
    "data/loop5.mp3",
});

// The picture in a slot, found while compiling: a slot without a picture does not compile.
consteval const char* pictureFileName(int slot) {
    for (const PictureFile& picture : pictureFiles) {
        if (picture.slot == slot) {
            return picture.fileName;
        }
    }
    throw "no picture has this slot";
}

// A data/ name as the forge writes it, inside the data folder: data/p0.jpg becomes p0.jpg.
constexpr std::string_view nameInDataFolder(std::string_view dataFile) {
    return dataFile.substr(std::string_view("data/").size());
}

// Every file of the data set: the pictures in load order, the meshes, the loops.
inline std::vector<std::string> dataSetFiles() {
    std::vector<std::string> files;
    for (const PictureFile& picture : pictureFiles) {
        files.emplace_back(picture.fileName);
    }
    files.insert(files.end(), meshFiles.begin(), meshFiles.end());
    files.insert(files.end(), loopFiles.begin(), loopFiles.end());
    return files;
}
