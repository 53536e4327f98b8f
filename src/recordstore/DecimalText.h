#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace brimhold::recordstore {

// Conversion of the numbers held as text in table files and records: an optionally signed decimal
// integer, optionally surrounded by blanks. Anything else, or a number outside the type, gives nothing.
class DecimalText final {
public:
    DecimalText() = delete;

    static std::optional<int16_t> ToInt16(const std::string& text);
    static std::optional<int32_t> ToInt32(const std::string& text);
};

}  // namespace brimhold::recordstore
