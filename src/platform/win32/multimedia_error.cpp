#include "platform/win32/multimedia_error.h"

#include "platform/win32/wide_text.h"

#include <windows.h>
// winmm's and ACM's headers build on windows.h.
#include <mmreg.h>
#include <mmsystem.h>
#include <msacm.h>

namespace platform {
namespace {

// winmm has words for its own results only.
const char* acmErrorText(MMRESULT result) {
    switch (result) {
    case ACMERR_NOTPOSSIBLE:
        return "no codec of the system converts it";
    case ACMERR_BUSY:
        return "the conversion is busy";
    case ACMERR_UNPREPARED:
        return "the conversion's buffers are not prepared";
    case ACMERR_CANCELED:
        return "the conversion was cancelled";
    default:
        return nullptr;
    }
}

} // namespace

std::string multimediaErrorText(unsigned result) {
    if (const char* text = acmErrorText(result)) {
        return text;
    }
    wchar_t wide[MAXERRORLENGTH] = {};
    if (waveOutGetErrorTextW(result, wide, MAXERRORLENGTH) != MMSYSERR_NOERROR) {
        return "error " + std::to_string(result);
    }
    std::string text = utf8FromWide(wide);
    while (!text.empty() && (text.back() == '.' || text.back() == '!' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

} // namespace platform
