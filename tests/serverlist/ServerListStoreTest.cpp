#include "serverlist/ServerListStore.h"

#include "FileBytes.h"
#include "ServerListSchema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace brimhold::serverlist;

namespace {

const QByteArray kSchema(kServerListSchema);

class ServerListStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_root.isValid());
        m_program = m_root.filePath(QStringLiteral("program"));
        m_userData = m_root.filePath(QStringLiteral("user/data/brimhold-rcon"));
        ASSERT_TRUE(QDir().mkpath(m_program));
    }

    QString programFile() const { return QDir(m_program).filePath(QStringLiteral("servers.sdb")); }
    QString userFile() const { return QDir(m_userData).filePath(QStringLiteral("servers.sdb")); }

    QTemporaryDir m_root;
    QString m_program;
    QString m_userData;
};

TEST_F(ServerListStoreTest, AMissingFileIsCreatedWithTheSchemaForItsOwnerAlone) {
    ServerListStore store(m_program, m_userData);
    ASSERT_EQ(store.setUp(), ServerListStore::SetUp::Ready);
    EXPECT_EQ(store.path(), programFile());
    EXPECT_EQ(readAll(programFile()), kSchema);
    EXPECT_EQ(permissionsOf(programFile()), mode_t(0600));
    ASSERT_TRUE(store.names());
    EXPECT_TRUE(store.names()->empty());
    EXPECT_FALSE(QFileInfo::exists(m_userData));
}

TEST_F(ServerListStoreTest, AnExistingFileIsNotWrittenAtSetUp) {
    // Written by hand: a blank-free name, an escaped "#", and lines in a layout the store would not
    // write back the same way (no trailing CR LF).
    const QByteArray bytes(kSchema + "7#a\\#b#h#1#");
    ASSERT_TRUE(writeAll(programFile(), bytes));
    ASSERT_EQ(::chmod(QFile::encodeName(programFile()).constData(), 0644), 0);
    const QDateTime modified = QFileInfo(programFile()).lastModified();

    ServerListStore store(m_program, m_userData);
    ASSERT_EQ(store.setUp(), ServerListStore::SetUp::Ready);

    EXPECT_EQ(readAll(programFile()), bytes);
    EXPECT_EQ(QFileInfo(programFile()).lastModified(), modified);
    EXPECT_EQ(permissionsOf(programFile()), mode_t(0644));
    EXPECT_EQ(store.takeNamesReadAtSetUp(), QStringList{"a#b"});
    EXPECT_TRUE(store.takeNamesReadAtSetUp().isEmpty());
    ASSERT_TRUE(store.names());
    EXPECT_EQ(*store.names(), QStringList{"a#b"});
}

TEST_F(ServerListStoreTest, AnotherTableIsNotInOrder) {
    ASSERT_TRUE(writeAll(programFile(),
                         "serverlijst#5\r\nId#-1\r\nServernaam#0\r\nIP#0\r\nPort#0\r\nPassword#2\r\n"));
    ServerListStore store(m_program, m_userData);
    EXPECT_EQ(store.setUp(), ServerListStore::SetUp::NotInOrder);
    EXPECT_FALSE(store.isReady());
}

TEST_F(ServerListStoreTest, AnUnreadableFileIsNamedWithItsLineAndLeftAlone) {
    const QByteArray malformed(kSchema + "x#a#b#c#d\r\n");
    ASSERT_TRUE(writeAll(programFile(), malformed));

    ServerListStore store(m_program, m_userData);
    ASSERT_EQ(store.setUp(), ServerListStore::SetUp::Unavailable);

    EXPECT_TRUE(store.problem().contains(programFile())) << store.problem().toStdString();
    EXPECT_TRUE(store.problem().contains(QStringLiteral("7"))) << store.problem().toStdString();
    EXPECT_EQ(readAll(programFile()), malformed);
    EXPECT_FALSE(store.names());
    EXPECT_FALSE(store.add({"n", "h", "p", "w"}));
    EXPECT_EQ(readAll(programFile()), malformed);
}

TEST_F(ServerListStoreTest, ARecordWithTooFewValuesMakesTheListUnreadableAndKeepsItUnchanged) {
    const QByteArray shortRecord = kSchema + "1#a#h#1#\r\n2#b#h\r\n";
    ASSERT_TRUE(writeAll(programFile(), shortRecord));

    ServerListStore store(m_program, m_userData);
    ASSERT_EQ(store.setUp(), ServerListStore::SetUp::Unavailable);

    EXPECT_TRUE(store.problem().contains(programFile())) << store.problem().toStdString();
    EXPECT_TRUE(store.problem().contains(QStringLiteral("line 8"))) << store.problem().toStdString();
    EXPECT_FALSE(store.isReady());
    EXPECT_FALSE(store.add({"n", "h", "p", "w"}));
    EXPECT_FALSE(store.remove(1));
    EXPECT_EQ(readAll(programFile()), shortRecord);
}

