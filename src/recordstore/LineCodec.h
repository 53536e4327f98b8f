#pragma once

#include <string>
#include <vector>

namespace brimhold::recordstore {

// The line encoding of a table file: values joined with "#", with "\" escaping "\", "#", LF and CR.
// Every line the store reads or writes passes through here, so joining and splitting always agree:
// SplitLine(JoinLine(values)) == values for any list of one or more values.
class LineCodec final {
public:
    LineCodec() = delete;

    static constexpr char kSeparator = '#';
    static constexpr char kEscape = '\\';

    // Escapes each value and joins them with one separator between neighbours. No line end is added.
    static std::string JoinLine(const std::vector<std::string>& values);

    // Splits one line (without its line end) into its unescaped values; always at least one value.
    // An unknown escape keeps the escaped character alone, and a backslash ending the line is dropped.
    static std::vector<std::string> SplitLine(const std::string& line);

    // The first value of the line, unescaped, without splitting the rest (the Id of a record line).
    static std::string FirstValue(const std::string& line);

    // Value index (from 0) of the line, unescaped (empty when the line has fewer values), and in
    // *valueCount the number of values the line holds.
    static std::string ValueAt(const std::string& line, std::size_t index, std::size_t* valueCount);
};

}  // namespace brimhold::recordstore
