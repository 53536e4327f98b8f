#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace brimhold::cli {

// The commands typed at the interactive console of one server (or one set of servers), kept between
// sessions: the last kLimit of them, one a line, as typed. The file and its folder are the owner's
// alone, and the file is replaced whole (a new file renamed over the old), so that a reader never
// sees half of it. A line with a password in it stays out of the file.
//
// Commands are written every kSaveEvery commands and by save(), added to what the file holds then, so
// two sessions at one server lose neither's commands.
class HistoryFile final {
public:
    static constexpr int kLimit = 512;
    static constexpr int kSaveEvery = 20;

    // The file in the folder for a key: a saved entry's name, "HOST:PORT", or any other name. Every
    // key gets a file of its own, also one with a slash in it or one that begins with a dot.
    static QString pathFor(const QString& directory, const QString& key);
    // Whether the line holds a word with "password" in it (rcon_password, g_password,
    // sv_privatePassword, pb_sv_...password), in any case.
    static bool isSecret(const QByteArray& line);

    explicit HistoryFile(QString path);

    const QString& path() const { return m_path; }
    // The commands in the file, oldest first; none when there is no file or it cannot be read.
    QList<QByteArray> load() const;
    // Takes one command as typed; the kSaveEvery'th since the last save writes the file. False when
    // that write failed (problem() says why).
    bool record(const QByteArray& line);
    // Writes the commands taken since the last save. False when that failed; they are then tried
    // again at the next save.
    bool save();
    // What went wrong at the last failed save.
    const QString& problem() const { return m_problem; }

private:
    QString m_path;
    QList<QByteArray> m_unsaved;
    QString m_problem;
};

}  // namespace brimhold::cli
