#pragma once

#include "support/process.h"
#include "support/scratch_directory.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

// A private PulseAudio server with a null sink only, on a socket of its own below a scratch
// folder: a desktop's sound server that a test can stop, kill and start again, and listen to.
class PulseServer {
public:
    using Environment = std::vector<std::pair<std::string, std::string>>;

    explicit PulseServer(const ScratchDirectory& folder);

    // False when the server's socket did not appear within 10 s.
    bool start();
    void signal(int number) const { server->signal(number); }
    // What a client needs to find this server and no other.
    const Environment& clientEnvironment() const { return client; }

    // The loudest sample that reaches the sink in the next seconds, recorded into file.
    int loudestHeard(const std::string& file, int seconds) const;

private:
    Environment client;
    std::string socket;
    std::unique_ptr<ChildProcess> server;
};

bool pulseAudioInstalled();
