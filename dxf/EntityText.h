// The group lines of one DXF entity, appended to a buffer that the caller hands to DxfOutput::append.
//
// An entity starts with its type line and ends with the line "0", which introduces whatever follows; in
// between, a group code line and its value line alternate. Nothing here allocates once the buffer has grown.
#pragma once

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/RealText.h"

// Appends an integer in decimal, without leading zeros or blanks.
inline void AppendInteger(std::string& out, std::int32_t value) {
    char text[12];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

// The type line and the layer group.
inline void AppendEntityStart(std::string& out, std::string_view type, std::string_view layer) {
    out.append(type);
    out.append("\n8\n");
    out.append(layer);
    out.push_back('\n');
}

inline void AppendNumberGroup(std::string& out, std::string_view code, double value) {
    out.append(code);
    out.push_back('\n');
    AppendRealText(out, value);
    out.push_back('\n');
}

inline void AppendIntegerGroup(std::string& out, std::string_view code, std::int32_t value) {
    out.append(code);
    out.push_back('\n');
    AppendInteger(out, value);
    out.push_back('\n');
}

inline void AppendTextGroup(std::string& out, std::string_view code, std::string_view text) {
    out.append(code);
    out.push_back('\n');
    out.append(text);
    out.push_back('\n');
}

inline void AppendEntityEnd(std::string& out) {
    out.append("0\n");
}
