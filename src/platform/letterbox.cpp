#include "platform/letterbox.h"

#include <algorithm>
#include <cstdint>

namespace platform {

ScreenRect letterbox(int pictureWidth, int pictureHeight, int screenWidth, int screenHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0 || screenWidth <= 0 || screenHeight <= 0) {
        return {};
    }
    // Compared as cross products in 64 bits: exact, so 800x600 on 1280x720 is exactly 960x720.
    const auto widthByHeight = static_cast<std::int64_t>(screenWidth) * pictureHeight;
    const auto heightByWidth = static_cast<std::int64_t>(screenHeight) * pictureWidth;
    ScreenRect rect;
    if (widthByHeight > heightByWidth) {
        rect.height = screenHeight;
        rect.width = static_cast<int>(heightByWidth / pictureHeight);
    } else {
        rect.width = screenWidth;
        rect.height = static_cast<int>(widthByHeight / pictureWidth);
    }
    rect.width = std::max(rect.width, 1);
    rect.height = std::max(rect.height, 1);
    rect.x = (screenWidth - rect.width) / 2;
    rect.y = (screenHeight - rect.height) / 2;
    return rect;
}

} // namespace platform
