#include "cli/HistoryFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>

namespace brimhold::cli {

namespace {

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions kOwnerOnlyFolder = kOwnerOnly | QFileDevice::ExeOwner;

QList<QByteArray> linesOf(const QByteArray& bytes) {
    QList<QByteArray> lines = bytes.split('\n');
    lines.removeAll(QByteArray());
    return lines;
}

}  // namespace

QString HistoryFile::pathFor(const QString& directory, const QString& key) {
    // A slash (and the percent sign itself) is encoded; so is a leading dot, so that "." and ".." name
    // files, not folders, and no file is hidden.
    QByteArray name = QUrl::toPercentEncoding(key.toUtf8(), " :[]@()!$&'+,;=");
    if (name.startsWith('.')) {
        name.replace(0, 1, "%2E");
    }
    return QDir(directory).filePath(QString::fromUtf8(name));
}

bool HistoryFile::isSecret(const QByteArray& line) {
    return line.toLower().contains("password");
}

HistoryFile::HistoryFile(QString path) : m_path(std::move(path)) {}

QList<QByteArray> HistoryFile::load() const {
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QList<QByteArray> lines = linesOf(file.readAll());
    return lines.size() > kLimit ? lines.last(kLimit) : lines;
}

bool HistoryFile::record(const QByteArray& line) {
    if (line.isEmpty() || isSecret(line)) {
        return true;
    }
    m_unsaved.append(line);
    return m_unsaved.size() < kSaveEvery || save();
}

bool HistoryFile::save() {
    if (m_unsaved.isEmpty()) {
        return true;
    }
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QFileInfo::exists(folder) &&
        (!QDir().mkpath(folder) || !QFile::setPermissions(folder, kOwnerOnlyFolder))) {
        m_problem = QStringLiteral("cannot create the folder %1").arg(folder);
        return false;
    }
    QList<QByteArray> lines = load() + m_unsaved;
    if (lines.size() > kLimit) {
        lines = lines.last(kLimit);
    }
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(kOwnerOnly)) {
        m_problem = file.errorString();
        return false;
    }
    file.write(lines.join('\n') + '\n');
    if (!file.commit()) {
        m_problem = file.errorString();
        return false;
    }
    m_unsaved.clear();
    m_problem.clear();
    return true;
}

}  // namespace brimhold::cli
