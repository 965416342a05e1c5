#include "progress_meter.h"

#include <algorithm>

namespace {

constexpr int barWidth = 30;
constexpr auto redrawInterval = std::chrono::milliseconds(200);

std::string clockTime(double seconds) {
    const auto whole = static_cast<long long>(seconds + 0.5);
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    return text;
}

} // namespace

std::string progressLine(const ProgressFigures& figures, int width) {
    const std::uint64_t expected = std::max(figures.framesExpected, figures.framesDone);
    const double share =
        expected == 0 ? 1.0
                      : static_cast<double>(figures.framesDone) / static_cast<double>(expected);
    const int filled = std::clamp(static_cast<int>(share * width), 0, width);
    std::string line;
    line.reserve(static_cast<std::size_t>(width) + 64);
    line.append(1, '[')
        .append(static_cast<std::size_t>(filled), '#')
        .append(static_cast<std::size_t>(width - filled), '-')
        .append(1, ']');
    char figuresText[160];
    std::snprintf(figuresText, sizeof figuresText, "  %llu/%llu  %.2f s  %.1f fps",
                  static_cast<unsigned long long>(figures.framesDone),
                  static_cast<unsigned long long>(expected), figures.demoSeconds,
                  figures.framesPerSecond);
    line += figuresText;
    if (figures.framesPerSecond > 0.0) {
        const double left =
            static_cast<double>(expected - figures.framesDone) / figures.framesPerSecond;
        line += "  " + clockTime(left) + " left";
    }
    return line;
}

ProgressMeter::ProgressMeter(std::FILE* stream, bool terminal, std::uint64_t framesExpected)
    : stream(stream), terminal(terminal), framesExpected(framesExpected) {}

void ProgressMeter::frameDone(std::uint64_t framesDone, double demoSeconds) {
    if (!terminal) {
        return;
    }
    const Clock::time_point now = Clock::now();
    if (now - lastDrawn < redrawInterval) {
        return;
    }
    lastDrawn = now;
    const double elapsed = elapsedSeconds();
    const ProgressFigures figures{framesDone, framesExpected, demoSeconds,
                                  elapsed > 0.0 ? static_cast<double>(framesDone) / elapsed : 0.0};
    std::fprintf(stream, "\r%s\033[K", progressLine(figures, barWidth).c_str());
    std::fflush(stream);
    barShown = true;
}

void ProgressMeter::finish(const std::string& summary) {
    if (barShown) {
        std::fprintf(stream, "\r\033[K");
    }
    std::fprintf(stream, "%s\n", summary.c_str());
    std::fflush(stream);
}

double ProgressMeter::elapsedSeconds() const {
    return std::chrono::duration<double>(Clock::now() - began).count();
}
