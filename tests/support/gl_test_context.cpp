#include "support/gl_test_context.h"

#include <GL/gl.h>
#include <chrono>
#include <thread>

namespace {

constexpr const char* testClassName = "GlTest";

platform::MessageResult testWindowProcedure(platform::WindowHandle window, std::uint32_t message,
                                            std::uintptr_t wParam, std::intptr_t lParam) {
    return platform::defaultWindowProcedure(window, message, wParam, lParam);
}

} // namespace

GlTestContext::GlTestContext(int width, int height) : width(width), height(height) {
    // Fails harmlessly when an earlier context of this program registered the class already.
    platform::registerClass({testClassName, testWindowProcedure, platform::currentInstance()});
    platform::WindowCreation creation;
    creation.className = testClassName;
    creation.title = "GL test";
    creation.width = width;
    creation.height = height;
    creation.instance = platform::currentInstance();
    // A display that is briefly unreachable (seen on a loaded test machine while other test
    // programs came and went) is no fault of the code under test: ask again before giving up.
    for (int attempt = 0; attempt < 3 && window == nullptr; ++attempt) {
        if (attempt > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        }
        window = platform::createWindow(creation);
    }
    deviceContext = platform::getDeviceContext(window);
    const platform::PixelFormatRequest format;
    const int formatNumber = platform::choosePixelFormat(deviceContext, format);
    if (formatNumber == 0 || !platform::setPixelFormat(deviceContext, formatNumber, format)) {
        return;
    }
    glContext = platform::createGlContext(deviceContext);
    if (glContext != nullptr && !platform::makeCurrent(deviceContext, glContext)) {
        platform::deleteGlContext(glContext);
        glContext = nullptr;
    }
}

GlTestContext::~GlTestContext() {
    if (glContext != nullptr) {
        platform::makeCurrent(deviceContext, nullptr);
        platform::deleteGlContext(glContext);
    }
    if (deviceContext != nullptr) {
        platform::releaseDeviceContext(window, deviceContext);
    }
    platform::destroyWindow(window);
    // The class stays registered, so the display connection lives for the whole test program:
    // tests that make context after context never wait on the display being opened again.
}

void GlTestContext::swap() {
    platform::swapBuffers(deviceContext);
}

std::vector<Rgba> readPixels(int x, int y, int width, int height) {
    std::vector<Rgba> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

Rgba readPixel(int x, int y) {
    return readPixels(x, y, 1, 1)[0];
}
