#include "recordstore/LineCodec.h"
#include "recordstore/RecordStoreError.h"
#include "recordstore/ZurerEzuz.h"

#include "FileSizeLimit.h"
#include "ScratchDirectory.h"
#include "ServerListSchema.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>

using namespace brimhold::recordstore;

namespace {

using testing::AllOf;
using testing::HasSubstr;
using testing::ThrowsMessage;
using Collection = ZurerEzuz::Collection;

const std::string kServerListHeader = kServerListSchema;
const std::string kStoreKey("\x26\x51\x23\xA7\x6B\xFF\x72\x56\x89", 9);

std::string scrambled(const std::string& plain) {
    // "abc" under the store's key: a + 0x26, b + 0x51, c + 0x23.
    std::string result;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        int sum = static_cast<unsigned char>(plain[i]) + static_cast<unsigned char>(kStoreKey[i % 9]);
        while (sum > 254) {
            sum = sum % 255 + 32;
        }
        result += static_cast<char>(sum);
    }
    return result;
}

// A server-list file whose records have the given Ids, named "server <Id>", with password "pw<Id>".
std::string serverListWithIds(const std::vector<int>& ids) {
    std::string bytes = kServerListHeader;
    for (const int id : ids) {
        const std::string text = std::to_string(id);
        bytes +=
            LineCodec::JoinLine({text, "server " + text, "10.0.0." + text, "28960", scrambled("pw" + text)});
        bytes += "\r\n";
    }
    return bytes;
}

class ZurerEzuzTest : public testing::Test {
protected:
    std::string writeTable(const std::string& bytes, const std::string& name = "servers.sdb") {
        const std::string path = m_directory.File(name);
        WriteBytes(path, bytes);
        return path;
    }

    // Opens a fresh table file with the given bytes, optionally with AutoSave on.
    std::string open(const std::string& bytes, bool autoSave = false) {
        const std::string path = writeTable(bytes);
        EXPECT_TRUE(m_store.OpenDatabase(path, false)) << m_store.LastError();
        m_store.setAutoSave(autoSave);
        return path;
    }

    std::vector<std::string> namesInOrder() {
        std::vector<std::string> names;
        for (int32_t nr = 1; nr <= m_store.RecordCount(); ++nr) {
            names.push_back(m_store.Record(nr).value().at(1));
        }
        return names;
    }

    ScratchDirectory m_directory;
    ZurerEzuz m_store;
};

TEST_F(ZurerEzuzTest, ANewObjectHasNothingOpenAndTheStoreKey) {
    EXPECT_FALSE(m_store.isOpen());
    EXPECT_FALSE(m_store.isReadOnly());
    EXPECT_FALSE(m_store.AutoSave());
    EXPECT_EQ(m_store.AutoIncrement(), 0);
    EXPECT_EQ(m_store.RecordCount(), 0);
    EXPECT_EQ(m_store.FieldCount(), 0);
    EXPECT_EQ(m_store.SmartEncryptKey(), kStoreKey);
    EXPECT_EQ(m_store.LastError(), "");
    EXPECT_EQ(m_store.FieldName(0), "");
    EXPECT_EQ(m_store.FieldType(0), 0);
}

TEST_F(ZurerEzuzTest, EveryOperationWithoutATableFailsSoftly) {
    m_store.setAutoSave(true);
    EXPECT_EQ(m_store.Name(), "");  // no reload of a table that is not open
    EXPECT_FALSE(m_store.Record(1));
    EXPECT_EQ(m_store.LastError(), "Er is geen database geopend");
    Collection data{"0", "a", "b", "c", "d"};
    m_store.setAutoSave(false);
    m_store.setName("x");
    m_store.setAutoSave(true);
    EXPECT_FALSE(m_store.SetRecord(data));
    EXPECT_EQ(data, (Collection{"0", "a", "b", "c", "d"}));
    EXPECT_FALSE(m_store.RemRecord(1));
    EXPECT_FALSE(m_store.SaveDatabase());
    EXPECT_EQ(m_store.LastError(), "Er is geen database geopend");
    EXPECT_FALSE(m_store.isOpen());
}

TEST_F(ZurerEzuzTest, AMissingFileIsASoftFailureThatOnlyRemembersTheName) {
    const std::string missing = m_directory.File("missing.sdb");
    EXPECT_FALSE(m_store.OpenDatabase(missing, false));
    EXPECT_EQ(m_store.LastError(), "Bestand niet gevonden");
    EXPECT_EQ(m_store.FileName(), missing);
    EXPECT_FALSE(m_store.isOpen());

    // Interactive without a question counts as No; a directory is not a table file.
    EXPECT_FALSE(m_store.OpenDatabase(m_directory.Path(), true));
    EXPECT_EQ(m_store.FileName(), m_directory.Path());
    EXPECT_FALSE(m_store.isOpen());
}

