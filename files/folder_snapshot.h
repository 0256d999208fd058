#pragma once
// What exists in the target folders, answered from one listing per folder. A listing is kept
// between plans while a change notification on its folder stays quiet; the notification is
// checked only when a plan runs, so nothing runs while the window is idle.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/planner.h"

// The names of one folder back to back: name i ends at ends[i].
struct FolderNames {
    std::wstring units;
    std::vector<uint32_t> ends;
    bool complete = false;  // the listing reached its end
};

inline void AppendFolderName(FolderNames& names, const wchar_t* name)
{
    if (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0))) return;
    names.units.append(name);
    names.ends.push_back(static_cast<uint32_t>(names.units.size()));
}

// Every name of `folder` ("." and ".." left out) in one FindFirstFileExW listing; false when
// the folder cannot be listed completely.
bool ListFolderNames(const std::wstring& folder, FolderNames& names);

// The system calls behind the answers; tests substitute them to count calls or refuse a listing.
struct ExistenceCalls {
    PathExistsFn pathExists = FileSystemPathExists;
    bool (*listFolder)(const std::wstring& folder, FolderNames& names) = ListFolderNames;
    HANDLE(WINAPI* watch)(LPCWSTR folder, BOOL subtree, DWORD filter) = FindFirstChangeNotificationW;
};
ExistenceCalls SetExistenceCalls(const ExistenceCalls& calls);  // returns the previous calls

// Below this many rows asking about one folder that has no listing yet, each row asks the
// system itself: a few rows in a huge folder should not list the whole folder.
constexpr size_t kPerRowLimit = 16;

// The window's existence test for the planner (main thread only). Folders no longer asked about
// are forgotten.
void TargetsExist(const FileList& list, const std::vector<uint32_t>& rows, std::vector<uint8_t>& exists);

// Forgets every listing: after a scan, Clear List or a batch the next plan starts afresh.
void DropFolderSnapshots();

// In the background the program holds no folder open, so other programs may rename or delete a
// shown folder's parents. Not allowed: every listing is dropped, WatchFolder takes nothing and a
// plan's listings serve that plan only. Allowed again: the folders listed meanwhile are watched
// and listed again at once, so what changed in between is seen.
void AllowFolderWatches(bool allowed);

// The scan's own listing stands in for the first listing of the input folder: watch before
// the scan lists, then adopt what it found (files and sub-folders). Takes the watch handle.
// Without a watch (INVALID_HANDLE_VALUE, also while watches are not allowed) nothing is adopted.
HANDLE WatchFolder(const std::wstring& folder);
void AdoptFolderListing(const std::wstring& folder, HANDLE watch, const FolderNames& names);
