#include "serverlist/ServerListStore.h"

#include "codepage/Windows1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstring>
#include <exception>
#include <sys/stat.h>

namespace brimhold::serverlist {

namespace {

std::string nativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// System texts (file names, error descriptions) are in the locale's encoding, unlike store values.
QString systemText(const char* text) {
    return QString::fromLocal8Bit(text);
}

// A file without any write permission bit is a list kept read-only on purpose: the store opens it
// read-only and refuses changes, which is what its owner asked for.
bool hasNoWriteBit(const QString& path) {
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && (status.st_mode & 0222) == 0;
}

// The store saves through a temporary file beside the list, so the directory must accept new files.
bool directoryAcceptsNewFiles(const QString& directory) {
    QTemporaryFile probe(QDir(directory).filePath(QStringLiteral(".servers.sdb-probe-XXXXXX")));
    return probe.open();
}

// Writes the schema into a new file readable and writable by its owner alone. A file that could not be
// written whole is removed again.
bool createWithSchema(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                   QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        return false;
    }
    const qint64 length = qint64(std::strlen(ServerListStore::kSchema));
    const bool written = file.write(ServerListStore::kSchema, length) == length && file.flush();
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        file.remove();
        return false;
    }
    return true;
}

// True when the list at path can be used: an existing file that may be written (or is read-only on
// purpose), or a missing one that could be created.
bool usableOrCreated(const QString& path) {
    const QFileInfo info(path);
    if (info.exists()) {
        if (!info.isFile()) {
            return false;
        }
        return hasNoWriteBit(path) || (info.isWritable() && directoryAcceptsNewFiles(info.absolutePath()));
    }
    return createWithSchema(path);
}

// Switches AutoSave off for its lifetime and restores the previous setting, also on an exception.
class AutoSaveOff {
public:
    explicit AutoSaveOff(recordstore::ZurerEzuz& store) : m_store(store), m_previous(store.AutoSave()) {
        store.setAutoSave(false);
    }
    ~AutoSaveOff() { m_store.setAutoSave(m_previous); }
    AutoSaveOff(const AutoSaveOff&) = delete;
    AutoSaveOff& operator=(const AutoSaveOff&) = delete;

private:
    recordstore::ZurerEzuz& m_store;
    bool m_previous;
};

}  // namespace

ServerListStore::ServerListStore(QString programDirectory, QString userDataDirectory)
    : m_programDirectory(std::move(programDirectory)), m_userDataDirectory(std::move(userDataDirectory)) {}

ServerListStore::ServerListStore(QString filePath) : m_fixedPath(std::move(filePath)) {}

bool ServerListStore::fail(const QString& problem) {
    m_problem = problem;
    return false;
}

QString ServerListStore::chooseFile() {
    if (!m_programDirectory.isEmpty()) {
        const QString inProgramDirectory = QDir(m_programDirectory).filePath(QString::fromLatin1(kFileName));
        if (usableOrCreated(inProgramDirectory)) {
            return inProgramDirectory;
        }
    }
    if (m_userDataDirectory.isEmpty() || !QDir().mkpath(m_userDataDirectory)) {
        return {};
    }
    const QString inUserData = QDir(m_userDataDirectory).filePath(QString::fromLatin1(kFileName));
    return usableOrCreated(inUserData) ? inUserData : QString();
}

ServerListStore::SetUp ServerListStore::setUp() {
    m_ready = false;
    m_path = m_fixedPath.isEmpty() ? chooseFile() : m_fixedPath;
    if (m_path.isEmpty()) {
        fail(QStringLiteral("De serverlijst is niet beschikbaar: %1 kan niet worden aangemaakt in %2.")
                 .arg(QString::fromLatin1(kFileName), placesTried()));
        return SetUp::Unavailable;
    }
    try {
        m_store.OpenDatabase(nativePath(m_path), false);
        if (m_store.Name() != kTableName) {
            return SetUp::NotInOrder;
        }
    } catch (const std::exception& error) {
        return unreadable(systemText(error.what()));
    }
    m_ready = true;
    // The open checks every line's Id but not its values: a record with too few values only shows when
    // it is read. Such a file is kept away from every change, like one the open refused. The names
    // come from the version just opened (AutoSave is still off), not from a second look at the file.
    std::optional<QStringList> read = names();
    if (!read) {
        m_ready = false;
        return unreadable(m_problem);
    }
    m_store.setAutoSave(true);
    m_namesReadAtSetUp = std::move(*read);
    return SetUp::Ready;
}

