#pragma once

#include "support/scratch_directory.h"

#include <cstdint>
#include <string>

enum class Damage {
    missing,
    truncatedToHalf,
    randomBytes, // the same length, every byte replaced
};

const char* damageName(Damage damage);

// A private copy of a data set as data/ in a fresh scratch directory, removed on destruction.
class DataSetCopy {
public:
    explicit DataSetCopy(const std::string& sourceDataDirectory);

    bool copied() const { return complete; }
    // The directory holding data/: the working directory of a demo that reads this copy.
    const std::string& directory() const { return scratch.path(); }
    // False when the file is not in the copy or cannot be rewritten. Random bytes come from the
    // seed, so a damaged file is the same from run to run.
    bool damage(const std::string& fileName, Damage damage, std::uint32_t seed);
    // Puts something that is not a regular file in the file's place. False when it cannot.
    bool replace(const std::string& fileName, NotAFile kind);

private:
    ScratchDirectory scratch;
    bool complete = false;
};
