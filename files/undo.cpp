// The file work of an undo: it never overwrites a file and never deletes one the user changed.
#include "files/undo.h"

#include <cstdio>

#include "engine/path.h"
#include "files/worker.h"

namespace {

bool SameStamp(const FileStamp& a, const FileStamp& b)
{
    return a.size == b.size && CompareFileTime(&a.lastWrite, &b.lastWrite) == 0 &&
           (a.attributes & FILE_ATTRIBUTE_READONLY) == (b.attributes & FILE_ATTRIBUTE_READONLY);
}

FileStamp StampOf(const BY_HANDLE_FILE_INFORMATION& info)
{
    return {(static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow, info.ftLastWriteTime,
            info.dwFileAttributes};
}

// The copy is held open without sharing from the check to the delete, so nobody can write
// to it in between, and a copy that is open elsewhere is not touched at all.
UndoResult DeleteUnchangedCopy(const UndoRecord& record, DWORD& error)
{
    const std::wstring path = ExtendedFilePath(record.target);
    HANDLE file = OpenToDispose(path);
    if (file == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return UndoResult::Failed;
    }
    UndoResult result = UndoResult::Failed;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info)) {
        error = GetLastError();
    } else if (!SameStamp(StampOf(info), record.copy)) {
        result = UndoResult::CopyChanged;
    } else if (DisposeOfOpenFile(file, path, info.dwFileAttributes, error)) {
        result = UndoResult::Undone;  // gone when the handle closes
    }
    CloseHandle(file);
    return result;
}

}  // namespace

bool ReadFileStamp(const std::wstring& path, FileStamp& stamp)
{
    HANDLE file = CreateFileW(ExtendedFilePath(path).c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    const bool read = GetFileInformationByHandle(file, &info) != FALSE;
    if (read) stamp = StampOf(info);
    CloseHandle(file);
    return read;
}

UndoResult UndoOneFile(const UndoRecord& record, std::wstring& errorText)
{
    errorText.clear();
    if (record.mode == ProcessMode::CopyAndRename) {
        DWORD error = ERROR_SUCCESS;
        const UndoResult result = DeleteUnchangedCopy(record, error);
        if (result == UndoResult::Failed) errorText = DescribeError(error);
        return result;
    }
    // The batch's own operation the other way round: never replacing, and for moves the same
    // copy-and-delete fallback with its complete copies and rollback.
    FileEntry back;
    back.sourcePath = record.target;
    back.targetPath = record.source;
    return ProcessOneFile(back, record.mode, errorText) ? UndoResult::Undone : UndoResult::Failed;
}

std::wstring UndoPromptText(ProcessMode mode, size_t count)
{
    wchar_t buffer[256];
    swprintf(buffer, 256,
             mode == ProcessMode::CopyAndRename ? L"Undo the last batch? %d copied file(s) will be deleted."
                                                : L"Undo the last batch? %d file(s) will be put back.",
             static_cast<int>(count));
    return buffer;
}

std::wstring UndoFinishedText(int undone, int kept, int total)
{
    wchar_t buffer[256];
    swprintf(buffer, 256, L"Undo finished. Undone: %d  |  Kept: %d  |  Total: %d", undone, kept, total);
    return buffer;
}

std::wstring UndoStoppedText(int undone, int kept, int notProcessed, int total)
{
    wchar_t buffer[256];
    swprintf(buffer, 256, L"Undo stopped. Undone: %d  |  Kept: %d  |  Not processed: %d  |  Total: %d", undone, kept,
             notProcessed, total);
    return buffer;
}
