#pragma once
// The batch journal beside the exe ("batch-journal.json"): while a batch of renames within the
// batch runs, every file's source, temporary name and target and where the file is now; once a
// batch has ended, the record of what it did, for Undo Last Batch after a restart. Written like
// the settings file (temporary file, flushed, renamed into place); while a batch runs, only the
// one character per file that says where it is changes, in place.
#include <windows.h>

#include <string>
#include <vector>

#include "engine/planner.h"
#include "files/undo.h"

// Where a file of a running batch is: under its source name, its temporary name, or its target.
constexpr char kAtSource = 'S';
constexpr char kAtTemp = 'T';
constexpr char kAtTarget = 'F';

struct JournalRow {
    std::wstring source;
    std::wstring temp;  // empty when the file needs none
    std::wstring target;
    char at = kAtSource;
};

struct RunningBatch {
    std::wstring id;
    ProcessMode mode = ProcessMode::RenameInPlace;
    std::vector<JournalRow> rows;  // in the order the files move
};

// The record of the last batch: Undo Last Batch's list, and whether it renamed within itself
// (its undo then needs the same ordering).
struct LastBatchRecord {
    UndoList records;
    bool withinBatch = false;
};

struct JournalContents {
    bool running = false;  // a batch that never ended: `batch` is valid, else `last`
    RunningBatch batch;
    LastBatchRecord last;
};

// The journal of a running batch, held open for its position updates.
class JournalFile {
public:
    JournalFile() = default;
    ~JournalFile() { Close(); }
    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;

    // Writes the whole batch to `path` and opens it for updates; false when that failed (the
    // batch must not start then, and the journal is as it was).
    bool Begin(const std::wstring& path, const RunningBatch& batch);
    // The batch never started after all: the journal goes back to what it was before Begin.
    void Abandon();
    // Row `row` is now `at`. Survives the process being killed the moment after.
    void SetPlace(size_t row, char at);
    // Down to the disk: after a cycle, whose files' names alone do not tell where they are.
    void Flush();
    void Close();
    bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    uint64_t placesAt_ = 0;  // byte offset of the first row's place character
    std::wstring path_;
    std::string previous_;  // the journal before Begin; empty when there was none
};

// A journal belongs to one batch at a time, whichever program (window or command line) runs it:
// every ordered batch, ordered undo and recovery holds the journal's named mutex while it runs.
// A Win32 mutex is the thread's: release it on the thread that took it.
class JournalLock {
public:
    JournalLock() = default;
    ~JournalLock() { Release(); }
    JournalLock(const JournalLock&) = delete;
    JournalLock& operator=(const JournalLock&) = delete;

    // False when another batch holds the journal at `journalPath`. One left by a killed process
    // is taken.
    bool Take(const std::wstring& journalPath);
    void Release();

private:
    HANDLE mutex_ = nullptr;
};
// The mutex's name: one per journal file (copies of the program in other folders, and tests,
// do not share it).
std::wstring JournalMutexName(const std::wstring& journalPath);

// The journal's file beside the settings file (beside the exe).
std::wstring JournalPathBeside(const std::wstring& settingsPath);
// A new batch id: unique on this machine for the life of its temporary names.
std::wstring NewBatchId();

std::string FormatRunningBatch(const RunningBatch& batch);
std::string FormatLastBatch(const LastBatchRecord& last);
bool ParseJournal(const std::string& text, JournalContents& contents);
// False when there is no journal or it cannot be read.
bool ReadJournal(const std::wstring& path, JournalContents& contents);
// Writes a batch that is still to be recovered (not opened for updates).
bool SaveRunningBatch(const std::wstring& path, const RunningBatch& batch);
// Keeps the record (an empty one removes the journal).
bool SaveLastBatch(const std::wstring& path, const LastBatchRecord& last);
