#include "recordstore/DecimalText.h"

#include <limits>

namespace brimhold::recordstore {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::optional<int64_t> ToInteger(const std::string& text, int64_t lowest, int64_t highest) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    bool negative = false;
    if (begin < end && (text[begin] == '-' || text[begin] == '+')) {
        negative = text[begin] == '-';
        ++begin;
    }
    if (begin == end) {
        return std::nullopt;
    }
    int64_t magnitude = 0;
    for (std::size_t i = begin; i < end; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > highest + 1) {  // the bound of either sign is passed; stop before overflowing
            return std::nullopt;
        }
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (value < lowest || value > highest) {
        return std::nullopt;
    }
    return value;
}

template <typename Integer>
std::optional<Integer> ToTyped(const std::string& text) {
    const auto value =
        ToInteger(text, std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max());
    if (!value) {
        return std::nullopt;
    }
    return static_cast<Integer>(*value);
}

}  // namespace

std::optional<int16_t> DecimalText::ToInt16(const std::string& text) {
    return ToTyped<int16_t>(text);
}

std::optional<int32_t> DecimalText::ToInt32(const std::string& text) {
    return ToTyped<int32_t>(text);
}

}  // namespace brimhold::recordstore
