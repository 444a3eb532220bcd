// Byte strings written out in tests: listed byte values and little-endian words.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

// The listed byte values (0 to 255) as a string.
inline std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values)
        out.push_back(char(v));
    return out;
}

// A 32-bit value as four little-endian bytes.
inline std::string le32(uint32_t v) {
    return bytes({int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF), int(v >> 24)});
}