TEST_F(ZurerEzuzTest, InteractiveOpenAsksAndNoIsASoftFailure) {
    std::string askedText;
    std::string askedTitle;
    m_store.setYesNoQuestion([&](const std::string& text, const std::string& title) {
        askedText = text;
        askedTitle = title;
        return false;
    });
    EXPECT_FALSE(m_store.OpenDatabase(m_directory.File("missing.sdb"), true));
    EXPECT_EQ(askedText, "Dit bestand bestaat niet. Wilt u een nieuwe database aanmaken?");
    EXPECT_EQ(askedTitle, "ZurerEzuz");
    EXPECT_EQ(m_store.LastError(), "Bestand niet gevonden");
}

TEST_F(ZurerEzuzTest, InteractiveYesHasNoSchemaToCreateAndRaisesTheMissingFile) {
    m_store.setYesNoQuestion([](const std::string&, const std::string&) { return true; });
    const std::string missing = m_directory.File("missing.sdb");
    EXPECT_THAT([&] { m_store.OpenDatabase(missing, true); },
                ThrowsMessage<RecordStoreError>(HasSubstr(missing)));
    EXPECT_FALSE(m_store.isOpen());
    EXPECT_TRUE(m_directory.Entries().empty());
}

TEST_F(ZurerEzuzTest, InteractiveYesOnAPipeRaisesInsteadOfWaitingForAWriter) {
    m_store.setYesNoQuestion([](const std::string&, const std::string&) { return true; });
    const std::string pipe = m_directory.File("pipe.sdb");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_THAT([&] { m_store.OpenDatabase(pipe, true); },
                ThrowsMessage<RecordStoreError>(HasSubstr(pipe + ": ")));
    EXPECT_FALSE(m_store.isOpen());
}

TEST_F(ZurerEzuzTest, OpensTheServerListAndHandsOutPlainValues) {
    open(serverListWithIds({3, 9, 5}));
    EXPECT_TRUE(m_store.isOpen());
    EXPECT_EQ(m_store.Name(), "Serverlijst");
    EXPECT_EQ(m_store.FieldCount(), 5);
    EXPECT_EQ(m_store.RecordCount(), 3);
    EXPECT_EQ(m_store.AutoIncrement(), 10);
    EXPECT_EQ(m_store.FieldName(2), "Servernaam");
    EXPECT_EQ(m_store.FieldType(1), -1);
    EXPECT_EQ(m_store.FieldType(5), 2);
    EXPECT_EQ(m_store.FieldName(6), "");
    EXPECT_EQ(m_store.FieldName(500), "");
    EXPECT_EQ(m_store.GetRecordNrById(9), 2);
    EXPECT_EQ(m_store.GetRecordNrById(4), 0);
    EXPECT_EQ(m_store.Record(2), (Collection{"9", "server 9", "10.0.0.9", "28960", "pw9"}));
}

TEST_F(ZurerEzuzTest, AFileWithoutWritePermissionOpensReadOnlyAndIsNeverWritten) {
    const std::string bytes = serverListWithIds({1, 2});
    const std::string path = writeTable(bytes);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    ASSERT_TRUE(m_store.OpenDatabase(path, false));
    m_store.setAutoSave(true);
    EXPECT_TRUE(m_store.isReadOnly());
    EXPECT_EQ(m_store.Record(1).value().at(1), "server 1");

    EXPECT_FALSE(m_store.SaveDatabase());
    EXPECT_EQ(m_store.LastError(), "Database is alleen lezen");
    Collection data{"0", "new", "h", "1", "pw"};
    EXPECT_FALSE(m_store.SetRecord(data));
    EXPECT_FALSE(m_store.RemRecord(1));
    EXPECT_EQ(m_store.LastError(), "Database is alleen lezen");
    EXPECT_EQ(m_store.RecordCount(), 2);
    EXPECT_EQ(ReadBytes(path), bytes);
}

TEST_F(ZurerEzuzTest, ANewRecordGetsTheNextIdAndGoesLast) {
    const std::string path = open(serverListWithIds({1, 4, 2}));
    Collection data = ZurerEzuz::ArrayToCollection({"0", "New # one", "host", "28960", "secret"});
    ASSERT_TRUE(m_store.SetRecord(data));
    EXPECT_EQ(data, (Collection{"5", "New # one", "host", "28960", scrambled("secret")}));
    EXPECT_EQ(m_store.RecordCount(), 4);
    EXPECT_EQ(m_store.AutoIncrement(), 6);
    EXPECT_EQ(m_store.GetRecordNrById(5), 4);
    EXPECT_EQ(m_store.Record(4), (Collection{"5", "New # one", "host", "28960", "secret"}));
    EXPECT_EQ(ReadBytes(path), serverListWithIds({1, 4, 2})) << "AutoSave off: the file waits for a save";

    ASSERT_TRUE(m_store.SaveDatabase());
    EXPECT_EQ(ReadBytes(path), serverListWithIds({1, 4, 2}) + "5#New \\# one#host#28960#" +
                                   LineCodec::JoinLine({scrambled("secret")}) + "\r\n");
}

