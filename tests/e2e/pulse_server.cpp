#include "e2e/pulse_server.h"

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

PulseServer::PulseServer(const ScratchDirectory& folder)
    : client{{"HOME", folder.path()},
             {"XDG_RUNTIME_DIR", folder.path()},
             {"PULSE_RUNTIME_PATH", folder.path() + "/pulse"}},
      socket(folder.path() + "/pulse/native") {}

bool PulseServer::start() {
    std::filesystem::remove(socket);
    server = std::make_unique<ChildProcess>(
        std::vector<std::string>{"/usr/bin/env", "pulseaudio", "-n", "--daemonize=no",
                                 "--exit-idle-time=-1", "--use-pid-file=no", "-L",
                                 "module-null-sink", "-L", "module-native-protocol-unix"},
        client);
    for (int wait = 0; wait < 100 && !std::filesystem::exists(socket); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return std::filesystem::exists(socket);
}

int PulseServer::loudestHeard(const std::string& file, int seconds) const {
    ChildProcess record({"/usr/bin/env", "timeout", std::to_string(seconds), "parecord", "--raw",
                         "--device=null.monitor", "--format=s16le", "--rate=44100", "--channels=2",
                         file},
                        client);
    record.waitForExit(std::chrono::seconds(seconds + 5));
    std::ifstream in(file, std::ios::binary);
    int loudest = 0;
    std::int16_t sample = 0;
    while (in.read(reinterpret_cast<char*>(&sample), sizeof sample)) {
        loudest = std::max(loudest, std::abs(int{sample}));
    }
    return loudest;
}

bool pulseAudioInstalled() {
    return std::system("command -v pulseaudio >/dev/null && command -v parecord >/dev/null") == 0;
}
