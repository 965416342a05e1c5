#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The page around the canvas (index.html): what the program tells it and asks of it.
namespace platform::web {

void setPageTitle(const char* title);
// Shown on the page below the canvas, as a message box would be.
void showPageMessage(const char* caption, const char* text);
// Puts a fresh canvas in place of the current one, so the next context starts from WebGL's
// defaults: a context made again on the same canvas would keep the old one's state.
void renewCanvas();
// Copies every "data/..." file that the server beside the page has into the program's file
// system, under the same name, with the progress on the page. Files the server lacks are left
// out, for the demo to report. False with "Cannot load <name>: <reason>" when a file could not
// be loaded otherwise (an error status, the connection lost).
bool fetchDataFiles(const std::vector<std::string>& names, std::string& failure);
// Milliseconds since the page opened, less the time the page was hidden while the program ran:
// the program's timer, so that demo time pauses with the music.
std::uint32_t shownMilliseconds();
// Every frame: the demo time, the position of the loop the frame played, the loop now current
// and the scene drawn, on the canvas for tests and curious users.
void reportFrame(float demoSeconds, float musicSeconds, int loop, const char* scene);
// Which blur draws (or "checking"), and what its check found, as a JSON object.
void reportBlur(const char* blur, const std::string& check);

} // namespace platform::web