TEST_F(ZurerEzuzTest, AnExistingIdReplacesItsRecordInPlace) {
    open(serverListWithIds({1, 2, 3}), true);
    Collection data{"2", "renamed", "h", "1", "pw"};
    ASSERT_TRUE(m_store.SetRecord(data));
    EXPECT_EQ(m_store.RecordCount(), 3);
    EXPECT_EQ(m_store.GetRecordNrById(2), 2);
    EXPECT_EQ(namesInOrder(), (std::vector<std::string>{"server 1", "renamed", "server 3"}));
}

TEST_F(ZurerEzuzTest, AWrongNumberOfValuesIsAnInvalidRecord) {
    const std::string path = open(serverListWithIds({1}), true);
    Collection data{"0", "a", "b", "c"};
    EXPECT_FALSE(m_store.SetRecord(data));
    EXPECT_EQ(m_store.LastError(), "Record ongeldig");
    EXPECT_EQ(data, (Collection{"0", "a", "b", "c"}));
    EXPECT_EQ(m_store.RecordCount(), 1);
    EXPECT_EQ(m_store.AutoIncrement(), 2);
    EXPECT_EQ(ReadBytes(path), serverListWithIds({1}));
}

TEST_F(ZurerEzuzTest, EveryPrintableByteSurvivesAStoreASaveAndAFreshOpen) {
    std::string everyByte;
    for (int code = 32; code <= 254; ++code) {
        everyByte += static_cast<char>(code);
    }
    const std::vector<std::string> values{everyByte, " # \\ ", "\\#", "#", "\\", "trailing\\", "  ", ""};
    const std::string path = open(kServerListHeader, true);
    for (const std::string& value : values) {
        Collection data{"0", value, value + "#", "\\" + value, value};
        ASSERT_TRUE(m_store.SetRecord(data));
    }

    const std::string bytes = ReadBytes(path);
    EXPECT_EQ(bytes.find('\n'), bytes.find("\r\n") + 1) << "a raw LF inside a line";

    ZurerEzuz reopened;
    ASSERT_TRUE(reopened.OpenDatabase(path, false));
    ASSERT_EQ(reopened.RecordCount(), static_cast<int32_t>(values.size()));
    for (std::size_t i = 0; i < values.size(); ++i) {
        const auto nr = static_cast<int32_t>(i + 1);
        EXPECT_EQ(reopened.Record(nr),
                  (Collection{std::to_string(nr), values[i], values[i] + "#", "\\" + values[i], values[i]}))
            << "value " << i;
    }
}

TEST_F(ZurerEzuzTest, AScrambledValueThatCannotComeBackIsRefusedNamingItsField) {
    const std::string bytes = serverListWithIds({1});
    const std::string path = open(bytes, true);
    for (const std::string& password :
         {std::string("a\tb"), std::string("\xFF"), std::string("x\0y", 3), std::string("\x1F")}) {
        for (const char* id : {"0", "1"}) {
            Collection data{id, "n", "h", "1", password};
            EXPECT_FALSE(m_store.SetRecord(data));
            EXPECT_EQ(m_store.LastError(), "Ongeldig teken in veld Password");
            EXPECT_EQ(data, (Collection{id, "n", "h", "1", password}));
        }
    }
    EXPECT_EQ(m_store.RecordCount(), 1);
    EXPECT_EQ(m_store.AutoIncrement(), 2);
    EXPECT_EQ(ReadBytes(path), bytes);

    // Plain fields keep every byte, the ones a scrambled field refuses included.
    std::string unusual("\0", 1);
    for (int code = 1; code < 32; ++code) {
        unusual += static_cast<char>(code);
    }
    unusual += '\xFF';
    Collection data{"0", unusual, unusual, unusual, "ok"};
    ASSERT_TRUE(m_store.SetRecord(data));
    ZurerEzuz reopened;
    ASSERT_TRUE(reopened.OpenDatabase(path, false));
    EXPECT_EQ(reopened.Record(2), (Collection{"2", unusual, unusual, unusual, "ok"}));
}

TEST_F(ZurerEzuzTest, ANewKeyReadsOldValuesGarbledWithoutError) {
    open(serverListWithIds({1}));
    m_store.setSmartEncryptKey("other");
    EXPECT_NE(m_store.Record(1).value().at(4), "pw1");
    m_store.setSmartEncryptKey(kStoreKey);
    EXPECT_EQ(m_store.Record(1).value().at(4), "pw1");
}

TEST_F(ZurerEzuzTest, RemovingMovesLaterRecordsDownAndKeepsTheIdIndexRight) {
    const std::string path = open(serverListWithIds({7, 8, 9}));
    ASSERT_TRUE(m_store.RemRecord(1));
    EXPECT_EQ(m_store.RecordCount(), 2);
    EXPECT_EQ(namesInOrder(), (std::vector<std::string>{"server 8", "server 9"}));
    EXPECT_EQ(m_store.GetRecordNrById(7), 0);
    // Without a reload the moved records are found at their new numbers.
    EXPECT_EQ(m_store.GetRecordNrById(8), 1);
    EXPECT_EQ(m_store.GetRecordNrById(9), 2);
    Collection data{"9", "changed", "h", "1", ""};
    ASSERT_TRUE(m_store.SetRecord(data));
    EXPECT_EQ(namesInOrder(), (std::vector<std::string>{"server 8", "changed"}));
    EXPECT_EQ(m_store.RecordCount(), 2);

    ASSERT_TRUE(m_store.RemRecord(2));
    EXPECT_EQ(namesInOrder(), (std::vector<std::string>{"server 8"}));
    ASSERT_TRUE(m_store.SaveDatabase());
    EXPECT_EQ(ReadBytes(path), serverListWithIds({8}));
}

