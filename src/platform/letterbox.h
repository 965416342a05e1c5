#pragma once

namespace platform {

struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const ScreenRect&) const = default;
};

// The largest rectangle of the picture's aspect that fits the screen, centred; the rest of the
// screen becomes black bars. Never empty while both sizes are positive.
ScreenRect letterbox(int pictureWidth, int pictureHeight, int screenWidth, int screenHeight);

} // namespace platform
