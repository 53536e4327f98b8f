#include "cli/HistoryFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brimhold::cli;

namespace {

// The permissions of owner, group and others: the current user's repeat the owner's here.
QFileDevice::Permissions ownerGroupOthers(const QString& path) {
    return QFile::permissions(path) & QFileDevice::Permissions(0x7077);
}

class HistoryFileTest : public ::testing::Test {
protected:
    QString pathOf(const QString& key) const {
        return HistoryFile::pathFor(m_folder.filePath("history"), key);
    }

    QTemporaryDir m_folder;
};

}  // namespace

TEST_F(HistoryFileTest, KeepsTheLastCommandsForTheOwnerAloneAndNoPasswords) {
    HistoryFile history(pathOf("Clan server"));
    for (int i = 1; i <= HistoryFile::kLimit + 5; ++i) {
        history.record("echo " + QByteArray::number(i));
    }
    history.record("RCON_PASSWORD hunter2");
    history.record("set g_password x; map_restart");
    history.record("pb_sv_setPassword y");
    ASSERT_TRUE(history.save()) << history.problem().toStdString();

    const QList<QByteArray> lines = history.load();
    ASSERT_EQ(lines.size(), HistoryFile::kLimit);
    EXPECT_EQ(lines.first(), "echo 6");
    EXPECT_EQ(lines.last(), "echo 517");
    EXPECT_EQ(ownerGroupOthers(history.path()), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(ownerGroupOthers(m_folder.filePath("history")),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(HistoryFileTest, WritesEveryTwentiethCommandAndKeepsAnotherSessionsCommands) {
    HistoryFile first(pathOf("127.0.0.1:27960"));
    HistoryFile second(first.path());
    for (int i = 1; i < HistoryFile::kSaveEvery; ++i) {
        first.record("status");
    }
    EXPECT_FALSE(QFileInfo::exists(first.path()));
    first.record("status");
    EXPECT_EQ(first.load().size(), HistoryFile::kSaveEvery);

    second.record("map mp_depot");
    first.record("map_restart");
    ASSERT_TRUE(second.save());
    ASSERT_TRUE(first.save());
    EXPECT_EQ(first.load().mid(HistoryFile::kSaveEvery), (QList<QByteArray>{"map mp_depot", "map_restart"}));
}

TEST_F(HistoryFileTest, EveryKeyIsAFileOfItsOwnInTheFolder) {
    const QStringList keys = {"a/b", "a%2Fb", "..", ".", ".hidden", "127.0.0.1:27960"};
    QStringList paths;
    for (const QString& key : keys) {
        const QFileInfo file(pathOf(key));
        EXPECT_EQ(file.absolutePath(), m_folder.filePath("history")) << key.toStdString();
        EXPECT_FALSE(file.fileName().startsWith('.')) << key.toStdString();
        paths.append(file.filePath());
    }
    paths.removeDuplicates();
    EXPECT_EQ(paths.size(), keys.size());
}

TEST_F(HistoryFileTest, SaysWhyWhenTheFolderCannotBeMade) {
    QFile blocker(m_folder.filePath("history"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    HistoryFile history(pathOf("x"));
    history.record("status");
    EXPECT_FALSE(history.save());
    EXPECT_FALSE(history.problem().isEmpty());
}
