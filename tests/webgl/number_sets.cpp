#include "number_sets.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

std::string numberSetsText(const NumberSets& sets) {
    std::ostringstream out;
    out << "{";
    const char* separator = "\n";
    for (const auto& [name, numbers] : sets) {
        out << separator << "  \"" << name << "\": [";
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            char text[32];
            std::snprintf(text, sizeof text, "%.9g", numbers[i]);
            out << (i == 0 ? "" : ", ") << text;
        }
        out << "]";
        separator = ",\n";
    }
    out << "\n}\n";
    return out.str();
}

bool writeNumberSets(const std::string& path, const NumberSets& sets) {
    std::ofstream out(path);
    out << numberSetsText(sets);
    return static_cast<bool>(out);
}

namespace {

bool readNumbers(const std::string& text, std::size_t& at, std::vector<double>& numbers) {
    while (at < text.size() && text[at] != ']') {
        char* end = nullptr;
        numbers.push_back(std::strtod(text.c_str() + at, &end));
        if (end == text.c_str() + at) {
            return false;
        }
        at = text.find_first_not_of(", \n", static_cast<std::size_t>(end - text.c_str()));
    }
    return at < text.size();
}

} // namespace

NumberSets readNumberSets(const std::string& path) {
    std::ifstream in(path);
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string text = buffer.str();
    NumberSets sets;
    std::size_t at = text.find('"');
    while (at != std::string::npos) {
        const std::size_t nameEnd = text.find('"', at + 1);
        const std::size_t open = text.find('[', nameEnd);
        if (nameEnd == std::string::npos || open == std::string::npos) {
            return {};
        }
        std::vector<double>& numbers = sets[text.substr(at + 1, nameEnd - at - 1)];
        std::size_t cursor = text.find_first_not_of(" \n", open + 1);
        if (!readNumbers(text, cursor, numbers)) {
            return {};
        }
        at = text.find('"', cursor);
    }
    return sets;
}
