// Loaded into the running demo with LD_PRELOAD, so a test sees from outside when frames end and
// when the music schedule crosses a loop boundary. Every frame ends with glFlush; a boundary
// then sets the new base colour with glColor3f before the next frame's first glClear, the only
// colour call ever made there. Lines go to the file named by LUMIVAHA_PROBE_LOG:
// "flush <seconds>" and "boundary <seconds>", on the monotonic clock.
// A start-up after F1 also sets a colour after the last flush: use it on runs without restarts.
#include <GL/gl.h>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>

namespace {

bool flushedSinceClear = false;

double monotonicSeconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void note(const char* event) {
    static std::FILE* log = [] {
        const char* path = std::getenv("LUMIVAHA_PROBE_LOG");
        return path != nullptr ? std::fopen(path, "w") : nullptr;
    }();
    if (log != nullptr) {
        std::fprintf(log, "%s %.6f\n", event, monotonicSeconds());
        std::fflush(log);
    }
}

template <typename Function> Function realFunction(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) void glFlush() {
    static const auto real = realFunction<void (*)()>("glFlush");
    note("flush");
    flushedSinceClear = true;
    real();
}

__attribute__((visibility("default"))) void glClear(GLbitfield mask) {
    static const auto real = realFunction<void (*)(GLbitfield)>("glClear");
    flushedSinceClear = false;
    real(mask);
}

__attribute__((visibility("default"))) void glColor3f(GLfloat red, GLfloat green, GLfloat blue) {
    static const auto real = realFunction<void (*)(GLfloat, GLfloat, GLfloat)>("glColor3f");
    if (flushedSinceClear) {
        note("boundary");
    }
    real(red, green, blue);
}
}