TEST_F(ServerListStoreTest, AProgramFolderThatCannotHoldTheListFallsBackToTheUserFolder) {
    // A program "directory" below a plain file cannot hold anything, whoever runs the test.
    ASSERT_TRUE(writeAll(m_root.filePath(QStringLiteral("plain")), "x"));
    ServerListStore store(m_root.filePath(QStringLiteral("plain/bin")), m_userData);

    ASSERT_EQ(store.setUp(), ServerListStore::SetUp::Ready);

    EXPECT_EQ(store.path(), userFile());
    EXPECT_EQ(readAll(userFile()), kSchema);
    EXPECT_EQ(permissionsOf(userFile()), mode_t(0600));
    EXPECT_TRUE(store.add({"n", "h", "p", "w"}));
    EXPECT_EQ(*store.names(), QStringList{"n"});
}

TEST_F(ServerListStoreTest, ADirectoryNamedLikeTheListFallsBackToTheUserFolder) {
    ASSERT_TRUE(QDir().mkpath(programFile()));
    ServerListStore store(m_program, m_userData);
    ASSERT_EQ(store.setUp(), ServerListStore::SetUp::Ready);
    EXPECT_EQ(store.path(), userFile());
}

TEST_F(ServerListStoreTest, AnExistingUserListIsUsedAsItIs) {
    ASSERT_TRUE(QDir().mkpath(m_userData));
    const QByteArray bytes = kSchema + "3#saved#h#p#\r\n";
    ASSERT_TRUE(writeAll(userFile(), bytes));
    ASSERT_TRUE(writeAll(m_root.filePath(QStringLiteral("plain")), "x"));
    ServerListStore store(m_root.filePath(QStringLiteral("plain")), m_userData);

    ASSERT_EQ(store.setUp(), ServerListStore::SetUp::Ready);
    EXPECT_EQ(*store.names(), QStringList{"saved"});
    EXPECT_EQ(readAll(userFile()), bytes);
}

TEST_F(ServerListStoreTest, NoUsableFolderAtAllIsReportedWithBothPlaces) {
    ASSERT_TRUE(writeAll(m_root.filePath(QStringLiteral("plain")), "x"));
    ServerListStore store(m_root.filePath(QStringLiteral("plain/bin")),
                          m_root.filePath(QStringLiteral("plain/data")));

    ASSERT_EQ(store.setUp(), ServerListStore::SetUp::Unavailable);
    EXPECT_TRUE(store.problem().contains(QStringLiteral("plain/bin"))) << store.problem().toStdString();
    EXPECT_TRUE(store.problem().contains(QStringLiteral("plain/data"))) << store.problem().toStdString();
    EXPECT_TRUE(store.path().isEmpty());
    EXPECT_FALSE(store.entry(1));
    EXPECT_FALSE(store.remove(1));
}

TEST_F(ServerListStoreTest, AListWithoutWriteBitsStaysReadOnlyAndRefusesChanges) {
    const QByteArray bytes = kSchema + "1#one#h#p#\r\n";
    ASSERT_TRUE(writeAll(programFile(), bytes));
    ASSERT_EQ(::chmod(QFile::encodeName(programFile()).constData(), 0444), 0);

    ServerListStore store(m_program, m_userData);
    ASSERT_EQ(store.setUp(), ServerListStore::SetUp::Ready);
    EXPECT_EQ(store.path(), programFile());

    EXPECT_FALSE(store.add({"n", "h", "p", "w"}));
    EXPECT_EQ(store.problem(), QStringLiteral("Database is alleen lezen"));
    EXPECT_FALSE(store.remove(1));
    EXPECT_EQ(readAll(programFile()), bytes);
    EXPECT_EQ(*store.names(), QStringList{"one"});
}

// The dialog shows problem() after "Niet bewaard: ".
TEST_F(ServerListStoreTest, APasswordThatWouldNotReadBackIsRefusedNamingTheField) {
    ServerListStore store(m_program, m_userData);
    ASSERT_EQ(store.setUp(), ServerListStore::SetUp::Ready);
    EXPECT_FALSE(store.add({"n", "h", "p", QStringLiteral("\u00FF")}));
    EXPECT_EQ(store.problem(), QStringLiteral("Ongeldig teken in veld Password"));
    EXPECT_EQ(readAll(programFile()), kSchema);
}

TEST_F(ServerListStoreTest, EntriesKeepEveryCharacterOfTheCodePageAndTheirPlace) {
    ServerListStore store(m_program, m_userData);
    ASSERT_EQ(store.setUp(), ServerListStore::SetUp::Ready);
    const ServerListStore::Entry odd{QStringLiteral("a#b\\c \u00E9\u20AC"), "h#\\", "",
                                     QStringLiteral("p#\\\u00FE w")};
    ASSERT_TRUE(store.add({"first", "1.2.3.4", "28960", "x"}));
    ASSERT_TRUE(store.add(odd));
    ASSERT_TRUE(store.add({"", "", "", ""}));

    ServerListStore reopened(m_program, m_userData);
    ASSERT_EQ(reopened.setUp(), ServerListStore::SetUp::Ready);
    EXPECT_EQ(*reopened.names(), (QStringList{"first", odd.name, ""}));
    const auto entry = reopened.entry(2);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->name, odd.name);
    EXPECT_EQ(entry->host, odd.host);
    EXPECT_EQ(entry->port, odd.port);
    EXPECT_EQ(entry->password, odd.password);
    // The file holds the code page's bytes; the password is not kept in plain text.
    EXPECT_TRUE(readAll(programFile()).contains("c \xE9\x80#"));
    EXPECT_FALSE(readAll(programFile()).contains("p#\\\xFE w"));
}

}  // namespace
