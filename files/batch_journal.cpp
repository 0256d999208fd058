#include "files/batch_journal.h"

#include <cstdio>
#include <cstdlib>

#include "engine/path.h"
#include "engine/wide_char.h"
#include "settings/json_text.h"
#include "settings/settings_io.h"

namespace {

constexpr char kPlacesKey[] = "at";
constexpr char kPlacesMarker[] = "\"at\": \"";  // how the writer puts kPlacesKey before its value
constexpr int64_t kMaxRows = 10000000;
// A journal is written only if it can be read back: one batch's plan, with room for millions of
// long paths, but not more than the reader takes.
constexpr long long kMaxJournalBytes = 1LL << 30;

std::string Indexed(char letter, size_t i)
{
    return letter + std::to_string(i);
}

std::wstring StampText(const FileStamp& stamp)
{
    wchar_t text[96];
    swprintf(text, 96, L"%llu,%lu,%lu,%lu", static_cast<unsigned long long>(stamp.size),
             static_cast<unsigned long>(stamp.lastWrite.dwLowDateTime),
             static_cast<unsigned long>(stamp.lastWrite.dwHighDateTime), static_cast<unsigned long>(stamp.attributes));
    return text;
}

bool ParseStamp(const std::wstring& text, FileStamp& stamp)
{
    unsigned long long size = 0;
    unsigned long low = 0, high = 0, attributes = 0;
    if (swscanf(text.c_str(), L"%llu,%lu,%lu,%lu", &size, &low, &high, &attributes) != 4) return false;
    stamp = {size, {low, high}, attributes};
    return true;
}

// A member "<letter><row>": the row's field that the letter names, for either kind of journal.
bool ReadRowMember(const std::string& key, const std::string& text, JsonCursor& cursor, JournalContents& contents)
{
    char* end = nullptr;
    const unsigned long long row = key.size() > 1 ? std::strtoull(key.c_str() + 1, &end, 10) : 0;
    const size_t count = contents.running ? contents.batch.rows.size() : contents.last.records.size();
    if (key.size() < 2 || !end || *end || row >= count) return SkipJsonValue(text, cursor);
    if (!contents.running) {
        UndoRecord& record = contents.last.records[row];
        std::wstring stamp;
        int64_t mode = 0;
        switch (key[0]) {
        case 's': return ReadJsonWideString(text, cursor, record.source);
        case 'f': return ReadJsonWideString(text, cursor, record.target);
        case 'm':
            if (!ReadJsonInteger(text, cursor, mode) || mode < 0 || mode > 2) return false;
            record.mode = static_cast<ProcessMode>(mode);
            return true;
        case 'c': return ReadJsonWideString(text, cursor, stamp) && ParseStamp(stamp, record.copy);
        default: return SkipJsonValue(text, cursor);
        }
    }
    JournalRow& journalRow = contents.batch.rows[row];
    switch (key[0]) {
    case 's': return ReadJsonWideString(text, cursor, journalRow.source);
    case 't': return ReadJsonWideString(text, cursor, journalRow.temp);
    case 'f': return ReadJsonWideString(text, cursor, journalRow.target);
    default: return SkipJsonValue(text, cursor);
    }
}

bool ReadMember(const std::string& key, const std::string& text, JsonCursor& cursor, JournalContents& contents)
{
    int64_t number = 0;
    std::string word;
    if (key == "journal") {
        if (!ReadJsonString(text, cursor, word)) return false;
        contents.running = word == "running";
        return word == "running" || word == "done";
    }
    if (key == "batch") return ReadJsonWideString(text, cursor, contents.batch.id);
    if (key == "within") return ReadJsonBool(text, cursor, contents.last.withinBatch);
    if (key == "mode" || key == "count") {
        if (!ReadJsonInteger(text, cursor, number) || number < 0) return false;
        if (key == "mode") {
            if (number > 2) return false;
            contents.batch.mode = static_cast<ProcessMode>(number);
        } else if (number > kMaxRows) {
            return false;
        } else if (contents.running) {
            contents.batch.rows.resize(static_cast<size_t>(number));
        } else {
            contents.last.records.resize(static_cast<size_t>(number));
        }
        return true;
    }
    if (key == kPlacesKey) {
        if (!ReadJsonString(text, cursor, word) || word.size() != contents.batch.rows.size()) return false;
        for (size_t i = 0; i < word.size(); ++i) contents.batch.rows[i].at = word[i];
        return true;
    }
    return ReadRowMember(key, text, cursor, contents);
}

}  // namespace

std::string FormatRunningBatch(const RunningBatch& batch)
{
    JsonTextWriter writer;
    writer.String("journal", L"running");
    writer.String("batch", batch.id);
    writer.Integer("mode", static_cast<int32_t>(batch.mode));
    writer.Integer("count", static_cast<int32_t>(batch.rows.size()));
    std::wstring places;
    for (size_t i = 0; i < batch.rows.size(); ++i) {
        const JournalRow& row = batch.rows[i];
        writer.String(Indexed('s', i).c_str(), row.source);
        if (!row.temp.empty()) writer.String(Indexed('t', i).c_str(), row.temp);
        writer.String(Indexed('f', i).c_str(), row.target);
        places += static_cast<wchar_t>(row.at);
    }
    writer.String(kPlacesKey, places);  // last: its characters are overwritten in place
    return writer.Finish();
}

