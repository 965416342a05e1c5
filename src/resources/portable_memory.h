#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <type_traits>

// std::bit_cast and std::make_unique_for_overwrite for the loaders, which the browser build's
// standard library (Emscripten 3.1.6) does not have yet.

template <typename To, typename From> To bitCast(const From& from) {
    static_assert(sizeof(To) == sizeof(From) && std::is_trivially_copyable_v<From>);
    To to;
    std::memcpy(&to, &from, sizeof to);
    return to;
}

// Left uninitialised: every element is written before it is read.
template <typename Element> std::unique_ptr<Element[]> uninitialisedArray(std::size_t count) {
    return std::unique_ptr<Element[]>(new Element[count]);
}
