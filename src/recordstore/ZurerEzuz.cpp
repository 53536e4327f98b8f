#include "recordstore/ZurerEzuz.h"

#include "recordstore/DecimalText.h"
#include "recordstore/FieldScrambler.h"
#include "recordstore/LineCodec.h"
#include "recordstore/RecordStoreError.h"
#include "recordstore/TableFile.h"
#include "recordstore/TableLock.h"

#include <sys/stat.h>
#include <utility>

namespace brimhold::recordstore {

namespace {

const char* const kNoDatabase = "Er is geen database geopend";
const char* const kReadOnly = "Database is alleen lezen";
const char* const kInvalidRecord = "Record ongeldig";
const char* const kFileNotFound = "Bestand niet gevonden";
const char* const kCreateQuestion = "Dit bestand bestaat niet. Wilt u een nieuwe database aanmaken?";
const char* const kQuestionTitle = "ZurerEzuz";
const char* const kInvalidCharacterIn = "Ongeldig teken in veld ";

// How long a change waits for another program's change of the same file to end.
constexpr std::chrono::seconds kLockPatience{2};

// "&Q#§kÿrV‰" in Windows-1252.
const char kInitialKey[] = "\x26\x51\x23\xA7\x6B\xFF\x72\x56\x89";

bool IsScrambled(const FieldDef& field) {
    return field.type == TableContents::kScrambledType;
}

// Takes a change back when the scope it guards is left before Keep, by a raise on the way out.
class RollbackGuard {
public:
    explicit RollbackGuard(const std::function<void()>& undo) : m_undo(undo) {}
    ~RollbackGuard() {
        if (!m_kept) {
            m_undo();
        }
    }
    RollbackGuard(const RollbackGuard&) = delete;
    RollbackGuard& operator=(const RollbackGuard&) = delete;

