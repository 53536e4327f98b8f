#pragma once

#include <string>

namespace brimhold::recordstore {

// The reversible byte substitution that hides the values of scrambled (type 2) fields in the table
// file. Each byte is shifted by the matching byte of the key, the key repeating as often as needed.
// Bytes 32..254 map onto 32..254, so every value made of them unscrambles back exactly.
class FieldScrambler final {
public:
    FieldScrambler() = delete;

    // Both return a value of the same length. An empty value gives an empty value whatever the key;
    // an empty key with a non-empty value raises RecordStoreError, naming the reason.
    static std::string ScrambleField(const std::string& value, const std::string& key);
    static std::string UnscrambleField(const std::string& value, const std::string& key);
    // True when every byte of the value lies in 32..254, the only bytes that come back unchanged.
    static bool SurvivesScrambling(const std::string& value);
};

}  // namespace brimhold::recordstore
