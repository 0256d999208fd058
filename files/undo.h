#pragma once
// Putting the files of the last batch back: what the batch did, kept in memory only, and the
// file work of one file. No window involved.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/planner.h"

// A file as a copy left it: an undo deletes a copy only while it is still exactly that.
struct FileStamp {
    uint64_t size = 0;
    FILETIME lastWrite = {};
    DWORD attributes = 0;  // a copy of a read-only file is read-only too
};

// One file that a batch renamed, moved or copied.
struct UndoRecord {
    ProcessMode mode = ProcessMode::RenameInPlace;
    std::wstring source;  // where the file was before the batch
    std::wstring target;  // where the batch put it (the copy, for copies)
    FileStamp copy;       // copies only
};
using UndoList = std::vector<UndoRecord>;

enum class UndoResult { Undone, CopyChanged, Failed };

// The stamp of the file at `path` (a full path); false when it cannot be read.
bool ReadFileStamp(const std::wstring& path, FileStamp& stamp);
// Puts one file back without overwriting anything: renames and moves go back to their old
// name, a copy is deleted while it is unchanged. On Failed, `errorText` says why.
UndoResult UndoOneFile(const UndoRecord& record, std::wstring& errorText);

std::wstring UndoPromptText(ProcessMode mode, size_t count);
std::wstring UndoFinishedText(int undone, int kept, int total);
std::wstring UndoStoppedText(int undone, int kept, int notProcessed, int total);
