#include "recordstore/TableFile.h"

#include "recordstore/AtomicFile.h"
#include "recordstore/DecimalText.h"
#include "recordstore/LineCodec.h"
#include "recordstore/RecordStoreError.h"

namespace brimhold::recordstore {

namespace {

const char* const kLineEnd = "\r\n";

// Hands out the lines of a file's bytes one by one, counting them from 1. A line ends at CR LF or at a
// lone CR; a lone LF belongs to the line. Bytes after the last line end form one more line.
class LineReader {
public:
    explicit LineReader(const std::string& bytes) : m_bytes(bytes) {}

    bool Next(std::string& line) {
        if (m_position >= m_bytes.size()) {
            return false;
        }
        const std::size_t cr = m_bytes.find('\r', m_position);
        const std::size_t end = cr == std::string::npos ? m_bytes.size() : cr;
        line.assign(m_bytes, m_position, end - m_position);
        m_position = end + 1;
        if (cr != std::string::npos && m_position < m_bytes.size() && m_bytes[m_position] == '\n') {
            ++m_position;
        }
        ++m_lineNumber;
        return true;
    }

    int LineNumber() const { return m_lineNumber; }

private:
    const std::string& m_bytes;
    std::size_t m_position = 0;
    int m_lineNumber = 0;
};

class Parser {
public:
    Parser(const std::string& bytes, const std::string& fileName) : m_lines(bytes), m_fileName(fileName) {}

    TableContents Parse() {
        ParseHeader();
        for (int16_t i = 1; i <= m_table.fieldCount; ++i) {
            ParseField();
        }
        ParseRecords();
        return std::move(m_table);
    }

private:
    [[noreturn]] void Fail(int lineNumber, const std::string& what) const {
        throw RecordStoreError(m_fileName + ", line " + std::to_string(lineNumber) + ": " + what);
    }

    std::vector<std::string> NextDefinitionLine(const char* whatIsMissing) {
        std::string line;
        if (!m_lines.Next(line)) {
            Fail(m_lines.LineNumber() + 1, std::string("the file ends before ") + whatIsMissing);
        }
        std::vector<std::string> values = LineCodec::SplitLine(line);
        if (values.size() < 2) {
            Fail(m_lines.LineNumber(), std::string(whatIsMissing) + " has fewer than two values");
        }
        return values;
    }

    void ParseHeader() {
        const std::vector<std::string> values = NextDefinitionLine("the header line");
        const std::optional<int16_t> fieldCount = DecimalText::ToInt16(values[1]);
        if (!fieldCount) {
            Fail(1, "the field count \"" + values[1] + "\" is not a 16-bit integer");
        }
        if (*fieldCount > TableContents::kMaxFields) {
            Fail(1, "the field count " + values[1] + " exceeds " + std::to_string(TableContents::kMaxFields));
        }
        m_table.name = values[0];
        m_table.fieldCount = *fieldCount;
    }

    void ParseField() {
        const std::vector<std::string> values = NextDefinitionLine("the last field line");
        const std::optional<int16_t> type = DecimalText::ToInt16(values[1]);
        if (!type) {
            Fail(m_lines.LineNumber(), "the field type \"" + values[1] + "\" is not a 16-bit integer");
        }
        m_table.fieldDefs.push_back(FieldDef{values[0], *type});
    }

    void ParseRecords() {
        int32_t nextId = 1;
        std::string line;
        while (m_lines.Next(line)) {
            if (m_table.RecordCount() == TableContents::kMaxRecords) {
                Fail(m_lines.LineNumber(),
                     "more than " + std::to_string(TableContents::kMaxRecords) + " records");
            }
            const std::string idText = LineCodec::FirstValue(line);
            const std::optional<int32_t> id = DecimalText::ToInt32(idText);
            if (!id) {
                Fail(m_lines.LineNumber(), "the record Id \"" + idText + "\" is not a 32-bit integer");
            }
            if (*id < 0 || *id > TableContents::kMaxId) {
                Fail(m_lines.LineNumber(), "the record Id " + std::to_string(*id) + " lies outside 0.." +
                                               std::to_string(TableContents::kMaxId));
            }
            m_table.recordLines.push_back(std::move(line));  // Next assigns it afresh
            m_table.recordIds.push_back(*id);
            m_table.idIndex[*id] = m_table.RecordCount();
            if (*id >= nextId) {
                nextId = *id + 1;
            }
        }
        m_table.autoIncrement = nextId;
    }

    LineReader m_lines;
    const std::string& m_fileName;
    TableContents m_table;
};

}  // namespace

TableContents TableFile::Parse(const std::string& bytes, const std::string& fileName) {
    return Parser(bytes, fileName).Parse();
}

std::string TableFile::Format(const TableContents& table) {
    std::string bytes;
    bytes += LineCodec::JoinLine({table.name, std::to_string(table.fieldCount)});
    bytes += kLineEnd;
    for (const FieldDef& field : table.fieldDefs) {
        bytes += LineCodec::JoinLine({field.name, std::to_string(field.type)});
        bytes += kLineEnd;
    }
    for (const std::string& line : table.recordLines) {
        if (!line.empty()) {
            bytes += line;
            bytes += kLineEnd;
        }
    }
    return bytes;
}

TableContents TableFile::Read(const std::string& fileName, FileStamp& stamp) {
    FileStamp readStamp;
    TableContents table = Parse(AtomicFile::Read(fileName, readStamp), fileName);
    stamp = readStamp;
    return table;
}

void TableFile::Write(const std::string& fileName, const TableContents& table) {
    AtomicFile::Replace(fileName, Format(table));
}

}  // namespace brimhold::recordstore