QString ServerListStore::placesTried() const {
    const QString userData = QDir::toNativeSeparators(m_userDataDirectory);
    if (m_programDirectory.isEmpty()) {
        return userData;
    }
    return QStringLiteral("%1 of in %2").arg(QDir::toNativeSeparators(m_programDirectory), userData);
}

ServerListStore::SetUp ServerListStore::unreadable(const QString& reason) {
    fail(QStringLiteral("De serverlijst kan niet worden gelezen: %1").arg(reason));
    return SetUp::Unavailable;
}

std::optional<QStringList> ServerListStore::names() {
    if (!m_ready) {
        return std::nullopt;
    }
    try {
        // One reload (reading the name does it with AutoSave on), then the names of that one version
        // of the file: the rows form a consistent snapshot, and a file that was written moments ago
        // (after every save of our own) is not read again. No other field of a record is decoded.
        m_store.Name();
        const AutoSaveOff snapshot(m_store);
        if (m_store.FieldCount() < 2) {
            fail(QStringLiteral("%1: de tabel heeft geen veld voor de servernaam").arg(m_path));
            return std::nullopt;
        }
        const std::optional<recordstore::ZurerEzuz::Collection> column = m_store.FieldValues(2);
        if (!column) {
            fail(systemText(m_store.LastError().c_str()));
            return std::nullopt;
        }
        QStringList result;
        result.reserve(qsizetype(column->size()));
        for (const std::string& name : *column) {
            result.append(codepage::Windows1252::toUnicode(name));
        }
        return result;
    } catch (const std::exception& error) {
        fail(systemText(error.what()));
        return std::nullopt;
    }
}

std::optional<ServerListStore::Entry> ServerListStore::entry(int nr) {
    const std::optional<QList<Entry>> read = entries({nr});
    return read ? std::optional<Entry>(read->first()) : std::nullopt;
}

std::optional<QList<ServerListStore::Entry>> ServerListStore::entries(const QList<int>& nrs) {
    if (!m_ready) {
        return std::nullopt;
    }
    try {
        // One reload, then every record from that version, as names() does.
        m_store.Name();
        const AutoSaveOff snapshot(m_store);
        QList<Entry> result;
        result.reserve(nrs.size());
        for (const int nr : nrs) {
            const std::optional<recordstore::ZurerEzuz::Collection> record = m_store.Record(nr);
            if (!record) {
                fail(systemText(m_store.LastError().c_str()));
                return std::nullopt;
            }
            if (record->size() < 5) {
                fail(QStringLiteral("%1: de tabel heeft %2 velden in plaats van 5")
                         .arg(m_path)
                         .arg(record->size()));
                return std::nullopt;
            }
            result.append({codepage::Windows1252::toUnicode((*record)[1]),
                           codepage::Windows1252::toUnicode((*record)[2]),
                           codepage::Windows1252::toUnicode((*record)[3]),
                           codepage::Windows1252::toUnicode((*record)[4])});
        }
        return result;
    } catch (const std::exception& error) {
        fail(systemText(error.what()));
        return std::nullopt;
    }
}

bool ServerListStore::refusedUnlessTrue(bool result) {
    return result || fail(systemText(m_store.LastError().c_str()));
}

bool ServerListStore::add(const Entry& entry) {
    if (!m_ready) {
        return false;
    }
    try {
        recordstore::ZurerEzuz::Collection data = recordstore::ZurerEzuz::ArrayToCollection(
            {"0", codepage::Windows1252::toStdString(entry.name),
             codepage::Windows1252::toStdString(entry.host), codepage::Windows1252::toStdString(entry.port),
             codepage::Windows1252::toStdString(entry.password)});
        return refusedUnlessTrue(m_store.SetRecord(data));
    } catch (const std::exception& error) {
        return fail(systemText(error.what()));
    }
}

bool ServerListStore::remove(int nr) {
    if (!m_ready) {
        return false;
    }
    try {
        return refusedUnlessTrue(m_store.RemRecord(nr));
    } catch (const std::exception& error) {
        return fail(systemText(error.what()));
    }
}

}  // namespace brimhold::serverlist