    void Keep() { m_kept = true; }

private:
    const std::function<void()>& m_undo;
    bool m_kept = false;
};

}  // namespace

ZurerEzuz::ZurerEzuz() {
    setSmartEncryptKey(std::string(kInitialKey, sizeof kInitialKey - 1));
}

void ZurerEzuz::setYesNoQuestion(YesNoQuestion question) {
    m_askYesNo = std::move(question);
}

bool ZurerEzuz::OpenDatabase(const std::string& FileName, bool Interactive) {
    const std::string previousFileName = m_fileName;
    const std::optional<FileStamp> previousStamp = m_loadedStamp;
    m_fileName = FileName;
    m_loadedStamp.reset();

    struct stat status {};
    const bool exists = ::stat(FileName.c_str(), &status) == 0 && S_ISREG(status.st_mode);
    if (!exists) {
        const bool create = Interactive && m_askYesNo && m_askYesNo(kCreateQuestion, kQuestionTitle);
        if (!create) {
            KeepTheOpenTable(previousFileName, previousStamp);
            return FailSoftly(kFileNotFound);
        }
        // There is no table name or field list to create a table from: the load below reports the
        // missing file.
    }
    const bool readOnly = exists && (status.st_mode & 0222) == 0;
    try {
        Load();
    } catch (...) {
        KeepTheOpenTable(previousFileName, previousStamp);
        throw;
    }
    m_isReadOnly = readOnly;
    return true;
}

void ZurerEzuz::KeepTheOpenTable(const std::string& itsFileName, const std::optional<FileStamp>& itsStamp) {
    // The table still in memory belongs to its own file: keep saving it there, never to a path that
    // could not be opened.
    if (m_isOpen) {
        m_fileName = itsFileName;
        m_loadedStamp = itsStamp;
    }
}

bool ZurerEzuz::SaveDatabase() {
    if (!CheckWritable()) {
        return false;
    }
    const TableLock lock(m_fileName, kLockPatience);
    WriteFile();
    return true;
}

bool ZurerEzuz::ReadyToRead() {
    if (!m_isOpen) {
        return FailSoftly(kNoDatabase);
    }
    if (m_autoSave) {
        ReloadDatabase();
    }
    return true;
}

std::optional<ZurerEzuz::Collection> ZurerEzuz::Record(int32_t Nr) {
    if (!ReadyToRead()) {
        return std::nullopt;
    }
    RequireRecordNr(Nr);
    const std::vector<std::string> values = LineCodec::SplitLine(m_table.recordLines[Nr - 1]);
    const int32_t fieldCount = m_table.fieldCount;
    if (static_cast<int64_t>(values.size()) < fieldCount) {
        FailTooFewValues(Nr, values.size());
    }
    Collection record;
    for (int32_t i = 0; i < fieldCount; ++i) {
        record.push_back(IsStoredScrambled(i) ? Unscrambled(values[i]) : values[i]);
    }
    return record;
}

std::optional<ZurerEzuz::Collection> ZurerEzuz::FieldValues(int32_t FieldNr) {
    if (!ReadyToRead()) {
        return std::nullopt;
    }
    const int32_t fieldCount = m_table.fieldCount;
    if (FieldNr < 1 || FieldNr > fieldCount) {
        Fail("the field number " + std::to_string(FieldNr) + " lies outside 1.." +
             std::to_string(fieldCount));
    }
    const bool scrambled = IsStoredScrambled(FieldNr - 1);
    Collection column;
    column.reserve(m_table.recordLines.size());
    for (std::size_t i = 0; i < m_table.recordLines.size(); ++i) {
        std::size_t valueCount = 0;
        std::string value = LineCodec::ValueAt(m_table.recordLines[i], std::size_t(FieldNr - 1), &valueCount);
        if (static_cast<int64_t>(valueCount) < fieldCount) {
            FailTooFewValues(static_cast<int32_t>(i + 1), valueCount);
        }
        column.push_back(scrambled ? Unscrambled(value) : std::move(value));
    }
    return column;
}

bool ZurerEzuz::RemRecord(int32_t Nr) {
    if (!CheckWritable()) {
        return false;
    }
    const std::optional<TableLock> lock = BeginChange();
    RequireRecordNr(Nr);
    const auto position = static_cast<std::size_t>(Nr - 1);
    std::string removedLine = std::move(m_table.recordLines[position]);
    const int32_t removedId = m_table.recordIds[position];
    m_table.recordLines.erase(m_table.recordLines.begin() + Nr - 1);
    m_table.recordIds.erase(m_table.recordIds.begin() + Nr - 1);
    m_table.RebuildIdIndex();
    CommitChange([&] {
        m_table.recordLines.insert(m_table.recordLines.begin() + Nr - 1, std::move(removedLine));
        m_table.recordIds.insert(m_table.recordIds.begin() + Nr - 1, removedId);
        m_table.RebuildIdIndex();
    });
    return true;
}

bool ZurerEzuz::SetRecord(Collection& Data) {
    if (!CheckWritable()) {
        return false;
    }
    const std::optional<TableLock> lock = BeginChange();
    const std::optional<int32_t> requestedId = ValidateRecord(Data);
    if (!requestedId) {
        return false;
    }
    std::optional<PreparedRecord> prepared = PrepareRecord(Data, *requestedId);
    if (!prepared) {
        return FailSoftly(kInvalidRecord);
    }
    CommitRecord(*prepared);
    Data = std::move(prepared->values);
    return true;
}

std::optional<int32_t> ZurerEzuz::ValidateRecord(const Collection& Data) {
    const int32_t fieldCount = m_table.fieldCount;
    if (static_cast<int64_t>(Data.size()) != fieldCount) {
        FailSoftly(kInvalidRecord);
        return std::nullopt;
    }
    if (Data.empty()) {
        Fail("a record of a table without fields has no Id");
    }
    for (int32_t i = 1; i < fieldCount; ++i) {
        if (IsScrambled(m_table.fieldDefs[i]) && !FieldScrambler::SurvivesScrambling(Data[i])) {
            m_lastError = kInvalidCharacterIn + m_table.fieldDefs[i].name;
            return std::nullopt;
        }
    }
    const std::optional<int32_t> requestedId = DecimalText::ToInt32(Data[0]);
    if (!requestedId) {
        Fail("the record Id \"" + Data[0] + "\" is not a 32-bit integer");
    }
    if (*requestedId < 0 || *requestedId > TableContents::kMaxId) {
        Fail("the record Id " + std::to_string(*requestedId) + " lies outside 0..10000");
    }
    return requestedId;
}

std::optional<ZurerEzuz::PreparedRecord> ZurerEzuz::PrepareRecord(const Collection& Data,
                                                                  int32_t requestedId) const {
    PreparedRecord prepared;
    prepared.values = Data;
    prepared.isNew = requestedId == 0;
    if (prepared.isNew) {
        prepared.id = m_table.autoIncrement;
        if (prepared.id < 1 || prepared.id > TableContents::kMaxId) {
            Fail("no Id is left for a new record: the next Id would be " + std::to_string(prepared.id));
        }
        if (m_table.RecordCount() >= TableContents::kMaxRecords) {
            Fail("the table already holds the most records it can, 10000");
        }
        prepared.nr = m_table.RecordCount() + 1;
        prepared.values[0] = std::to_string(prepared.id);
    } else {
        prepared.id = requestedId;
        prepared.nr = m_table.idIndex[requestedId];
        if (prepared.nr == 0) {
            return std::nullopt;
        }
    }
    for (int32_t i = 1; i < m_table.fieldCount; ++i) {
        if (IsScrambled(m_table.fieldDefs[i])) {
            prepared.values[i] = Scrambled(prepared.values[i]);
        }
    }
    prepared.line = LineCodec::JoinLine(prepared.values);
    return prepared;
}

void ZurerEzuz::CommitRecord(PreparedRecord& prepared) {
    if (prepared.isNew) {
        m_table.recordLines.push_back(std::move(prepared.line));
        m_table.recordIds.push_back(prepared.id);
        m_table.idIndex[prepared.id] = prepared.nr;
        m_table.autoIncrement = prepared.id + 1;
        CommitChange([&] {
            m_table.recordLines.pop_back();
            m_table.recordIds.pop_back();
            m_table.idIndex[prepared.id] = 0;
            m_table.autoIncrement = prepared.id;
        });
    } else {
        std::string& stored = m_table.recordLines[prepared.nr - 1];
        std::swap(stored, prepared.line);  // prepared.line now holds the replaced one
        CommitChange([&] { std::swap(stored, prepared.line); });
    }
}

std::string ZurerEzuz::FieldName(int32_t Nr) const {
    RequireFieldNr(Nr);
    if (Nr < 1 || Nr > static_cast<int32_t>(m_table.fieldDefs.size())) {
        return {};
    }
    return m_table.fieldDefs[Nr - 1].name;
}

int16_t ZurerEzuz::FieldType(int32_t Nr) const {
    RequireFieldNr(Nr);
    if (Nr < 1 || Nr > static_cast<int32_t>(m_table.fieldDefs.size())) {
        return 0;
    }
    return m_table.fieldDefs[Nr - 1].type;
}

int32_t ZurerEzuz::GetRecordNrById(int32_t Id) const {
    if (Id < 0 || Id > TableContents::kMaxId) {
        Fail("the Id " + std::to_string(Id) + " lies outside 0..10000");
    }
    return m_table.idIndex[Id];
}

std::string ZurerEzuz::Name() {
    if (m_isOpen && m_autoSave) {
        ReloadDatabase();
    }
    return m_table.name;
}

void ZurerEzuz::setName(const std::string& NewName) {
    if (!m_autoSave || !CheckWritable()) {
        m_table.name = NewName;
        m_loadedStamp.reset();  // the table no longer matches the file it was loaded from
        return;
    }
    const std::optional<TableLock> lock = BeginChange();
    std::string previous = std::exchange(m_table.name, NewName);
    CommitChange([&] { m_table.name = std::move(previous); });
}

ZurerEzuz::Collection ZurerEzuz::ArrayToCollection(const std::vector<std::string>& vArray) {
    return Collection(vArray.begin(), vArray.end());
}

void ZurerEzuz::ReloadDatabase() {
    if (m_loadedStamp && m_loadedStampSettled) {
        const std::optional<FileStamp> current = FileStamp::OfPath(m_fileName);
        if (current && *current == *m_loadedStamp) {
            return;
        }
    }
    Load();
}

std::optional<TableLock> ZurerEzuz::BeginChange() {
    if (!m_autoSave) {
        return std::nullopt;
    }
    std::optional<TableLock> lock(std::in_place, m_fileName, kLockPatience);
    // Always read, never skipped on an unchanged stamp: under the lock the file is exactly what the
    // last writer left, and the change must build on that.
    Load();
    return lock;
}

void ZurerEzuz::WriteFile() {
    TableFile::Write(m_fileName, m_table);
    m_loadedStamp.reset();  // the new file's time is too recent to prove a later version unchanged
}

void ZurerEzuz::CommitChange(const std::function<void()>& undo) {
    m_loadedStamp.reset();  // the table no longer matches the file it was loaded from
    if (!m_autoSave) {
        return;
    }
    RollbackGuard rollback(undo);
    WriteFile();
    rollback.Keep();
}

void ZurerEzuz::Load() {
    const timespec moment = FileStamp::Now();
    FileStamp stamp;
    m_table = TableFile::Read(m_fileName, stamp);
    m_isOpen = true;
    m_loadedStamp = stamp;
    m_loadedStampSettled = stamp.IsSettledAt(moment);
}

std::string ZurerEzuz::Scrambled(const std::string& value) const {
    RequireKeyFor(value);
    return FieldScrambler::ScrambleField(value, m_smartEncryptKey);
}

bool ZurerEzuz::IsStoredScrambled(int32_t index) const {
    // The Id is always plain decimal text, whatever the type of field 1.
    return index > 0 && IsScrambled(m_table.fieldDefs[std::size_t(index)]);
}

std::string ZurerEzuz::Unscrambled(const std::string& value) const {
    RequireKeyFor(value);
    return FieldScrambler::UnscrambleField(value, m_smartEncryptKey);
}

void ZurerEzuz::RequireKeyFor(const std::string& value) const {
    if (m_smartEncryptKey.empty() && !value.empty()) {
        Fail("the scrambling key is empty: a non-empty value of a scrambled field cannot be stored or read");
    }
}

bool ZurerEzuz::FailSoftly(const char* error) {
    m_lastError = error;
    return false;
}

bool ZurerEzuz::CheckWritable() {
    if (!m_isOpen) {
        return FailSoftly(kNoDatabase);
    }
    if (m_isReadOnly) {
        return FailSoftly(kReadOnly);
    }
    return true;
}

void ZurerEzuz::RequireRecordNr(int32_t Nr) const {
    if (Nr < 1 || Nr > m_table.RecordCount()) {
        Fail("the record number " + std::to_string(Nr) + " lies outside 1.." +
             std::to_string(m_table.RecordCount()));
    }
}

void ZurerEzuz::RequireFieldNr(int32_t Nr) const {
    if (Nr < 0 || Nr > TableContents::kMaxFields) {
        Fail("the field number " + std::to_string(Nr) + " lies outside 0..500");
    }
}

void ZurerEzuz::FailTooFewValues(int32_t Nr, std::size_t valueCount) const {
    const int32_t fieldCount = m_table.fieldCount;
    Fail("line " + std::to_string(1 + fieldCount + Nr) + ": record " + std::to_string(Nr) + " has " +
         std::to_string(valueCount) + " values, the table " + std::to_string(fieldCount) + " fields");
}

void ZurerEzuz::Fail(const std::string& what) const {
    throw RecordStoreError((m_fileName.empty() ? std::string("(no table file)") : m_fileName) + ": " + what);
}

}  // namespace brimhold::recordstore
