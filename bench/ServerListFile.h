#pragma once

// Writes server lists (servers.sdb) of many entries for the benchmarks.

#include "recordstore/LineCodec.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <time.h>

// The bytes of a servers.sdb with `count` entries whose passwords are stored scrambled.
inline QByteArray serverListWithEntries(int count) {
    std::string bytes = "Serverlijst#5\r\nId#-1\r\nServernaam#0\r\nIP#0\r\nPort#0\r\nPassword#2\r\n";
    for (int id = 1; id <= count; ++id) {
        const std::string text = std::to_string(id);
        bytes += brimhold::recordstore::LineCodec::JoinLine(
            {text, "Server #" + text + " \\ public", "192.168.1." + text, "28960", "\xA7scrambled" + text});
        bytes += "\r\n";
    }
    return QByteArray::fromStdString(bytes);
}

// Writes the file and, for an age above 0, dates it that many seconds back (a list saved long ago,
// which the store can prove unchanged between reads). Ends the program when the file cannot be written.
inline void writeServerList(const QString& path, const QByteArray& bytes, int ageSeconds) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
    file.close();
    if (ageSeconds > 0) {
        timespec moment{};
        ::clock_gettime(CLOCK_REALTIME, &moment);
        moment.tv_sec -= ageSeconds;
        const timespec times[2] = {moment, moment};
        ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
    }
}
