#pragma once

#include "common/mp3_encoder.h"

#include <functional>
#include <string>
#include <vector>

namespace forge {

// One file of the data set: its name below the output folder and how to write it at a path,
// replacing any file there. On failure the reason says why.
struct AssetJob {
    std::string fileName;
    std::function<bool(const std::string& path, std::string& reason)> write;
};

// How the loops are encoded: variable bit rate near transparency, gapless.
Mp3Settings loopMp3Settings();

// Every file of data/, the slowest first so two workers finish together.
// Typeset pictures use the TrueType font at fontPath.
std::vector<AssetJob> dataSetJobs(const std::string& fontPath);

// The music loops again as 16-bit WAV files ("loop1.wav" ...), for measuring and listening.
std::vector<AssetJob> waveJobs();

// Makes and writes every job into outDir with workerCount threads. On failure, error names the
// first file that failed and why.
bool writeAssets(const std::vector<AssetJob>& jobs, const std::string& outDir, int workerCount,
                 std::string& error);

} // namespace forge
