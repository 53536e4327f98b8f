#pragma once

#include "recordstore/FileStamp.h"
#include "recordstore/TableContents.h"
#include "recordstore/TableLock.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace brimhold::recordstore {

// One table of named, typed fields kept in one text file: records addressed by number (their position,
// from 1) and by Id (their first value), values of type-2 fields held scrambled with SmartEncryptKey.
// Values are bytes (Windows-1252) and are never transcoded. No file is held open between calls.
//
// Expected failures set LastError to a fixed text and return false or nothing; errors of the file
// system, malformed files and requests outside the table's bounds raise RecordStoreError, and leave the
// table in memory as it was. With AutoSave on, Record, SetRecord and RemRecord first take over any
// change that another program saved, and every change is written back at once.
//
// Several programs may share one file. With AutoSave on, every change (SetRecord, RemRecord, setName)
// is one critical section across processes: it locks the file (see TableLock), reads it afresh,
// applies the change, saves and unlocks, so no change of another program is lost. SaveDatabase takes
// the lock too. A lock not had within 2 seconds raises RecordStoreError and the change is not made.
// Reading needs no lock: a save replaces the file atomically.
class ZurerEzuz final {
public:
    using Collection = std::vector<std::string>;  // value i of a record is element i - 1
    // Asks a yes/no question; true means Yes.
    using YesNoQuestion = std::function<bool(const std::string& text, const std::string& title)>;

    ZurerEzuz();

    // The question OpenDatabase asks, when interactive, before going on with a missing file. Without
    // one the answer is No.
    void setYesNoQuestion(YesNoQuestion question);

    // Loads the table from FileName. A missing file or one that is not an ordinary file is a soft
    // failure ("Bestand niet gevonden"). When an open fails, softly or raised, a table that was open
    // stays open under its own FileName; with nothing open, FileName remembers the path given. Each
    // successful open is read-only exactly when its file has no write permission bit.
    bool OpenDatabase(const std::string& FileName, bool Interactive);
    // Writes the whole table to FileName, replacing the file atomically. False when nothing is open or
    // the table is read-only.
    bool SaveDatabase();

    // The FieldCount values of record Nr (1..RecordCount), scrambled fields unscrambled; the Id comes as
    // its decimal text.
    std::optional<Collection> Record(int32_t Nr);
    // Value FieldNr (1..FieldCount) of every record, in record order, each as Record hands it out, after
    // one reload at most. Raises like Record for a record with too few values.
    std::optional<Collection> FieldValues(int32_t FieldNr);
    // Removes record Nr; the records after it move down by one.
    bool RemRecord(int32_t Nr);
    // Stores Data (FieldCount values): Id "0" adds a new record with the next Id, an existing Id
    // replaces that record in place. On success Data holds the Id in element 0 and the scrambled text of
    // every type-2 field; on any failure Data is left as it was. A type-2 value with a byte outside
    // 32..254 would not read back as stored: it is refused ("Ongeldig teken in veld " and the field's
    // name).
    bool SetRecord(Collection& Data);

    // Name and type of field Nr (0..500); empty and 0 where the table has no such field.
    std::string FieldName(int32_t Nr) const;
    int16_t FieldType(int32_t Nr) const;
    // The number of the record whose Id is Id (0..10000), 0 when there is none.
    int32_t GetRecordNrById(int32_t Id) const;

    bool isOpen() const { return m_isOpen; }
    bool isReadOnly() const { return m_isReadOnly; }
    std::string Name();
    void setName(const std::string& NewName);
    std::string FileName() const { return m_fileName; }
    int32_t AutoIncrement() const { return m_table.autoIncrement; }
    int16_t FieldCount() const { return m_table.fieldCount; }
    int32_t RecordCount() const { return m_table.RecordCount(); }
    std::string SmartEncryptKey() const { return m_smartEncryptKey; }
    // Values already stored are not re-scrambled: read under another key they come back garbled.
    void setSmartEncryptKey(const std::string& NewEncryptKey) { m_smartEncryptKey = NewEncryptKey; }
    std::string LastError() const { return m_lastError; }
    bool AutoSave() const { return m_autoSave; }
    // Only stores the flag: switching it on neither loads nor saves.
    void setAutoSave(bool NewAutoSave) { m_autoSave = NewAutoSave; }

    static Collection ArrayToCollection(const std::vector<std::string>& vArray);

private:
    // False, with LastError set, when nothing is open; else takes over, with AutoSave on, what another
    // program saved.
    bool ReadyToRead();
    // Loads the file again unless it provably did not change since the last load.
    void ReloadDatabase();
    // Reads FileName into fresh contents and takes them over only when the whole file was read.
    void Load();
    // With AutoSave on: takes the file's lock and reads the file afresh. Nothing without AutoSave.
    std::optional<TableLock> BeginChange();
    // Writes the table to FileName; the caller holds the lock.
    void WriteFile();
    // Ends a change just made to the table in memory: it no longer matches the loaded file, and with
    // AutoSave on it is written at once. When that write raises, undo puts the table back as it was
    // before the change (undo must not raise) and the error goes on to the caller.
    void CommitChange(const std::function<void()>& undo);

    // A record SetRecord is about to store: its values as they go to the file (Id filled in, type-2
    // fields scrambled), the record line, the Id and the record number it takes.
    struct PreparedRecord {
        Collection values;
        std::string line;
        int32_t id = 0;
        int32_t nr = 0;
        bool isNew = false;
    };
    // The checks of SetRecord that need nothing of the table but its fields: the requested Id (0 for a
    // new record), or nothing with LastError set. Raises for an Id that no table could hold.
    std::optional<int32_t> ValidateRecord(const Collection& Data);
    // Finds the record number and Id for requestedId and builds the stored values, leaving the table
    // as it is. Nothing for an Id the table does not hold; raises when no new record fits.
    std::optional<PreparedRecord> PrepareRecord(const Collection& Data, int32_t requestedId) const;
    // Puts the prepared record into the table and commits the change; on a raise the table is as it was.
    void CommitRecord(PreparedRecord& prepared);
    // After a failed open: a table that is open goes on under its own file name and stamp.
    void KeepTheOpenTable(const std::string& itsFileName, const std::optional<FileStamp>& itsStamp);
    // A type-2 value under SmartEncryptKey; an empty key with a non-empty value raises.
    std::string Scrambled(const std::string& value) const;
    std::string Unscrambled(const std::string& value) const;
    // Whether value index (from 0) of a record line is held scrambled.
    bool IsStoredScrambled(int32_t index) const;
    void RequireKeyFor(const std::string& value) const;
    bool FailSoftly(const char* error);
    bool CheckWritable();
    void RequireRecordNr(int32_t Nr) const;
    void RequireFieldNr(int32_t Nr) const;
    [[noreturn]] void FailTooFewValues(int32_t Nr, std::size_t valueCount) const;
    [[noreturn]] void Fail(const std::string& what) const;

    bool m_isOpen = false;
    std::string m_fileName;
    bool m_isReadOnly = false;
    bool m_autoSave = false;
    std::string m_lastError;
    TableContents m_table;
    std::string m_smartEncryptKey;
    YesNoQuestion m_askYesNo;

    // The version of the file the table was last loaded from, and whether a reload may be skipped while
    // the file keeps that version. Cleared by every change in memory and every save.
    std::optional<FileStamp> m_loadedStamp;
    bool m_loadedStampSettled = false;
};

}  // namespace brimhold::recordstore
