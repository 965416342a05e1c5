#include "forge/music/melody.h"

#include <charconv>

namespace forge {

int noteNumber(std::string_view name) {
    static const int semitones[7] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    if (name.empty() || name[0] < 'A' || name[0] > 'G') {
        return -1;
    }
    int semitone = semitones[name[0] - 'A'];
    std::size_t cursor = 1;
    if (cursor < name.size() && (name[cursor] == '#' || name[cursor] == 'b')) {
        semitone += name[cursor] == '#' ? 1 : -1;
        ++cursor;
    }
    int octave = 0;
    auto [end, error] = std::from_chars(name.data() + cursor, name.data() + name.size(), octave);
    if (error != std::errc() || end != name.data() + name.size() || cursor == name.size()) {
        return -1;
    }
    return (octave + 1) * 12 + semitone;
}

std::vector<NoteEvent> parseMelody(std::string_view text, double startBeat, float velocity) {
    std::vector<NoteEvent> notes;
    double beat = startBeat;
    while (!text.empty()) {
        std::size_t space = text.find(' ');
        std::string_view token = text.substr(0, space);
        text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
        std::size_t slash = token.find('/');
        if (slash == std::string_view::npos) {
            continue;
        }
        int sixteenths = 0;
        std::from_chars(token.data() + slash + 1, token.data() + token.size(), sixteenths);
        double length = sixteenths / 4.0;
        std::string_view names = token.substr(0, slash);
        while (!names.empty()) {
            std::size_t plus = names.find('+');
            int note = noteNumber(names.substr(0, plus));
            if (note >= 0) {
                notes.push_back({beat, length, note, velocity});
            }
            names = plus == std::string_view::npos ? std::string_view() : names.substr(plus + 1);
        }
        beat += length;
    }
    return notes;
}

} // namespace forge
