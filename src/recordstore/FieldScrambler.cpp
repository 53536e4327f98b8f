#include "recordstore/FieldScrambler.h"

#include "recordstore/RecordStoreError.h"

#include <algorithm>

namespace brimhold::recordstore {

namespace {

int Code(char c) {
    return static_cast<unsigned char>(c);
}

void RequireKeyFor(const std::string& value, const std::string& key) {
    if (key.empty() && !value.empty()) {
        throw RecordStoreError("the scrambling key is empty: a non-empty value cannot be (un)scrambled");
    }
}

}  // namespace

std::string FieldScrambler::ScrambleField(const std::string& value, const std::string& key) {
    RequireKeyFor(value, key);
    std::string result(value.size(), '\0');
    for (std::size_t i = 0; i < value.size(); ++i) {
        int sum = Code(value[i]) + Code(key[i % key.size()]);
        while (sum > 254) {
            sum = sum % 255 + 32;
        }
        result[i] = static_cast<char>(sum);
    }
    return result;
}

std::string FieldScrambler::UnscrambleField(const std::string& value, const std::string& key) {
    RequireKeyFor(value, key);
    std::string result(value.size(), '\0');
    for (std::size_t i = 0; i < value.size(); ++i) {
        int difference = Code(value[i]) - Code(key[i % key.size()]);
        while (difference < 32) {
            difference += 255 - 32;
        }
        result[i] = static_cast<char>(difference);
    }
    return result;
}

bool FieldScrambler::SurvivesScrambling(const std::string& value) {
    return std::all_of(value.begin(), value.end(), [](char c) { return Code(c) >= 32 && Code(c) <= 254; });
}

}  // namespace brimhold::recordstore
