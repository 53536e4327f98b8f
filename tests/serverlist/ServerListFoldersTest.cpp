#include "serverlist/ServerListFolders.h"
#include "serverlist/ServerListStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brimhold::serverlist;

namespace {

class ServerListFoldersTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_root.isValid());
        ASSERT_TRUE(QDir().mkpath(path("usr/bin")));
        ASSERT_TRUE(QDir().mkpath(path("build/src/app")));
        ASSERT_TRUE(QFile::link(path("usr/bin"), path("bin")));
    }

    QString path(const char* relative) const { return m_root.filePath(QString::fromLatin1(relative)); }

    QTemporaryDir m_root;
};

TEST_F(ServerListFoldersTest, OnlyAProgramInAnInstalledFolderLosesItsOwnFolder) {
    const QStringList installed{path("usr/bin"), path("opt/missing/bin")};
    const QString user = path("home/.local/share/brimhold-rcon");
    struct Case {
        QString programDirectory;
        bool installed;
    };
    const Case cases[] = {
        {path("usr/bin"), true},
        {path("usr/bin/"), true},
        {path("usr/share/../bin"), true},
        {path("bin"), true},  // a link to an installed folder, as /bin on a merged-/usr system
        {path("opt/missing/bin"), true},
        {path("build/src/app"), false},
        {path("usr"), false},
    };
    for (const Case& c : cases) {
        const ServerListFolders folders = ServerListFolders::choose(c.programDirectory, installed, user);
        EXPECT_EQ(folders.programDirectory, c.installed ? QString() : c.programDirectory)
            << c.programDirectory.toStdString();
        EXPECT_EQ(folders.userDataDirectory, user);
    }
}

TEST_F(ServerListFoldersTest, AnInstalledProgramKeepsItsListInTheUserFolderEvenWhenItsOwnIsWritable) {
    // Root may write into the program folder; the list must still not go there.
    const QString user = path("home/.local/share/brimhold-rcon");
    const ServerListFolders folders = ServerListFolders::choose(path("usr/bin"), {path("usr/bin")}, user);
    const QString previousDirectory = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(path("usr/bin")));  // nor into the working folder

    ServerListStore store(folders.programDirectory, folders.userDataDirectory);
    const ServerListStore::SetUp setUp = store.setUp();
    QDir::setCurrent(previousDirectory);

    ASSERT_EQ(setUp, ServerListStore::SetUp::Ready);

    EXPECT_EQ(store.path(), QDir(user).filePath(QStringLiteral("servers.sdb")));
    EXPECT_TRUE(QDir(path("usr/bin")).isEmpty());
}

TEST_F(ServerListFoldersTest, TheUserFolderIsNamedAfterTheProjectWhateverTheProgram) {
    ASSERT_TRUE(qputenv("XDG_DATA_HOME", path("data").toLocal8Bit()));
    EXPECT_EQ(ServerListFolders::userDataFolder(), path("data/brimhold-rcon"));
}

}  // namespace
