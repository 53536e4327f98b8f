#include "recordstore/RecordStoreError.h"
#include "recordstore/TableFile.h"

#include "ServerListSchema.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace brimhold::recordstore;

namespace {

using testing::AllOf;
using testing::HasSubstr;
using testing::ThrowsMessage;

const std::string kServerListHeader = kServerListSchema;

TEST(TableFileParse, ReadsAHandWrittenFileWithEscapes) {
    const std::string bytes =
        "Server\\#lijst#5\r\n"
        "Id#-1\r\n"
        "Server\\#naam#0\r\n"
        "IP#0\r"  // a lone CR ends a line too
        "Port#0\r\n"
        "Password#2\r\n"
        "7#A \\#1 \\\\ server#10.0.0.1#28960#\r\n"
        "3#line\\r\\nbreak#host\nwith LF#1#\xA7\xFF\r\n";
    const TableContents table = TableFile::Parse(bytes, "hand.sdb");

    EXPECT_EQ(table.name, "Server#lijst");
    ASSERT_EQ(table.fieldCount, 5);
    ASSERT_EQ(table.fieldDefs.size(), 5u);
    EXPECT_EQ(table.fieldDefs[0].name, "Id");
    EXPECT_EQ(table.fieldDefs[0].type, -1);
    EXPECT_EQ(table.fieldDefs[1].name, "Server#naam");
    EXPECT_EQ(table.fieldDefs[2].name, "IP");
    EXPECT_EQ(table.fieldDefs[3].name, "Port");
    EXPECT_EQ(table.fieldDefs[4].type, 2);
    ASSERT_EQ(table.RecordCount(), 2);
    // Record lines are kept exactly as they stand in the file.
    EXPECT_EQ(table.recordLines[0], "7#A \\#1 \\\\ server#10.0.0.1#28960#");
    EXPECT_EQ(table.recordLines[1], "3#line\\r\\nbreak#host\nwith LF#1#\xA7\xFF");
    EXPECT_EQ(table.recordIds, (std::vector<int32_t>{7, 3}));
    EXPECT_EQ(table.idIndex[7], 1);
    EXPECT_EQ(table.idIndex[3], 2);
    EXPECT_EQ(table.idIndex[5], 0);
    EXPECT_EQ(table.autoIncrement, 8);
}

TEST(TableFileParse, AutoIncrementIsOneAboveTheLargestId) {
    EXPECT_EQ(TableFile::Parse("T#1\r\nId#-1\r\n3\r\n9\r\n5\r\n", "t").autoIncrement, 10);
    EXPECT_EQ(TableFile::Parse("T#1\r\nId#-1\r\n", "t").autoIncrement, 1);
    EXPECT_EQ(TableFile::Parse("T#1\r\nId#-1\r\n0\r\n0\r\n", "t").autoIncrement, 1);
    EXPECT_EQ(TableFile::Parse("T#1\r\nId#-1\r\n10000", "t").autoIncrement, 10001);
}

TEST(TableFileParse, TheLaterOfTwoRecordsWithOneIdWinsTheIndex) {
    const TableContents table = TableFile::Parse("T#2\r\nId#-1\r\nName#0\r\n4#a\r\n4#b\r\n", "t");
    EXPECT_EQ(table.RecordCount(), 2);
    EXPECT_EQ(table.idIndex[4], 2);
}

TEST(TableFileParse, ExtraValuesAreIgnoredAndFieldsBeyondTheCountAreRecords) {
    const TableContents table = TableFile::Parse("T#1#extra\r\nId#-1#more\r\n1#a#b#c\r\n", "t");
    EXPECT_EQ(table.name, "T");
    EXPECT_EQ(table.fieldDefs.size(), 1u);
    EXPECT_EQ(table.recordLines[0], "1#a#b#c");
}

struct MalformedCase {
    const char* what;
    std::string bytes;
    int lineNumber;
    const char* complaint;
};

void PrintTo(const MalformedCase& c, std::ostream* out) {
    *out << c.what;
}

class MalformedFileTest : public testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedFileTest, RaisesWithTheFileTheLineAndTheReason) {
    const MalformedCase& c = GetParam();
    EXPECT_THAT([&] { TableFile::Parse(c.bytes, "/data/broken.sdb"); },
                ThrowsMessage<RecordStoreError>(AllOf(HasSubstr("/data/broken.sdb"),
                                                      HasSubstr("line " + std::to_string(c.lineNumber) + ":"),
                                                      HasSubstr(c.complaint))))
        << c.what;
}

