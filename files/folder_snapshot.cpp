// Existence of target paths from one listing per folder, kept while the folder is unchanged.
#include "files/folder_snapshot.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <string_view>

#include "engine/path.h"
#include "engine/wide_char.h"

namespace {

ExistenceCalls g_calls;
bool g_watchesAllowed = true;
std::vector<std::wstring> g_listedUnwatched;  // folders plans listed while watches were not allowed

// One listed folder: its names folded like the planner's duplicate index folds target paths,
// in an open-addressing table of name numbers (no allocation per name), and the armed
// notification that says when the listing went stale.
struct FolderSnapshot {
    std::wstring folder;
    HANDLE change = INVALID_HANDLE_VALUE;
    FolderNames names;
    std::vector<uint32_t> slots;  // a power of two; name number + 1, 0 marks a free slot

    ~FolderSnapshot()
    {
        if (change != INVALID_HANDLE_VALUE) FindCloseChangeNotification(change);
    }
};

std::vector<std::unique_ptr<FolderSnapshot>> g_snapshots;

std::wstring_view NameAt(const FolderNames& names, size_t i)
{
    const uint32_t begin = i ? names.ends[i - 1] : 0;
    return std::wstring_view(names.units).substr(begin, names.ends[i] - begin);
}

size_t HashOf(std::wstring_view folded)
{
    return std::hash<std::wstring_view>{}(folded);
}

void IndexNames(FolderSnapshot& snap)
{
    for (wchar_t& c : snap.names.units) c = LowerUnit(c);
    const size_t count = snap.names.ends.size();
    size_t size = 1;
    while (size < 2 * count + 1) size *= 2;
    snap.slots.assign(size, 0);
    for (size_t i = 0; i < count; ++i) {
        size_t at = HashOf(NameAt(snap.names, i)) & (size - 1);
        while (snap.slots[at]) at = (at + 1) & (size - 1);
        snap.slots[at] = static_cast<uint32_t>(i + 1);
    }
}

bool SnapshotHas(const FolderSnapshot& snap, const std::wstring& name, std::wstring& folded)
{
    folded.resize(name.size());
    for (size_t i = 0; i < name.size(); ++i) folded[i] = LowerUnit(name[i]);
    const size_t mask = snap.slots.size() - 1;
    for (size_t at = HashOf(folded) & mask; snap.slots[at]; at = (at + 1) & mask) {
        if (NameAt(snap.names, snap.slots[at] - 1) == std::wstring_view(folded)) return true;
    }
    return false;
}

// Names a listing cannot answer like the system: devices (the system says they exist in every
// folder), and the 8.3 shape whose short alias a basic listing does not return.
bool AskSystemAbout(const FileEntry& row)
{
    return row.targetDirectory.empty() || IsDeviceName(row.newName) || row.newName.find(L'~') != std::wstring::npos;
}

void AskEachRow(const FileList& list, const std::vector<uint32_t>& rows, const std::vector<uint32_t>& which,
                std::vector<uint8_t>& exists)
{
    for (uint32_t k : which) exists[k] = g_calls.pathExists(list[rows[k]].targetPath);
}

bool FolderIsMissing(const std::wstring& folder)
{
    if (GetFileAttributesW(folder.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Lists into `snap`; its change handle is already armed, so nothing made during the listing is missed.
bool Fill(FolderSnapshot& snap)
{
    snap.names = FolderNames{};
    if (!g_calls.listFolder(snap.folder, snap.names)) return false;
    IndexNames(snap);
    return true;
}

enum class Answer { FromSnapshot, PerRow, NothingExists };

// The snapshot to answer from, made or refreshed as needed, or how to answer without one.
Answer Prepare(const std::wstring& folder, size_t askers, FolderSnapshot*& snap)
{
    snap = nullptr;
    for (auto& held : g_snapshots) {
        if (held->folder == folder) snap = held.get();
    }
    if (snap) {
        const DWORD wait = WaitForSingleObject(snap->change, 0);
        if (wait == WAIT_TIMEOUT) return Answer::FromSnapshot;
        if (wait == WAIT_OBJECT_0 && FindNextChangeNotification(snap->change) && Fill(*snap))
            return Answer::FromSnapshot;
    } else {
        if (askers < kPerRowLimit) return Answer::PerRow;
        const HANDLE change = WatchFolder(folder);
        if (change == INVALID_HANDLE_VALUE) {
            if (FolderIsMissing(folder)) return Answer::NothingExists;
            // A folder that cannot be watched is asked per row; in the background the listing
            // serves this plan only.
            if (g_watchesAllowed) return Answer::PerRow;
        }
        g_snapshots.push_back(std::make_unique<FolderSnapshot>());
        snap = g_snapshots.back().get();
        snap->folder = folder;
        snap->change = change;
        if (Fill(*snap)) return Answer::FromSnapshot;
    }
    // Stale and not refreshable, or the listing failed: never guess, ask per row.
    for (auto it = g_snapshots.begin(); it != g_snapshots.end(); ++it) {
        if (it->get() == snap) {
            g_snapshots.erase(it);
            break;
        }
    }
    snap = nullptr;
    return Answer::PerRow;
}

// The rows of one plan that ask about one folder (by its text, as the planner joined it).
struct FolderAsk {
    const std::wstring* folder;
    std::vector<uint32_t> which;  // positions in the planner's `rows`
};

void AnswerFolder(const FolderAsk& ask, const FileList& list, const std::vector<uint32_t>& rows,
                  std::vector<uint8_t>& exists)
{
    FolderSnapshot* snap = nullptr;
    switch (Prepare(*ask.folder, ask.which.size(), snap)) {
    case Answer::NothingExists: return;
    case Answer::PerRow: AskEachRow(list, rows, ask.which, exists); return;
    case Answer::FromSnapshot: break;
    }
    std::wstring folded;
    for (uint32_t k : ask.which) exists[k] = SnapshotHas(*snap, list[rows[k]].newName, folded);
}

void ForgetFoldersExcept(const std::vector<FolderAsk>& asks)
{
    std::erase_if(g_snapshots, [&](const std::unique_ptr<FolderSnapshot>& snap) {
        for (const FolderAsk& ask : asks) {
            if (*ask.folder == snap->folder) return false;
        }
        return true;
    });
}

}  // namespace

bool ListFolderNames(const std::wstring& folder, FolderNames& names)
{
    WIN32_FIND_DATAW data = {};
    const HANDLE find = FindFirstFileExW(JoinPath(folder, L"*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                         nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return false;
    do {
        AppendFolderName(names, data.cFileName);
    } while (FindNextFileW(find, &data));
    names.complete = GetLastError() == ERROR_NO_MORE_FILES;
    FindClose(find);
    return names.complete;
}

ExistenceCalls SetExistenceCalls(const ExistenceCalls& calls)
{
    const ExistenceCalls previous = g_calls;
    g_calls = calls;
    if (!g_calls.pathExists) g_calls.pathExists = FileSystemPathExists;
    if (!g_calls.listFolder) g_calls.listFolder = ListFolderNames;
    if (!g_calls.watch) g_calls.watch = FindFirstChangeNotificationW;
    return previous;
}

void TargetsExist(const FileList& list, const std::vector<uint32_t>& rows, std::vector<uint8_t>& exists)
{
    std::vector<FolderAsk> asks;
    std::vector<uint32_t> perRow;
    for (uint32_t k = 0; k < rows.size(); ++k) {
        const FileEntry& row = list[rows[k]];
        if (AskSystemAbout(row)) {
            perRow.push_back(k);
            continue;
        }
        // Rows almost always share one folder: look at the last one first.
        auto ask = asks.rbegin();
        const std::wstring& folder = row.targetDirectory.str();
        while (ask != asks.rend() && ask->folder != &folder && *ask->folder != folder) ++ask;
        if (ask == asks.rend()) {
            asks.push_back(FolderAsk{&folder, {}});
            ask = asks.rbegin();
        }
        ask->which.push_back(k);
    }
    ForgetFoldersExcept(asks);
    AskEachRow(list, rows, perRow, exists);
    for (const FolderAsk& ask : asks) AnswerFolder(ask, list, rows, exists);
    if (g_watchesAllowed) return;
    for (const auto& snap : g_snapshots) {  // once each: plans come every 100 ms while dates are read
        if (std::find(g_listedUnwatched.begin(), g_listedUnwatched.end(), snap->folder) == g_listedUnwatched.end())
            g_listedUnwatched.push_back(snap->folder);
    }
    g_snapshots.clear();  // unwatched listings go stale unseen
}

void DropFolderSnapshots()
{
    g_snapshots.clear();
    g_listedUnwatched.clear();
}

void AllowFolderWatches(bool allowed)
{
    if (allowed == g_watchesAllowed) return;
    const std::vector<std::wstring> folders = std::move(g_listedUnwatched);
    DropFolderSnapshots();
    g_watchesAllowed = allowed;
    if (!allowed) return;
    for (const std::wstring& folder : folders) {
        FolderSnapshot* snap = nullptr;
        Prepare(folder, kPerRowLimit, snap);
    }
}

HANDLE WatchFolder(const std::wstring& folder)
{
    // The folder the listing reads: "C:" alone would be the drive's current folder, not "C:\".
    if (!g_watchesAllowed) return INVALID_HANDLE_VALUE;
    const std::wstring listed = JoinPath(folder, L"");
    return g_calls.watch(listed.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME);
}

void AdoptFolderListing(const std::wstring& folder, HANDLE watch, const FolderNames& names)
{
    if (watch == INVALID_HANDLE_VALUE || watch == nullptr) return;
    auto snap = std::make_unique<FolderSnapshot>();
    snap->change = watch;  // closed with the snapshot, adopted or not
    if (!names.complete) return;
    snap->folder = folder;
    snap->names = names;
    IndexNames(*snap);
    DropFolderSnapshots();
    g_snapshots.push_back(std::move(snap));
}
