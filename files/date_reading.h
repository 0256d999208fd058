#pragma once
// Reading the dates photos were taken, off the window's thread: one job reads the listed files
// that have no date yet, and a cache keyed by path, size and last-write time keeps what was read,
// so each file is read once while it stays as it was. The window owns a DatesTaken and is told
// of progress by a posted message; nothing here knows the window beyond its handle.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/planner.h"

constexpr UINT WM_APP_DATES = WM_APP + 7;  // a date-reading job has published more results

struct DateTaken {
    TakenState state = TakenState::Missing;
    uint64_t taken = 0;  // local ticks when Found
};

// One file's date taken: its first bytes through the EXIF reader. Missing for a file that
// cannot be opened or holds no date.
DateTaken ReadDateTaken(const std::wstring& path);
// What the job calls per file; tests substitute it to hold a job or count the files read.
using ReadDateFn = DateTaken (*)(const std::wstring& path);
ReadDateFn SetDateReadFunction(ReadDateFn read);  // returns the previous function

struct DateRequest {
    std::wstring path;
    uint64_t size = 0;
    uint64_t modified = 0;
};

// One reading, shared by the window's thread and the reader (each holds a std::shared_ptr). The
// reader writes result i before it publishes `completed` = i + 1; the window reads only results
// below `completed`. `cancel` (set by the window) ends it after the file in hand.
struct DateReadingJob {
    std::vector<DateRequest> requests;
    std::vector<DateTaken> results;  // sized to the requests before the reader starts
    HWND window = nullptr;           // told with WM_APP_DATES, at most every kDatePostMs and at the end
    std::atomic<size_t> completed{0};
    std::atomic<bool> ended{false};
    std::atomic<bool> cancel{false};
};
constexpr ULONGLONG kDatePostMs = 100;

// Runs the job on the calling thread (the reader's body).
void RunDateReading(DateReadingJob& job);

// The window's side, main thread only.
struct DatesTaken {
    struct Entry {
        uint64_t size = 0;
        uint64_t modified = 0;
        DateTaken date;
    };
    std::unordered_map<std::wstring, Entry> cache;  // by source path
    std::shared_ptr<DateReadingJob> job;            // the running reading, if any
    size_t applied = 0;                             // results of `job` already in the cache
};

// Gives every unread row the date the cache holds for its file as it is now.
void ApplyCachedDates(const DatesTaken& dates, FileList& rows);
// Starts a reading of the rows still unread, unless one runs or none is unread; false when a
// thread could not be started (the rows stay unread).
bool StartDateReading(DatesTaken& dates, const FileList& rows, HWND window);
// Ends the running reading after its file in hand; what it read so far stays in the cache.
void CancelDateReading(DatesTaken& dates);
// Takes the results published since the last call into the cache and the rows; forgets the job
// once it has ended. True when a row got its date.
bool CollectDateResults(DatesTaken& dates, FileList& rows);
// The dates of the rows a batch renamed, copied or moved (status Done), under their target paths.
void RememberDatesAtTargets(DatesTaken& dates, const FileList& rows);
bool DateReadingRunning(const DatesTaken& dates);
// "Reading dates: 12 / 340"
std::wstring DateReadingText(const DatesTaken& dates);
