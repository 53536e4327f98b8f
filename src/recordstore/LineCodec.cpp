#include "recordstore/LineCodec.h"

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

// Walks the line once, handing each completed value to onValue; stops early when onValue returns false.
template <typename OnValue>
void ScanValues(const std::string& line, OnValue onValue) {
    std::string current;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == LineCodec::kEscape) {
            if (++i < line.size()) {
                current += Unescaped(line[i]);
            }
        } else if (c == LineCodec::kSeparator) {
            if (!onValue(std::move(current))) {
                return;
            }
            current.clear();
        } else {
            current += c;
        }
    }
    onValue(std::move(current));
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
    ScanValues(line, [&values](std::string&& value) {
        values.push_back(std::move(value));
        return true;
    });
    return values;
}

std::string LineCodec::FirstValue(const std::string& line) {
    std::string first;
    ScanValues(line, [&first](std::string&& value) {
        first = std::move(value);
        return false;
    });
    return first;
}

}  // namespace brimhold::recordstore
