// The line encoding and the field scrambling: arbitrary lines split and rejoin consistently, one value
// read alone is that value of the split, any list of values survives a join and split, and scrambling
// undoes exactly on the bytes it is defined on (32..254).
#include "recordstore/FieldScrambler.h"
#include "recordstore/LineCodec.h"
#include "recordstore/RecordStoreError.h"

#include "FuzzCheck.h"

#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <vector>

using namespace brimhold::recordstore;

namespace {

bool IsScramblable(char c) {
    const int code = static_cast<unsigned char>(c);
    return code >= 32 && code <= 254;
}

void CheckLine(const std::string& line) {
    const std::vector<std::string> values = LineCodec::SplitLine(line);
    FUZZ_CHECK(!values.empty());
    FUZZ_CHECK(LineCodec::FirstValue(line) == values[0]);
    FUZZ_CHECK(LineCodec::SplitLine(LineCodec::JoinLine(values)) == values);
    for (std::size_t i = 0; i <= values.size(); ++i) {
        std::size_t count = 0;
        FUZZ_CHECK(LineCodec::ValueAt(line, i, &count) == (i < values.size() ? values[i] : std::string()));
        FUZZ_CHECK(count == values.size());
    }
}

void CheckValues(const std::vector<std::string>& values) {
    const std::string line = LineCodec::JoinLine(values);
    // A joined line must never hold a line end of its own, or the file would gain a line.
    FUZZ_CHECK(line.find('\r') == std::string::npos && line.find('\n') == std::string::npos);
    FUZZ_CHECK(LineCodec::SplitLine(line) == values);
    FUZZ_CHECK(LineCodec::FirstValue(line) == values[0]);
}

void CheckScrambling(const std::string& value, const std::string& key) {
    if (key.empty()) {
        bool refused = false;
        try {
            FieldScrambler::ScrambleField(value, key);
        } catch (const RecordStoreError&) {
            refused = true;
        }
        FUZZ_CHECK(refused == !value.empty());
        return;
    }
    const std::string scrambled = FieldScrambler::ScrambleField(value, key);
    const std::string unscrambled = FieldScrambler::UnscrambleField(scrambled, key);
    FUZZ_CHECK(scrambled.size() == value.size() && unscrambled.size() == value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (IsScramblable(value[i])) {
            FUZZ_CHECK(IsScramblable(scrambled[i]));
            FUZZ_CHECK(unscrambled[i] == value[i]);
        }
    }
    // Read the other way: any stored text of bytes 32..254 unscrambles to a value that scrambles back.
    const std::string plain = FieldScrambler::UnscrambleField(value, key);
    const std::string again = FieldScrambler::ScrambleField(plain, key);
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (IsScramblable(value[i])) {
            FUZZ_CHECK(IsScramblable(plain[i]) && again[i] == value[i]);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckLine(std::string(reinterpret_cast<const char*>(data), size));

    FuzzedDataProvider input(data, size);
    const std::string key = input.ConsumeRandomLengthString(32);
    std::vector<std::string> values(input.ConsumeIntegralInRange<std::size_t>(1, 8));
    for (std::string& value : values) {
        value = input.ConsumeRandomLengthString();
    }
    CheckValues(values);
    for (const std::string& value : values) {
        CheckScrambling(value, key);
    }
    return 0;
}
