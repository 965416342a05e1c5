#include "platform/web/web_page.h"

#include <emscripten.h>

namespace platform::web {
namespace {

EM_JS(void, setTitle, (const char* title), { document.title = UTF8ToString(title); });

EM_JS(void, showMessage, (const char* caption, const char* text),
      { Module.lumivahaPage.showMessage(UTF8ToString(caption), UTF8ToString(text)); });

EM_JS(void, replaceCanvas, (), { Module.lumivahaPage.replaceCanvas(); });

// Missing files are no error here: the demo names the first one it misses, as natively.
EM_ASYNC_JS(void, fetchIntoFileSystem, (const char* name), {
    const path = UTF8ToString(name);
    const response = await fetch(path, {cache : "no-cache"}).catch(function() { return null; });
    if (!response || !response.ok) {
        return;
    }
    const bytes = new Uint8Array(await response.arrayBuffer());
    FS.mkdirTree(path.substring(0, path.lastIndexOf("/")));
    FS.writeFile(path, bytes);
});

EM_JS(double, pageMilliseconds, (), { return Module.lumivahaPage.milliseconds(); });

EM_JS(void, setFrameState, (float demoSeconds, float musicSeconds, int loop),
      { Module.lumivahaPage.reportFrame(demoSeconds, musicSeconds, loop); });

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

void fetchDataFiles(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        fetchIntoFileSystem(name.c_str());
    }
}

std::uint32_t shownMilliseconds() {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(pageMilliseconds()));
}

void reportFrame(float demoSeconds, float musicSeconds, int loop) {
    setFrameState(demoSeconds, musicSeconds, loop);
}

} // namespace platform::web
