#include "rcon/AuthModeStore.h"

#include "FileBytes.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace brimhold::rcon;

namespace {

class AuthModeStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_directory.isValid()); }
    QString path() const { return m_directory.filePath(QStringLiteral("new/secure-rcon.conf")); }

    QTemporaryDir m_directory;
};

TEST_F(AuthModeStoreTest, KeepsEachServersModeByHostAndPortForItsOwnerAlone) {
    AuthModeStore store(path());
    EXPECT_EQ(store.modeOf(QStringLiteral("127.0.0.1"), QStringLiteral("26000")), AuthMode::Plain);
    ASSERT_TRUE(store.setMode(QStringLiteral("127.0.0.1"), QStringLiteral("26000"), AuthMode::Time));
    ASSERT_TRUE(store.setMode(QStringLiteral("::1"), QStringLiteral("26000"), AuthMode::Challenge));

    // Another store on the same file, as the other program would have.
    const AuthModeStore other(path());
    EXPECT_EQ(other.modeOf(QStringLiteral("127.0.0.1"), QStringLiteral("26000")), AuthMode::Time);
    EXPECT_EQ(other.modeOf(QStringLiteral("::1"), QStringLiteral("26000")), AuthMode::Challenge);
    EXPECT_EQ(other.modeOf(QStringLiteral("127.0.0.1"), QStringLiteral("26001")), AuthMode::Plain);
    EXPECT_EQ(permissionsOf(path()), mode_t(0600));
}

TEST_F(AuthModeStoreTest, PlainTakesTheServerOutOfTheFile) {
    AuthModeStore store(path());
    ASSERT_TRUE(store.setMode(QStringLiteral("h"), QStringLiteral("1"), AuthMode::Plain));
    EXPECT_FALSE(QFile::exists(path()));  // nothing to keep, so no file either

    ASSERT_TRUE(store.setMode(QStringLiteral("h"), QStringLiteral("1"), AuthMode::Challenge));
    ASSERT_TRUE(store.setMode(QStringLiteral("h"), QStringLiteral("1"), AuthMode::Plain));
    EXPECT_EQ(store.modeOf(QStringLiteral("h"), QStringLiteral("1")), AuthMode::Plain);
    EXPECT_FALSE(readAll(path()).contains("h:1"));
}

TEST_F(AuthModeStoreTest, AnUnknownValueIsPlain) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path()).absolutePath()));
    ASSERT_TRUE(writeAll(path(), "[SecureRcon]\nh:1=md5\n"));
    EXPECT_EQ(AuthModeStore(path()).modeOf(QStringLiteral("h"), QStringLiteral("1")), AuthMode::Plain);
}

TEST_F(AuthModeStoreTest, AFileThatCannotBeWrittenIsReported) {
    ASSERT_TRUE(writeAll(m_directory.filePath(QStringLiteral("plain")), "x"));
    // Neither a file below a plain file nor a folder in the file's place can be written, even by root.
    for (const QString& place :
         {m_directory.filePath(QStringLiteral("plain/secure-rcon.conf")), m_directory.path()}) {
        AuthModeStore store(place);
        EXPECT_FALSE(store.setMode(QStringLiteral("h"), QStringLiteral("1"), AuthMode::Time))
            << place.toStdString();
        EXPECT_FALSE(store.errorString().isEmpty());
    }
}

}  // namespace
