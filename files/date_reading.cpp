#include "files/date_reading.h"

#include <process.h>

#include <cwchar>

#include "files/exif_reader.h"
#include "files/worker.h"

namespace {

ReadDateFn g_readDate = ReadDateTaken;

class ReadHandle {
public:
    explicit ReadHandle(HANDLE h) : h_(h) {}
    ~ReadHandle()
    {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    }
    ReadHandle(const ReadHandle&) = delete;
    ReadHandle& operator=(const ReadHandle&) = delete;
    HANDLE get() const { return h_; }

private:
    HANDLE h_;
};

// The first bytes of a file, up to the buffer's size; 0 when it cannot be read.
size_t ReadFirstBytes(const std::wstring& path, uint8_t* buffer, size_t size)
{
    const ReadHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return 0;
    size_t done = 0;
    while (done < size) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer + done, static_cast<DWORD>(size - done), &got, nullptr) || got == 0) break;
        done += got;
    }
    return done;
}

bool SameFile(const DatesTaken::Entry& entry, const FileEntry& row)
{
    return entry.size == row.size && entry.modified == row.modified;
}

unsigned __stdcall DateReaderMain(void* parameter)
{
    const std::unique_ptr<std::shared_ptr<DateReadingJob>> holder(
        static_cast<std::shared_ptr<DateReadingJob>*>(parameter));
    RunDateReading(**holder);
    return 0;
}

}  // namespace

DateTaken ReadDateTaken(const std::wstring& path)
{
    // One buffer per thread, kept: a reading asks for thousands of files in a row.
    static thread_local std::vector<uint8_t> buffer(kExifReadLimit);
    const size_t size = ReadFirstBytes(path, buffer.data(), buffer.size());
    CivilTime time;
    if (!FindDateTaken(buffer.data(), size, time)) return DateTaken{};
    return DateTaken{TakenState::Found, TicksFromCivil(time)};
}

ReadDateFn SetDateReadFunction(ReadDateFn read)
{
    const ReadDateFn previous = g_readDate;
    g_readDate = read ? read : ReadDateTaken;
    return previous;
}

void RunDateReading(DateReadingJob& job)
{
    const ReadDateFn read = g_readDate;
    ULONGLONG postedAt = GetTickCount64();
    for (size_t i = 0; i < job.requests.size() && !job.cancel.load(std::memory_order_acquire); ++i) {
        job.results[i] = read(job.requests[i].path);
        job.completed.store(i + 1, std::memory_order_release);
        const ULONGLONG now = GetTickCount64();
        if (now - postedAt >= kDatePostMs && job.window) {
            PostMessageW(job.window, WM_APP_DATES, 0, 0);
            postedAt = now;
        }
    }
    job.ended.store(true, std::memory_order_release);
    if (job.window) PostToWindow(job.window, WM_APP_DATES, 0, 0);
}

void ApplyCachedDates(const DatesTaken& dates, FileList& rows)
{
    if (dates.cache.empty()) return;
    for (FileEntry& row : rows) {
        if (row.takenState != TakenState::Unread) continue;
        const auto hit = dates.cache.find(row.sourcePath);
        if (hit == dates.cache.end() || !SameFile(hit->second, row)) continue;
        row.takenState = hit->second.date.state;
        row.taken = hit->second.date.taken;
    }
}

bool StartDateReading(DatesTaken& dates, const FileList& rows, HWND window)
{
    if (dates.job) return true;
    auto job = std::make_shared<DateReadingJob>();
    for (const FileEntry& row : rows) {
        if (row.takenState == TakenState::Unread)
            job->requests.push_back(DateRequest{row.sourcePath, row.size, row.modified});
    }
    if (job->requests.empty()) return true;
    job->results.resize(job->requests.size());
    job->window = window;
    auto* holder = new std::shared_ptr<DateReadingJob>(job);
    const uintptr_t thread = _beginthreadex(nullptr, 0, DateReaderMain, holder, 0, nullptr);
    if (!thread) {
        delete holder;
        return false;
    }
    CloseHandle(reinterpret_cast<HANDLE>(thread));
    dates.job = std::move(job);
    dates.applied = 0;
    return true;
}

void CancelDateReading(DatesTaken& dates)
{
    if (!dates.job) return;
    dates.job->cancel.store(true, std::memory_order_release);
    dates.job.reset();  // the reader keeps its own share until it ends
    dates.applied = 0;
}

bool CollectDateResults(DatesTaken& dates, FileList& rows)
{
    if (!dates.job) return false;
    DateReadingJob& job = *dates.job;
    const bool ended = job.ended.load(std::memory_order_acquire);
    const size_t completed = job.completed.load(std::memory_order_acquire);
    const bool any = completed > dates.applied;
    for (; dates.applied < completed; ++dates.applied) {
        const DateRequest& request = job.requests[dates.applied];
        dates.cache[request.path] = DatesTaken::Entry{request.size, request.modified, job.results[dates.applied]};
    }
    if (ended) {
        dates.job.reset();
        dates.applied = 0;
    }
    if (any) ApplyCachedDates(dates, rows);
    return any;
}

void RememberDatesAtTargets(DatesTaken& dates, const FileList& rows)
{
    for (const FileEntry& row : rows) {
        if (row.status != ItemStatus::Done || row.takenState == TakenState::Unread) continue;
        dates.cache[row.targetPath] = DatesTaken::Entry{row.size, row.modified, DateTaken{row.takenState, row.taken}};
    }
}

bool DateReadingRunning(const DatesTaken& dates)
{
    return dates.job != nullptr;
}

std::wstring DateReadingText(const DatesTaken& dates)
{
    if (!dates.job) return std::wstring();
    wchar_t buffer[96];
    std::swprintf(buffer, 96, L"Reading dates: %zu / %zu", dates.applied, dates.job->requests.size());
    return buffer;
}