struct AutoIncrementCase {
    std::vector<int> ids;
    int removedNr;
    int expectedNewId;
};

void PrintTo(const AutoIncrementCase& c, std::ostream* out) {
    *out << "remove record " << c.removedNr << ", expect Id " << c.expectedNewId;
}

class AutoIncrementAfterRemovalTest : public ZurerEzuzTest,
                                      public testing::WithParamInterface<AutoIncrementCase> {};

TEST_P(AutoIncrementAfterRemovalTest, TheReloadBeforeAnAddRecomputesTheNextId) {
    const AutoIncrementCase& c = GetParam();
    open(serverListWithIds(c.ids), true);
    ASSERT_TRUE(m_store.RemRecord(c.removedNr));
    Collection data{"0", "new", "h", "1", "pw"};
    ASSERT_TRUE(m_store.SetRecord(data));
    EXPECT_EQ(data[0], std::to_string(c.expectedNewId));
    EXPECT_EQ(m_store.AutoIncrement(), c.expectedNewId + 1);
}

INSTANTIATE_TEST_SUITE_P(LargestIdRemoved, AutoIncrementAfterRemovalTest,
                         testing::Values(AutoIncrementCase{{1, 2, 3}, 3, 3}, AutoIncrementCase{{1, 5}, 2, 2},
                                         AutoIncrementCase{{5}, 1, 1}, AutoIncrementCase{{4, 2}, 2, 5}));

// Ways another program may change the file after this object loaded it.
struct OtherWriterCase {
    const char* what;
    time_t ageAtLoad;      // seconds; above 2 the file's time proves it unchanged while the stamp is equal
    bool replaceByRename;  // a new inode instead of an overwrite in place
    bool sameSize;
    bool keepModificationTime;
};

void PrintTo(const OtherWriterCase& c, std::ostream* out) {
    *out << c.what;
}

class OtherWriterTest : public ZurerEzuzTest, public testing::WithParamInterface<OtherWriterCase> {};

TEST_P(OtherWriterTest, TheNextRecordCallSeesTheChange) {
    const OtherWriterCase& c = GetParam();
    const std::string before = serverListWithIds({1, 2});
    const std::string after = c.sameSize ? serverListWithIds({1, 3}) : serverListWithIds({1, 3, 4});
    const std::string path = writeTable(before);
    const timespec timeAtLoad = SecondsAgo(c.ageAtLoad);
    SetModificationTime(path, timeAtLoad);
    ASSERT_TRUE(m_store.OpenDatabase(path, false));
    m_store.setAutoSave(true);
    ASSERT_EQ(m_store.Record(2).value().at(1), "server 2");

    if (c.replaceByRename) {
        const std::string other = writeTable(after, "other.sdb");
        ASSERT_EQ(::rename(other.c_str(), path.c_str()), 0);
    } else {
        OverwriteInPlace(path, after);
    }
    if (c.keepModificationTime) {
        SetModificationTime(path, timeAtLoad);
    }
    EXPECT_EQ(m_store.Record(2).value().at(1), "server 3") << c.what;
    EXPECT_EQ(m_store.GetRecordNrById(2), 0) << c.what << ": a removed record survived the reload";
    EXPECT_EQ(m_store.GetRecordNrById(3), 2) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Changes, OtherWriterTest,
    testing::Values(OtherWriterCase{"recent file rewritten in place within its clock tick", 1, false, true,
                                    true},
                    OtherWriterCase{"recent file rewritten in place", 0, false, true, false},
                    OtherWriterCase{"settled file rewritten in place, other size", 60, false, false, true},
                    OtherWriterCase{"settled file rewritten in place, new time", 60, false, true, false},
                    OtherWriterCase{"settled file replaced by rename, old time", 60, true, true, true},
                    OtherWriterCase{"recent file replaced by rename", 1, true, false, false}));

TEST_F(ZurerEzuzTest, ASettledUnchangedStampSkipsTheReload) {
    // The one case in which the file is not read again: device, inode, size and time all equal and
    // the time well before the load. Faking exactly that shows the skipped read as a stale value.
    const std::string path = writeTable(serverListWithIds({1, 2}));
    const timespec oldTime = SecondsAgo(60);
    SetModificationTime(path, oldTime);
    ASSERT_TRUE(m_store.OpenDatabase(path, false));
    m_store.setAutoSave(true);
    OverwriteInPlace(path, serverListWithIds({1, 3}));
    SetModificationTime(path, oldTime);
    EXPECT_EQ(m_store.Record(2).value().at(1), "server 2");
}

