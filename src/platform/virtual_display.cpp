#include "platform/virtual_display.h"

#include <cstring>
#include <string>

namespace platform {

bool FramebufferEntryPoints::complete() const {
    return genFramebuffers && deleteFramebuffers && bindFramebuffer && framebufferRenderbuffer &&
           checkFramebufferStatus && genRenderbuffers && deleteRenderbuffers && bindRenderbuffer &&
           renderbufferStorage && blitFramebuffer;
}

namespace {

bool extensionOffered(const char* name) {
    const auto* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (extensions == nullptr) {
        return false;
    }
    const std::size_t length = std::strlen(name);
    for (const char* found = std::strstr(extensions, name); found != nullptr;
         found = std::strstr(found + length, name)) {
        const bool startsWord = found == extensions || found[-1] == ' ';
        const bool endsWord = found[length] == ' ' || found[length] == '\0';
        if (startsWord && endsWord) {
            return true;
        }
    }
    return false;
}

bool coreFramebufferObjects() {
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    return (version != nullptr && version[0] >= '3' && version[0] <= '9') ||
           extensionOffered("GL_ARB_framebuffer_object");
}

template <typename Function>
void load(Function& target, GlProcLoader loader, const std::string& name) {
    target = reinterpret_cast<Function>(loader(name.c_str()));
}

// The core names where offered; otherwise the older extension's, which behave the same here.
FramebufferEntryPoints loadFramebufferEntryPoints(GlProcLoader loader) {
    FramebufferEntryPoints points;
    const bool core = coreFramebufferObjects();
    if (!core && !(extensionOffered("GL_EXT_framebuffer_object") &&
                   extensionOffered("GL_EXT_framebuffer_blit"))) {
        return points;
    }
    const std::string suffix = core ? "" : "EXT";
    auto name = [&suffix](const char* base) { return base + suffix; };
    load(points.genFramebuffers, loader, name("glGenFramebuffers"));
    load(points.deleteFramebuffers, loader, name("glDeleteFramebuffers"));
    load(points.bindFramebuffer, loader, name("glBindFramebuffer"));
    load(points.framebufferRenderbuffer, loader, name("glFramebufferRenderbuffer"));
    load(points.checkFramebufferStatus, loader, name("glCheckFramebufferStatus"));
    load(points.genRenderbuffers, loader, name("glGenRenderbuffers"));
    load(points.deleteRenderbuffers, loader, name("glDeleteRenderbuffers"));
    load(points.bindRenderbuffer, loader, name("glBindRenderbuffer"));
    load(points.renderbufferStorage, loader, name("glRenderbufferStorage"));
    load(points.blitFramebuffer, loader, name("glBlitFramebuffer"));
    return points;
}

} // namespace

bool hasFramebufferObjects(GlProcLoader loader) {
    return loadFramebufferEntryPoints(loader).complete();
}

bool VirtualDisplay::create(GlProcLoader loader, int width, int height, int depthBits) {
    // Entry points may differ between contexts, so every display loads its own.
    gl = loadFramebufferEntryPoints(loader);
    if (!gl.complete()) {
        return false;
    }
    pictureWidth = width;
    pictureHeight = height;
    gl.genRenderbuffers(1, &colourBuffer);
    gl.bindRenderbuffer(GL_RENDERBUFFER, colourBuffer);
    gl.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    gl.genRenderbuffers(1, &depthBuffer);
    gl.bindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
    // At least 24 bits whatever is asked: with the cameras' far plane of 10000 and near plane of
    // 0.1, a 16-bit buffer cannot keep the cubes' and the models' faces apart.
    gl.renderbufferStorage(GL_RENDERBUFFER,
                           depthBits > 24 ? GL_DEPTH_COMPONENT32 : GL_DEPTH_COMPONENT24, width,
                           height);
    gl.bindRenderbuffer(GL_RENDERBUFFER, 0);
    gl.genFramebuffers(1, &framebuffer);
    gl.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colourBuffer);
    gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
    if (gl.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        destroy();
        return false;
    }
    glViewport(0, 0, width, height);
    return true;
}

void VirtualDisplay::destroy() {
    if (framebuffer == 0) {
        return;
    }
    gl.bindFramebuffer(GL_FRAMEBUFFER, 0);
    gl.deleteFramebuffers(1, &framebuffer);
    gl.deleteRenderbuffers(1, &colourBuffer);
    gl.deleteRenderbuffers(1, &depthBuffer);
    framebuffer = colourBuffer = depthBuffer = 0;
}

void VirtualDisplay::bindPicture() {
    gl.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
}

void VirtualDisplay::present(int screenWidth, int screenHeight) {
    const ScreenRect target = letterbox(pictureWidth, pictureHeight, screenWidth, screenHeight);
    // The demo's own state is left as it was: only the clear colour and scissor are touched.
    GLfloat clearColour[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    glDisable(GL_SCISSOR_TEST);

    gl.bindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    gl.bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    const bool sameSize = target.width == pictureWidth && target.height == pictureHeight;
    gl.blitFramebuffer(0, 0, pictureWidth, pictureHeight, target.x, target.y,
                       target.x + target.width, target.y + target.height, GL_COLOR_BUFFER_BIT,
                       sameSize ? GL_NEAREST : GL_LINEAR);

    bindPicture();
    glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    if (scissor) {
        glEnable(GL_SCISSOR_TEST);
    }
}

} // namespace platform
