#include "platform/web/web_page.h"

#include <emscripten.h>

namespace platform::web {
namespace {

EM_JS(void, setTitle, (const char* title), { document.title = UTF8ToString(title); });

EM_JS(void, showMessage, (const char* caption, const char* text),
      { Module.lumivahaPage.showMessage(UTF8ToString(caption), UTF8ToString(text)); });

EM_JS(void, replaceCanvas, (), { Module.lumivahaPage.replaceCanvas(); });

// A file the server lacks is left out: the demo names the first one it misses, as natively.
// Zero with the reason when a file could not be loaded for another reason. A loop starts
// decoding at once.
EM_ASYNC_JS(int, fetchIntoFileSystem,
            (const char* name, int number, int count, char* reason, int reasonSize), {
                const path = UTF8ToString(name);
                const result = await Module.lumivahaPage.fetchDataFile(path, number, count);
                if (result.failure) {
                    stringToUTF8(result.failure, reason, reasonSize);
                    return 0;
                }
                if (result.bytes) {
                    FS.mkdirTree(path.substring(0, path.lastIndexOf("/")));
                    FS.writeFile(path, result.bytes);
                    if (path.endsWith(".mp3")) {
                        Module.lumivahaPage.startDecoding(FS.lookupPath(path).path, result.bytes);
                    }
                }
                return 1;
            });

EM_JS(void, showLoading, (const char* text),
      { Module.lumivahaPage.showLoading(UTF8ToString(text)); });

EM_JS(double, pageMilliseconds, (), { return Module.lumivahaPage.milliseconds(); });

EM_JS(void, setFrameState, (float demoSeconds, float musicSeconds, int loop, const char* scene),
      { Module.lumivahaPage.reportFrame(demoSeconds, musicSeconds, loop, UTF8ToString(scene)); });

EM_JS(void, setBlurState, (const char* blur, const char* check),
      { Module.lumivahaPage.reportBlur(UTF8ToString(blur), UTF8ToString(check)); });

} // namespace

void setPageTitle(const char* title) {
    setTitle(title);
}

void showPageMessage(const char* caption, const char* text) {
    showMessage(caption, text);
}

void renewCanvas() {
    replaceCanvas();
}

bool fetchDataFiles(const std::vector<std::string>& names, std::string& failure) {
    const int count = static_cast<int>(names.size());
    for (int index = 0; index < count; ++index) {
        const std::string& name = names[static_cast<std::size_t>(index)];
        char reason[256] = {};
        if (fetchIntoFileSystem(name.c_str(), index + 1, count, reason, sizeof reason) == 0) {
            failure = "Cannot load " + name + ": " + reason;
            return false;
        }
    }
    // The loops are decoded before the first frame.
    showLoading("Starting the demo");
    return true;
}

std::uint32_t shownMilliseconds() {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(pageMilliseconds()));
}

void reportFrame(float demoSeconds, float musicSeconds, int loop, const char* scene) {
    setFrameState(demoSeconds, musicSeconds, loop, scene);
}

void reportBlur(const char* blur, const std::string& check) {
    setBlurState(blur, check.c_str());
}

} // namespace platform::web