TEST_F(ZurerEzuzTest, OnlyTheRecordOperationsAndTheNameReadTheFileAgain) {
    const std::string path = open(serverListWithIds({1, 2}), true);
    OverwriteInPlace(path, serverListWithIds({1, 2, 3}));
    EXPECT_EQ(m_store.RecordCount(), 2);
    EXPECT_EQ(m_store.AutoIncrement(), 3);
    EXPECT_EQ(m_store.GetRecordNrById(3), 0);
    EXPECT_EQ(m_store.FieldName(2), "Servernaam");
    EXPECT_EQ(m_store.Name(), "Serverlijst");
    EXPECT_EQ(m_store.RecordCount(), 3);
    EXPECT_EQ(m_store.GetRecordNrById(3), 3);
}

// A reload takes the table from the file, so a change held only in memory is gone after it, even when
// the file itself is old and unchanged.
TEST_F(ZurerEzuzTest, AReloadDropsChangesThatWereNeverSaved) {
    const std::string path = writeTable(serverListWithIds({1, 2}));
    SetModificationTime(path, SecondsAgo(60));
    ASSERT_TRUE(m_store.OpenDatabase(path, false));

    Collection data{"0", "unsaved", "h", "1", "pw"};
    ASSERT_TRUE(m_store.SetRecord(data));
    m_store.setAutoSave(true);
    EXPECT_EQ(m_store.Record(1).value().at(1), "server 1");
    EXPECT_EQ(m_store.RecordCount(), 2) << "an added record survived the reload";
    EXPECT_EQ(m_store.GetRecordNrById(3), 0);

    m_store.setAutoSave(false);
    ASSERT_TRUE(m_store.RemRecord(1));
    m_store.setName("Unsaved");
    m_store.setAutoSave(true);
    EXPECT_EQ(m_store.Name(), "Serverlijst");
    EXPECT_EQ(namesInOrder(), (std::vector<std::string>{"server 1", "server 2"}));
}

TEST_F(ZurerEzuzTest, ARenameThatCouldNotBeSavedIsGoneAfterTheNextReload) {
    const std::string path = writeTable(serverListWithIds({1}));
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    SetModificationTime(path, SecondsAgo(60));
    ASSERT_TRUE(m_store.OpenDatabase(path, false));
    m_store.setAutoSave(true);
    m_store.setName("Renamed");
    EXPECT_EQ(m_store.LastError(), "Database is alleen lezen");
    EXPECT_EQ(m_store.Name(), "Serverlijst");
}

TEST_F(ZurerEzuzTest, AReloadAfterOwnSaveSeesAnotherWritersChange) {
    const std::string path = open(serverListWithIds({1, 2}), true);
    Collection data{"0", "mine", "h", "1", "pw"};
    ASSERT_TRUE(m_store.SetRecord(data));
    std::string bytes = ReadBytes(path);
    const std::size_t mine = bytes.find("#mine#");
    ASSERT_NE(mine, std::string::npos);
    bytes.replace(mine, 6, "#MINE#");
    OverwriteInPlace(path, bytes);  // same size, same inode, within the same second
    EXPECT_EQ(m_store.Record(3).value().at(1), "MINE");
}

TEST_F(ZurerEzuzTest, AFailedOpenLeavesThePreviousTableAndItsFileInPlace) {
    const std::string original = open(serverListWithIds({1, 2}));
    const std::string broken = writeTable("Broken#x\r\n", "broken.sdb");
    EXPECT_THAT([&] { m_store.OpenDatabase(broken, false); },
                ThrowsMessage<RecordStoreError>(HasSubstr(broken + ", line 1:")));
    EXPECT_TRUE(m_store.isOpen());
    EXPECT_EQ(m_store.FileName(), original);
    EXPECT_EQ(m_store.Name(), "Serverlijst");
    EXPECT_EQ(m_store.RecordCount(), 2);
    EXPECT_EQ(m_store.AutoIncrement(), 3);
    EXPECT_EQ(m_store.GetRecordNrById(2), 2);
    EXPECT_EQ(m_store.Record(2).value().at(1), "server 2");
    EXPECT_TRUE(m_store.SaveDatabase());
    EXPECT_EQ(ReadBytes(broken), "Broken#x\r\n");
    EXPECT_EQ(ReadBytes(original), serverListWithIds({1, 2}));

    ZurerEzuz fresh;
    EXPECT_THROW(fresh.OpenDatabase(broken, false), RecordStoreError);
    EXPECT_FALSE(fresh.isOpen());
}