std::string manyRecords(int count) {
    std::string bytes = "T#1\r\nId#-1\r\n";
    for (int id = 1; id <= count; ++id) {
        bytes += std::to_string(id) + "\r\n";
    }
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    EachFailure, MalformedFileTest,
    testing::Values(
        MalformedCase{"empty file", "", 1, "ends before the header line"},
        MalformedCase{"header of one value", "Serverlijst\r\n", 1, ": the header line has fewer than two"},
        MalformedCase{"field count not a number", "T#five\r\n", 1, "not a 16-bit integer"},
        MalformedCase{"field count beyond 16 bits", "T#40000\r\n", 1, "not a 16-bit integer"},
        MalformedCase{"too many fields", "T#501\r\n", 1, "exceeds 500"},
        MalformedCase{"file ends among the fields", "T#3\r\nId#-1\r\nName#0\r\n", 4, "ends before"},
        MalformedCase{"field line of one value", "T#2\r\nId#-1\r\nName\r\n", 3, "fewer than two values"},
        MalformedCase{"field type not a number", "T#2\r\nId#-1\r\nName#text\r\n", 3, "not a 16-bit integer"},
        MalformedCase{"Id not a number", "T#1\r\nId#-1\r\n1\r\nabc#x\r\n", 4, "not a 32-bit integer"},
        MalformedCase{"Id beyond 32 bits", "T#1\r\nId#-1\r\n3000000000\r\n", 3, "not a 32-bit integer"},
        MalformedCase{"Id above 10000", "T#1\r\nId#-1\r\n10001\r\n", 3, "outside 0..10000"},
        MalformedCase{"negative Id", "T#1\r\nId#-1\r\n-1\r\n", 3, "outside 0..10000"},
        MalformedCase{"blank line after the records", "T#1\r\nId#-1\r\n1\r\n\r\n", 4, "\"\""},
        MalformedCase{"lines ending in LF alone", "T#1\nId#-1\n1\n", 1, "not a 16-bit integer"},
        MalformedCase{"more than 10000 records", manyRecords(10001), 10003, "more than 10000 records"}));

TEST(TableFileParse, TenThousandRecordsAndFiveHundredFieldsAreAllowed) {
    EXPECT_EQ(TableFile::Parse(manyRecords(10000), "t").RecordCount(), 10000);
    std::string fiveHundredFields = "T#500\r\n";
    for (int i = 1; i <= 500; ++i) {
        fiveHundredFields += "F" + std::to_string(i) + "#0\r\n";
    }
    const TableContents table = TableFile::Parse(fiveHundredFields, "t");
    EXPECT_EQ(table.fieldCount, 500);
    EXPECT_EQ(table.fieldDefs.back().name, "F500");
}

TEST(TableFileFormat, WritesCrLfLinesAndDropsOnlyWhatTheTableDoesNotUse) {
    TableContents table = TableFile::Parse("T#2#extra\r\nId#-1#x\r\nA\\#B#0\r\n1#a#kept\r\n2#b\r\n", "t");
    table.recordLines[1].clear();  // an empty record line is never written
    EXPECT_EQ(TableFile::Format(table), "T#2\r\nId#-1\r\nA\\#B#0\r\n1#a#kept\r\n");
}

TEST(TableFileFormat, AFileWrittenByTheStoreReadsBackByteForByte) {
    const std::string bytes = kServerListHeader + "1#One#h#1#\xA7\r\n5#Two \\# \\\\#h#2#\r\n";
    EXPECT_EQ(TableFile::Format(TableFile::Parse(bytes, "t")), bytes);
}

}  // namespace
