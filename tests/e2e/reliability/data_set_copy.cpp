#include "e2e/reliability/data_set_copy.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<char> readAll(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

bool writeAll(const fs::path& path, const std::vector<char>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

std::vector<char> randomBytes(std::size_t count, std::uint32_t seed) {
    std::mt19937 generator(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<char> bytes(count);
    for (char& value : bytes) {
        value = static_cast<char>(byte(generator));
    }
    return bytes;
}

} // namespace

const char* damageName(Damage damage) {
    switch (damage) {
    case Damage::missing:
        return "missing";
    case Damage::truncatedToHalf:
        return "truncated to half";
    case Damage::randomBytes:
        return "overwritten with random bytes";
    }
    return "?";
}

DataSetCopy::DataSetCopy(const std::string& sourceDataDirectory) {
    std::error_code error;
    fs::copy(sourceDataDirectory, scratch.file("data"), fs::copy_options::recursive, error);
    complete = !error;
}

bool DataSetCopy::replace(const std::string& fileName, NotAFile kind) {
    std::error_code error;
    return fs::remove(scratch.file("data/" + fileName), error) &&
           scratch.makeNotAFile("data/" + fileName, kind);
}

bool DataSetCopy::damage(const std::string& fileName, Damage kind, std::uint32_t seed) {
    const fs::path path = scratch.file("data/" + fileName);
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        return false;
    }
    switch (kind) {
    case Damage::missing:
        return fs::remove(path, error);
    case Damage::truncatedToHalf: {
        std::vector<char> bytes = readAll(path);
        bytes.resize(bytes.size() / 2);
        return writeAll(path, bytes);
    }
    case Damage::randomBytes:
        return writeAll(path, randomBytes(fs::file_size(path, error), seed));
    }
    return false;
}