// A path that cannot be opened leaves the open table in place under the file it came from, so that
// no later save writes it to a path nobody chose.
TEST_F(ZurerEzuzTest, ASoftlyFailedOpenKeepsThePreviousTableUnderItsOwnFile) {
    const std::string original = open(serverListWithIds({1, 2}), true);
    const std::string missing = m_directory.File("missing.sdb");
    const std::string pipe = m_directory.File("pipe.sdb");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& path : {missing, pipe}) {
        EXPECT_FALSE(m_store.OpenDatabase(path, false));
        EXPECT_EQ(m_store.LastError(), "Bestand niet gevonden");
        EXPECT_TRUE(m_store.isOpen());
        EXPECT_EQ(m_store.FileName(), original);
        Collection data{"0", "after " + path, "h", "1", "pw"};
        ASSERT_TRUE(m_store.SetRecord(data));
        ASSERT_TRUE(m_store.SaveDatabase());
    }
    struct stat status {};
    EXPECT_NE(::stat(missing.c_str(), &status), 0) << "the missing file was created";
    ASSERT_EQ(::stat(pipe.c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode)) << "the pipe was replaced by a table";
    EXPECT_EQ(namesInOrder(),
              (std::vector<std::string>{"server 1", "server 2", "after " + missing, "after " + pipe}));
}

TEST_F(ZurerEzuzTest, EachOpenTakesReadOnlyFromItsOwnFile) {
    const std::string readOnly = writeTable(serverListWithIds({1}), "read-only.sdb");
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    const std::string writable = writeTable(serverListWithIds({2}));
    ASSERT_TRUE(m_store.OpenDatabase(readOnly, false));
    EXPECT_TRUE(m_store.isReadOnly());
    ASSERT_TRUE(m_store.OpenDatabase(writable, false));
    EXPECT_FALSE(m_store.isReadOnly());
    EXPECT_TRUE(m_store.SaveDatabase()) << m_store.LastError();
    ASSERT_TRUE(m_store.OpenDatabase(readOnly, false));
    EXPECT_TRUE(m_store.isReadOnly());
}

TEST_F(ZurerEzuzTest, AFailedReloadRaisesAndKeepsTheTable) {
    const std::string path = open(serverListWithIds({1, 2}), true);
    const std::string malformed = serverListWithIds({1, 2}) + "\r\n";  // a blank record line
    OverwriteInPlace(path, malformed);
    Collection data{"0", "new", "h", "1", "pw"};
    EXPECT_THAT([&] { m_store.SetRecord(data); },
                ThrowsMessage<RecordStoreError>(HasSubstr(path + ", line 9:")));
    EXPECT_EQ(data[0], "0");
    EXPECT_EQ(m_store.RecordCount(), 2);
    EXPECT_EQ(m_store.AutoIncrement(), 3);
    EXPECT_EQ(ReadBytes(path), malformed);
    EXPECT_THROW(m_store.Record(1), RecordStoreError);
}

TEST_F(ZurerEzuzTest, OpeningAnotherFileForgetsEverythingOfTheFirst) {
    open(serverListWithIds({1, 2, 3}));
    const std::string other = writeTable("Other#2\r\nId#-1\r\nName#0\r\n5#five\r\n", "other.sdb");
    ASSERT_TRUE(m_store.OpenDatabase(other, false));
    EXPECT_EQ(m_store.RecordCount(), 1);
    EXPECT_EQ(m_store.GetRecordNrById(1), 0);
    EXPECT_EQ(m_store.GetRecordNrById(3), 0);
    EXPECT_EQ(m_store.GetRecordNrById(5), 1);
    EXPECT_EQ(m_store.FieldName(3), "");
    EXPECT_EQ(m_store.FieldType(5), 0);
}

TEST_F(ZurerEzuzTest, NumbersOutsideTheTableRaiseAndChangeNothing) {
    const std::string bytes = serverListWithIds({1, 2});
    const std::string path = open(bytes, true);
    for (const int32_t nr : {0, -1, 3, 10001}) {
        EXPECT_THROW(m_store.Record(nr), RecordStoreError) << nr;
        EXPECT_THROW(m_store.RemRecord(nr), RecordStoreError) << nr;
    }
    for (const int32_t nr : {-1, 501}) {
        EXPECT_THROW(m_store.FieldName(nr), RecordStoreError) << nr;
        EXPECT_THROW(m_store.FieldType(nr), RecordStoreError) << nr;
    }
    EXPECT_THROW(m_store.GetRecordNrById(-1), RecordStoreError);
    EXPECT_THROW(m_store.GetRecordNrById(10001), RecordStoreError);
    for (const char* id : {"abc", "", "-1", "10001"}) {
        Collection data{id, "n", "h", "1", "pw"};
        EXPECT_THROW(m_store.SetRecord(data), RecordStoreError) << id;
        EXPECT_EQ(data[0], id);
    }
    EXPECT_EQ(m_store.RecordCount(), 2);
    EXPECT_EQ(ReadBytes(path), bytes);
    EXPECT_THAT([&] { m_store.Record(3); },
                ThrowsMessage<RecordStoreError>(AllOf(HasSubstr(path), HasSubstr("1..2"))));
}

