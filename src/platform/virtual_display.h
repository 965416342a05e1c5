#pragma once

#include "platform/letterbox.h"

#include <GL/gl.h>
#include <GL/glext.h>

// The fixed-size picture the demo draws into: a framebuffer object that stays bound for drawing
// and reading, so the demo code never sees it, scaled onto the window at every present.
namespace platform {

using GlProcLoader = void* (*)(const char* name);

struct FramebufferEntryPoints {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer = nullptr;

    bool complete() const;
};

class VirtualDisplay {
public:
    VirtualDisplay() = default;
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;
    ~VirtualDisplay() = default; // the GL objects die with their context

    // With the owning context current. False when framebuffer objects are not offered.
    bool create(GlProcLoader loader, int width, int height, int depthBits);
    // Frees the GL objects; the owning context must be current.
    void destroy();
    bool isActive() const { return framebuffer != 0; }

    // Draws the picture into the window's own framebuffer, letterboxed on black, and leaves the
    // picture bound again. The caller swaps the window's buffers afterwards.
    void present(int screenWidth, int screenHeight);

    int width() const { return pictureWidth; }
    int height() const { return pictureHeight; }

private:
    void bindPicture();

    int pictureWidth = 0;
    int pictureHeight = 0;
    GLuint framebuffer = 0;
    GLuint colourBuffer = 0;
    GLuint depthBuffer = 0;
    FramebufferEntryPoints gl;
};

// True when the current context offers framebuffer objects with blitting.
bool hasFramebufferObjects(GlProcLoader loader);

} // namespace platform
