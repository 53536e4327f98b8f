#pragma once

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The main() of a window test whose windows save settings or rcon modes: XDG_CONFIG_HOME points at a
// folder of the run's own before Qt reads it, so nothing reaches the user's real configuration.
#define BRIMHOLD_QTEST_MAIN_WITH_PRIVATE_CONFIG(TestClass)                \
    int main(int argc, char* argv[]) {                                    \
        QTemporaryDir configHome;                                         \
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path())); \
        QApplication app(argc, argv);                                     \
        TestClass test;                                                   \
        return QTest::qExec(&test, argc, argv);                           \
    }