TEST_F(ZurerEzuzTest, AnUnknownIdIsAnInvalidRecordNotASilentSuccess) {
    const std::string bytes = serverListWithIds({1, 2});
    const std::string path = open(bytes, true);
    Collection data{"7", "ghost", "h", "1", "pw"};
    EXPECT_FALSE(m_store.SetRecord(data));
    EXPECT_EQ(m_store.LastError(), "Record ongeldig");
    EXPECT_EQ(data, (Collection{"7", "ghost", "h", "1", "pw"}));
    EXPECT_EQ(m_store.RecordCount(), 2);
    EXPECT_EQ(ReadBytes(path), bytes);
}

TEST_F(ZurerEzuzTest, NoNewIdOrRecordBeyondTenThousand) {
    const std::string bytes = serverListWithIds({10000});
    const std::string path = open(bytes, true);
    Collection data{"0", "n", "h", "1", "pw"};
    EXPECT_THROW(m_store.SetRecord(data), RecordStoreError);
    EXPECT_EQ(data[0], "0");
    EXPECT_EQ(m_store.AutoIncrement(), 10001);
    EXPECT_EQ(m_store.RecordCount(), 1);
    EXPECT_EQ(ReadBytes(path), bytes);

    std::string full = "T#1\r\nId#-1\r\n";
    for (int id = 0; id < 10000; ++id) {
        full += std::to_string(id) + "\r\n";
    }
    const std::string fullPath = writeTable(full, "full.sdb");
    ZurerEzuz store;
    ASSERT_TRUE(store.OpenDatabase(fullPath, false));
    EXPECT_EQ(store.AutoIncrement(), 10000);
    Collection one{"0"};
    EXPECT_THROW(store.SetRecord(one), RecordStoreError);
    EXPECT_EQ(store.RecordCount(), 10000);
    EXPECT_EQ(store.AutoIncrement(), 10000);
}

TEST_F(ZurerEzuzTest, AnEmptyKeyRaisesForAValueAndChangesNothing) {
    const std::string bytes = serverListWithIds({1});
    const std::string path = open(bytes, true);
    m_store.setSmartEncryptKey("");
    Collection data{"0", "n", "h", "1", "secret"};
    EXPECT_THROW(m_store.SetRecord(data), RecordStoreError);
    EXPECT_EQ(data[4], "secret");
    EXPECT_EQ(m_store.RecordCount(), 1);
    EXPECT_EQ(m_store.AutoIncrement(), 2);
    EXPECT_EQ(m_store.GetRecordNrById(2), 0);
    EXPECT_EQ(ReadBytes(path), bytes);
    for (const bool store : {true, false}) {
        EXPECT_THAT([&] { store ? (void)m_store.SetRecord(data) : (void)m_store.Record(1); },
                    ThrowsMessage<RecordStoreError>(HasSubstr(path + ": ")));
    }

    Collection noPassword{"0", "n", "h", "1", ""};
    EXPECT_TRUE(m_store.SetRecord(noPassword));
    EXPECT_EQ(m_store.Record(2).value().at(4), "");
}

TEST_F(ZurerEzuzTest, AFailingSaveRaisesLeavesTheFileAndUndoesTheChange) {
    std::string bytes = serverListWithIds({1, 2, 3});
    const std::string path = open(bytes, true);
    const FileSizeLimit limit(16);  // not even the header fits: every save fails part-way

    Collection data{"0", "new", "h", "1", "pw"};
    EXPECT_THROW(m_store.SetRecord(data), RecordStoreError);
    EXPECT_EQ(data[0], "0");
    EXPECT_EQ(m_store.RecordCount(), 3);
    EXPECT_EQ(m_store.AutoIncrement(), 4);
    EXPECT_EQ(m_store.GetRecordNrById(4), 0);

    Collection replacement{"2", "replaced", "h", "1", "pw"};
    EXPECT_THROW(m_store.SetRecord(replacement), RecordStoreError);
    EXPECT_THROW(m_store.RemRecord(1), RecordStoreError);
    EXPECT_THROW(m_store.setName("Renamed"), RecordStoreError);
    EXPECT_EQ(m_store.Name(), "Serverlijst");
    EXPECT_EQ(m_store.RecordCount(), 3);
    EXPECT_EQ(m_store.GetRecordNrById(1), 1);
    EXPECT_EQ(namesInOrder(), (std::vector<std::string>{"server 1", "server 2", "server 3"}));
    EXPECT_EQ(ReadBytes(path), bytes);
    // No temporary file is left; the lock file stays for good.
    std::vector<std::string> entries = m_directory.Entries();
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::string>{".servers.sdb.lock", "servers.sdb"}));
}

TEST_F(ZurerEzuzTest, AWriteWaitsForAnotherHoldersLockAtMostTwoSeconds) {
    const std::string path = open(serverListWithIds({1}), true);
    Collection first{"0", "first", "h", "1", "pw"};
    ASSERT_TRUE(m_store.SetRecord(first));
    const std::string lockPath = m_directory.File(".servers.sdb.lock");
    EXPECT_EQ(PermissionsOf(lockPath), 0600u);
    const std::string bytes = ReadBytes(path);

    const int otherHolder = ::open(lockPath.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(otherHolder, LOCK_EX), 0);
    Collection data{"0", "second", "h", "1", "pw"};
    EXPECT_THAT([&] { m_store.SetRecord(data); },
                ThrowsMessage<RecordStoreError>(AllOf(HasSubstr(path + ": "), HasSubstr(lockPath))));
    EXPECT_EQ(data[0], "0");
    EXPECT_THROW(m_store.SaveDatabase(), RecordStoreError);
    EXPECT_EQ(ReadBytes(path), bytes);

    ::close(otherHolder);
    EXPECT_TRUE(m_store.SetRecord(data));
    EXPECT_EQ(namesInOrder(), (std::vector<std::string>{"server 1", "first", "second"}));
    EXPECT_TRUE(std::filesystem::exists(lockPath)) << "the lock file is never removed";
}

