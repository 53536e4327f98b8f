#pragma once

#include "recordstore/ZurerEzuz.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace brimhold::serverlist {

// The connection dialog's saved server list: the file servers.sdb (table "Serverlijst"), where it lives,
// its creation with the list's schema, and the list's operations on one ZurerEzuz store with AutoSave
// on. The store keeps bytes; this class is where they become text and back (Windows-1252), so callers
// see QString only. Every error the store raises is caught here and described by problem(); nothing is
// thrown to the caller.
class ServerListStore final {
public:
    // One saved server: values 2 to 5 of its record.
    struct Entry {
        QString name;
        QString host;
        QString port;
        QString password;
    };

    enum class SetUp {
        Ready,        // open, checked, AutoSave on
        NotInOrder,   // the file does not hold the table "Serverlijst" (or the store did not open it)
        Unavailable,  // no usable file anywhere, or the file cannot be read: go on without a list
    };

    static constexpr const char* kFileName = "servers.sdb";
    static constexpr const char* kTableName = "Serverlijst";
    // The whole content of a new servers.sdb: table name with field count, then the five fields.
    static constexpr const char* kSchema =
        "Serverlijst#5\r\nId#-1\r\nServernaam#0\r\nIP#0\r\nPort#0\r\nPassword#2\r\n";

    // programDirectory holds servers.sdb; userDataDirectory is where the list goes instead when the file
    // there can be neither created nor written (created when missing). An empty programDirectory keeps
    // the list in userDataDirectory alone (see ServerListFolders).
    ServerListStore(QString programDirectory, QString userDataDirectory);
    // Uses exactly this file, which is never created: a missing one is not in order.
    explicit ServerListStore(QString filePath);

    // Chooses the file, creates it with the schema when it is missing (owner-only permissions), opens it
    // without questions, checks the table name, switches AutoSave on and reads every record once. An
    // existing file is never written here; one with a record that cannot be read is Unavailable.
    SetUp setUp();

    bool isReady() const { return m_ready; }
    // The file in use; empty when none could be chosen.
    QString path() const { return m_path; }
    // What went wrong in the last failed step, for the user; names the file and, for a malformed file,
    // the line.
    QString problem() const { return m_problem; }

    // The display names of all records in store order, read from the file's current version in one
    // pass; nothing when the store fails.
    std::optional<QStringList> names();
    // The names that a successful setUp() read, handed over once (empty afterwards): the list's first
    // fill needs no second pass over what setUp() has just read.
    QStringList takeNamesReadAtSetUp() { return std::exchange(m_namesReadAtSetUp, {}); }
    // Record nr (from 1); nothing when the store fails.
    std::optional<Entry> entry(int nr);
    // Records nrs (each from 1), in that order, all from one version of the file; nothing when the
    // store fails on any of them.
    std::optional<QList<Entry>> entries(const QList<int>& nrs);
    // Adds the entry as a new record (Id "0"). False when the store refuses or fails.
    bool add(const Entry& entry);
    // Removes record nr (from 1). False when the store refuses or fails.
    bool remove(int nr);

private:
    QString chooseFile();
    QString placesTried() const;
    bool fail(const QString& problem);
    SetUp unreadable(const QString& reason);
    bool refusedUnlessTrue(bool result);

    QString m_programDirectory;
    QString m_userDataDirectory;
    QString m_fixedPath;
    QString m_path;
    QString m_problem;
    bool m_ready = false;
    QStringList m_namesReadAtSetUp;
    recordstore::ZurerEzuz m_store;
};

}  // namespace brimhold::serverlist
