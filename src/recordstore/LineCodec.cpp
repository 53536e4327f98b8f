#include "recordstore/LineCodec.h"

#include <algorithm>
#include <cstring>

namespace brimhold::recordstore {

namespace {

void AppendEscaped(std::string& line, const std::string& value) {
    for (const char c : value) {
        switch (c) {
            case LineCodec::kEscape:
                line += "\\\\";
                break;
            case LineCodec::kSeparator:
                line += "\\#";
                break;
            case '\n':
                line += "\\n";
                break;
            case '\r':
                line += "\\r";
                break;
            default:
                line += c;
        }
    }
}

char Unescaped(char escaped) {
    switch (escaped) {
        case 'n':
            return '\n';
        case 'r':
            return '\r';
        default:
            return escaped;  // "\\", "\#" and every unknown escape give the character itself
    }
}

// The position of the first separator at or after from, npos when there is none. A "#" is a separator
// unless an odd run of escapes ends just before it: each escape takes the character after it, so "\\#"
// is an escaped escape and then a separator. (from is always the start of a value, so no escape before
// it reaches past it.)
std::size_t NextSeparator(const std::string& line, std::size_t from) {
    const char* const data = line.data();
    const char* const end = data + line.size();
    for (const char* at = data + from; at < end; ++at) {
        at = static_cast<const char*>(std::memchr(at, LineCodec::kSeparator, std::size_t(end - at)));
        if (at == nullptr) {
            break;
        }
        const char* run = at;
        while (run > data + from && run[-1] == LineCodec::kEscape) {
            --run;
        }
        if ((at - run) % 2 == 0) {
            return std::size_t(at - data);
        }
    }
    return std::string::npos;
}

// The characters from..to of a line, one value, unescaped.
std::string Unescape(const std::string& line, std::size_t from, std::size_t to) {
    std::string value;
    value.reserve(to - from);
    const char* const data = line.data();
    std::size_t i = from;
    while (i < to) {
        const auto* escape = static_cast<const char*>(std::memchr(data + i, LineCodec::kEscape, to - i));
        const std::size_t stop = escape == nullptr ? to : std::size_t(escape - data);
        value.append(data + i, stop - i);
        if (stop + 1 < to) {
            value += Unescaped(data[stop + 1]);
        }
        i = stop + 2;
    }
    return value;
}

// Hands the bounds of each value, from..to with the separator excluded, to onValue, first to last.
template <typename OnValue>
void ForEachValue(const std::string& line, OnValue onValue) {
    std::size_t valueStart = 0;
    for (;;) {
        const std::size_t separator = NextSeparator(line, valueStart);
        onValue(valueStart, std::min(separator, line.size()));
        if (separator == std::string::npos) {
            return;
        }
        valueStart = separator + 1;
    }
}

}  // namespace

std::string LineCodec::JoinLine(const std::vector<std::string>& values) {
    std::string line;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) {
            line += kSeparator;
        }
        AppendEscaped(line, values[i]);
    }
    return line;
}

std::vector<std::string> LineCodec::SplitLine(const std::string& line) {
    std::vector<std::string> values;
    ForEachValue(line, [&](std::size_t from, std::size_t to) { values.push_back(Unescape(line, from, to)); });
    return values;
}

std::string LineCodec::FirstValue(const std::string& line) {
    return Unescape(line, 0, std::min(NextSeparator(line, 0), line.size()));
}

std::string LineCodec::ValueAt(const std::string& line, std::size_t index, std::size_t* valueCount) {
    std::string wanted;
    std::size_t count = 0;
    ForEachValue(line, [&](std::size_t from, std::size_t to) {
        if (count++ == index) {
            wanted = Unescape(line, from, to);  // only the wanted value is unescaped
        }
    });
    *valueCount = count;
    return wanted;
}

}  // namespace brimhold::recordstore