TEST_F(ZurerEzuzTest, ChangesKeepTheFilesPermissions) {
    const std::string path = open(serverListWithIds({1}), true);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    Collection data{"0", "n", "h", "1", "pw"};
    ASSERT_TRUE(m_store.SetRecord(data));
    EXPECT_EQ(PermissionsOf(path), 0640u);
}

TEST_F(ZurerEzuzTest, RenamingWritesTheHeaderAtOnceOnlyWithAutoSave) {
    const std::string path = open(serverListWithIds({1}));
    m_store.setName("Nieuw#lijst");
    EXPECT_EQ(ReadBytes(path), serverListWithIds({1}));
    ASSERT_TRUE(m_store.SaveDatabase());
    EXPECT_EQ(ReadBytes(path).substr(0, 16), "Nieuw\\#lijst#5\r\n");

    m_store.setAutoSave(true);
    m_store.setName("Serverlijst");
    EXPECT_EQ(ReadBytes(path), serverListWithIds({1}));
}

TEST_F(ZurerEzuzTest, ASuccessKeepsTheTextOfAnEarlierFailure) {
    open(serverListWithIds({1}));
    Collection wrong{"0"};
    EXPECT_FALSE(m_store.SetRecord(wrong));
    Collection right{"0", "n", "h", "1", "pw"};
    EXPECT_TRUE(m_store.SetRecord(right));
    EXPECT_EQ(m_store.LastError(), "Record ongeldig");
}

TEST_F(ZurerEzuzTest, ARecordLineWithTooFewValuesRaisesWithItsLineNumber) {
    const std::string path = open(kServerListHeader + "1#a#b#c#d\r\n2#short\r\n");
    EXPECT_EQ(m_store.Record(1).value().size(), 5u);
    EXPECT_THAT([&] { m_store.Record(2); }, ThrowsMessage<RecordStoreError>(HasSubstr(path + ": line 8:")));
}

TEST_F(ZurerEzuzTest, FieldValuesHandsOutOneFieldOfEveryRecordAsRecordDoes) {
    open(serverListWithIds({3, 9}));
    EXPECT_EQ(m_store.FieldValues(1), (Collection{"3", "9"}));
    EXPECT_EQ(m_store.FieldValues(2), (Collection{"server 3", "server 9"}));
    EXPECT_EQ(m_store.FieldValues(5), (Collection{"pw3", "pw9"}));
    EXPECT_THROW(m_store.FieldValues(6), RecordStoreError);

    const std::string path = open(kServerListHeader + "1#a\\#b#c#d#e\\\\\r\n2#short\r\n");
    EXPECT_THAT([&] { m_store.FieldValues(2); }, ThrowsMessage<RecordStoreError>(HasSubstr(path + ": line 8:")));
    open(kServerListHeader + "1#a\\#b#c#d#e\\\\\r\n");
    EXPECT_EQ(m_store.FieldValues(2), (Collection{"a#b"}));
}

TEST_F(ZurerEzuzTest, ValuesBeyondTheFieldsStayInTheLineButAreNotHandedOut) {
    const std::string path = open(kServerListHeader + "1#a#b#c##extra\r\n2#x#y#z#\r\n", true);
    EXPECT_EQ(m_store.Record(1), (Collection{"1", "a", "b", "c", ""}));
    ASSERT_TRUE(m_store.RemRecord(2));
    EXPECT_EQ(ReadBytes(path), kServerListHeader + "1#a#b#c##extra\r\n");
}

TEST_F(ZurerEzuzTest, TheIdStaysPlainWhenTheFirstFieldIsScrambled) {
    const std::string path = open("T#2\r\nId#2\r\nSecret#2\r\n", true);
    Collection data{"0", "s"};
    ASSERT_TRUE(m_store.SetRecord(data));
    EXPECT_EQ(data[0], "1");
    ZurerEzuz reopened;
    ASSERT_TRUE(reopened.OpenDatabase(path, false));
    EXPECT_EQ(reopened.Record(1), (Collection{"1", "s"}));
}

TEST(ZurerEzuzArrayToCollection, KeepsTheArrayOrder) {
    EXPECT_EQ(ZurerEzuz::ArrayToCollection({"0", "a", "b", "c", "d"}), (Collection{"0", "a", "b", "c", "d"}));
    EXPECT_TRUE(ZurerEzuz::ArrayToCollection({}).empty());
}

}  // namespace
