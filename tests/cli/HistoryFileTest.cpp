#include "cli/HistoryFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brimhold::cli;

namespace {

class HistoryFileTest : public ::testing::Test {
protected:
    QString folder() const { return m_folder.filePath("history"); }
    QString pathOf(const QString& key) const { return HistoryFile::pathFor(folder(), key); }
    // Owner, group and others; the current user's permissions repeat the owner's.
    static QFileDevice::Permissions permissionsOf(const QString& path) {
        return QFile::permissions(path) & QFileDevice::Permissions(0x7077);
    }

    QTemporaryDir m_folder;
};

TEST_F(HistoryFileTest, KeepsTheLastCommandsForTheOwnerAloneAndNoPasswords) {
    HistoryFile history(pathOf("Clan server"));
    for (int i = 1; i <= HistoryFile::kLimit + 5; ++i) {
        history.record("echo " + QByteArray::number(i));
    }
    for (const QByteArray secret :
         {"RCON_PASSWORD x", "set g_password x; map_restart", "pb_sv_setPassword x"}) {
        history.record(secret);
    }
    ASSERT_TRUE(history.save()) << history.problem().toStdString();
    const QList<QByteArray> lines = history.load();
    ASSERT_EQ(lines.size(), HistoryFile::kLimit);
    EXPECT_EQ(lines.first(), "echo 6");
    EXPECT_EQ(lines.last(), "echo 517");
    EXPECT_EQ(permissionsOf(history.path()), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(permissionsOf(folder()), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
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
    ASSERT_TRUE(second.save() && first.save());
    EXPECT_EQ(first.load().mid(HistoryFile::kSaveEvery), (QList<QByteArray>{"map mp_depot", "map_restart"}));

    // A save that cannot write says why.
    HistoryFile blocked(QDir(first.path()).filePath("x"));  // under a file
    blocked.record("status");
    EXPECT_FALSE(blocked.save());
    EXPECT_FALSE(blocked.problem().isEmpty());
}

TEST_F(HistoryFileTest, EveryKeyIsAFileOfItsOwnInTheFolder) {
    const QStringList keys = {"a/b", "a%2Fb", "..", ".", ".hidden", "127.0.0.1:27960"};
    QStringList names;
    for (const QString& key : keys) {
        const QFileInfo file(pathOf(key));
        EXPECT_EQ(file.absolutePath(), folder()) << key.toStdString();
        EXPECT_FALSE(file.fileName().startsWith('.')) << key.toStdString();
        names.append(file.fileName());
    }
    names.removeDuplicates();
    EXPECT_EQ(names.size(), keys.size());
}

}  // namespace
