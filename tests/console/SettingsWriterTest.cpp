#include "console/SettingsWriter.h"

#include "FileBytes.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

using namespace brimhold::console;

namespace {

TEST(SettingsWriter, WritesTheThreeKeysToAFileForItsOwnerAlone) {
    QTemporaryDir directory;
    ASSERT_TRUE(directory.isValid());
    const QString path = directory.filePath(QStringLiteral("new/folder/app.conf"));
    std::string errors;

    ASSERT_TRUE(SettingsWriter(path, [&errors](const std::string& line) {
                    errors += line;
                }).save(QStringLiteral("h"), QStringLiteral("p"), QString()));

    EXPECT_EQ(permissionsOf(path), mode_t(0600));
    QSettings saved(path, QSettings::IniFormat);
    EXPECT_EQ(saved.value(QStringLiteral("Options/rconIP")).toString(), QStringLiteral("h"));
    EXPECT_EQ(saved.value(QStringLiteral("Options/rconPort")).toString(), QStringLiteral("p"));
    EXPECT_TRUE(saved.contains(QStringLiteral("Options/rconPassword")));
    EXPECT_EQ(errors, "");
}

TEST(SettingsWriter, MakesAnExistingFileOwnerOnly) {
    QTemporaryDir directory;
    ASSERT_TRUE(directory.isValid());
    const QString path = directory.filePath(QStringLiteral("app.conf"));
    QFile existing(path);
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ReadGroup | QFileDevice::ReadOther));
    std::string errors;

    ASSERT_TRUE(SettingsWriter(path, [&errors](const std::string& line) {
                    errors += line;
                }).save(QStringLiteral("h"), QStringLiteral("p"), "pw"));

    EXPECT_EQ(permissionsOf(path), mode_t(0600));
}

TEST(SettingsWriter, AFileThatCannotBeCreatedOrWrittenGivesOneLineNamingIt) {
    QTemporaryDir directory;
    ASSERT_TRUE(directory.isValid());
    QFile plain(directory.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    // Neither a file below a plain file nor a folder in the file's place can be written, even by root.
    for (const QString& path : {directory.filePath(QStringLiteral("plain/app.conf")), directory.path()}) {
        std::string errors;

        EXPECT_FALSE(SettingsWriter(path, [&errors](const std::string& line) {
                         errors += line;
                     }).save(QStringLiteral("h"), QStringLiteral("p"), "pw"));

        const std::string line = errors;
        EXPECT_NE(line.find(path.toStdString()), std::string::npos) << line;
        EXPECT_EQ(line.find('\n'), line.size() - 1) << line;
    }
}

}  // namespace