std::string FormatLastBatch(const LastBatchRecord& last)
{
    JsonTextWriter writer;
    writer.String("journal", L"done");
    writer.Bool("within", last.withinBatch);
    writer.Integer("count", static_cast<int32_t>(last.records.size()));
    for (size_t i = 0; i < last.records.size(); ++i) {
        const UndoRecord& record = last.records[i];
        writer.Integer(Indexed('m', i).c_str(), static_cast<int32_t>(record.mode));
        writer.String(Indexed('s', i).c_str(), record.source);
        writer.String(Indexed('f', i).c_str(), record.target);
        if (record.mode == ProcessMode::CopyAndRename) writer.String(Indexed('c', i).c_str(), StampText(record.copy));
    }
    return writer.Finish();
}

bool ParseJournal(const std::string& text, JournalContents& contents)
{
    JournalContents read;
    const bool complete = ReadJsonObject(text, [&](const std::string& key, const std::string& t, JsonCursor& cursor) {
        return ReadMember(key, t, cursor, read);
    });
    if (!complete) return false;
    contents = std::move(read);
    return true;
}

bool ReadJournal(const std::wstring& path, JournalContents& contents)
{
    std::string text;
    return ReadWholeFile(path, text, kMaxJournalBytes) && ParseJournal(text, contents);
}

bool SaveRunningBatch(const std::wstring& path, const RunningBatch& batch)
{
    return ReplaceFileContents(path, FormatRunningBatch(batch));
}

bool SaveLastBatch(const std::wstring& path, const LastBatchRecord& last)
{
    if (last.records.empty()) return DeleteFileW(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
    return ReplaceFileContents(path, FormatLastBatch(last));
}

std::wstring JournalPathBeside(const std::wstring& settingsPath)
{
    return JoinPath(FolderOf(settingsPath), L"batch-journal.json");
}

std::wstring NewBatchId()
{
    static LONG counter = 0;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    wchar_t id[64];
    swprintf(id, 64, L"%lx%lx%lx", static_cast<unsigned long>(now.dwLowDateTime >> 12),
             static_cast<unsigned long>(GetCurrentProcessId()),
             static_cast<unsigned long>(InterlockedIncrement(&counter)));
    return id;
}

bool JournalFile::Begin(const std::wstring& path, const RunningBatch& batch)
{
    Close();
    path_ = path;
    previous_.clear();
    ReadWholeFile(path, previous_, kMaxJournalBytes);
    if (batch.rows.size() > static_cast<size_t>(kMaxRows)) return false;
    const std::string text = FormatRunningBatch(batch);
    const size_t places = text.rfind(kPlacesMarker);
    if (places == std::string::npos || text.size() > static_cast<size_t>(kMaxJournalBytes) ||
        !ReplaceFileContents(path, text))
        return false;
    file_ = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    placesAt_ = places + sizeof(kPlacesMarker) - 1;
    if (!IsOpen()) Abandon();
    return IsOpen();
}

void JournalFile::Abandon()
{
    Close();
    if (previous_.empty())
        DeleteFileW(path_.c_str());
    else
        ReplaceFileContents(path_, previous_);
}

std::wstring JournalMutexName(const std::wstring& journalPath)
{
    uint64_t hash = 14695981039346656037ull;  // FNV-1a over the path's folded UTF-16 units
    for (wchar_t c : journalPath) hash = (hash ^ static_cast<uint16_t>(LowerUnit(c))) * 1099511628211ull;
    wchar_t name[64];
    swprintf(name, 64, L"Local\\Orvane.Pallisto.Journal.%016llx", static_cast<unsigned long long>(hash));
    return name;
}

bool JournalLock::Take(const std::wstring& journalPath)
{
    if (mutex_) return true;
    mutex_ = CreateMutexW(nullptr, FALSE, JournalMutexName(journalPath).c_str());
    if (!mutex_) return false;
    const DWORD waited = WaitForSingleObject(mutex_, 0);
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) return true;
    CloseHandle(mutex_);
    mutex_ = nullptr;
    return false;
}

void JournalLock::Release()
{
    if (!mutex_) return;
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
    mutex_ = nullptr;
}

void JournalFile::SetPlace(size_t row, char at)
{
    if (!IsOpen()) return;
    const uint64_t offset = placesAt_ + row;
    OVERLAPPED where = {};
    where.Offset = static_cast<DWORD>(offset);
    where.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD written = 0;
    WriteFile(file_, &at, 1, &written, &where);
}

void JournalFile::Flush()
{
    if (IsOpen()) FlushFileBuffers(file_);
}

void JournalFile::Close()
{
    if (IsOpen()) CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
}
