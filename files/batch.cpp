#include "files/batch.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "engine/path.h"
#include "engine/search_pattern.h"
#include "files/file_order.h"

std::wstring StatusCountsText(size_t total, int ready, int unchanged, int conflicts)
{
    wchar_t buffer[256];
    std::swprintf(buffer, 256, L"Files: %llu  |  Ready: %d  |  Unchanged: %d  |  Conflicts: %d",
                  static_cast<unsigned long long>(total), ready, unchanged, conflicts);
    return buffer;
}

std::wstring StatusCountsLine(const FileList& rows, size_t hiddenByFilter, size_t removed, const RenameRules* rules)
{
    int ready = 0, unchanged = 0, conflicts = 0;
    for (const FileEntry& row : rows) {
        if (row.status == ItemStatus::Ready)
            ++ready;
        else if (row.status == ItemStatus::Unchanged)
            ++unchanged;
        else if (IsConflict(row.status))
            ++conflicts;
    }
    std::wstring text = StatusCountsText(rows.size(), ready, unchanged, conflicts);
    if (hiddenByFilter > 0) text += L"  |  Hidden by filter: " + std::to_wstring(hiddenByFilter);
    if (removed > 0) text += L"  |  Removed: " + std::to_wstring(removed);
    // The rows' cells cut a long reason short, and with no rows there are none to show it.
    if (rules) {
        const SearchPattern pattern(*rules);
        if (!pattern.Error().empty()) text += L"  |  " + InvalidPatternText(pattern.Error());
    }
    return text;
}

int NotReached(const ProcessJob& job)
{
    return static_cast<int>(job.outcomes.size() - std::min(job.outcomes.size(), job.completed.load()));
}

UndoList RecordOf(const ProcessJob& job)
{
    UndoList records;
    const size_t reached = job.completed.load(std::memory_order_acquire);  // a stopped batch did no more
    for (size_t i = 0; i < job.rows.size() && i < reached; ++i) {
        const ProgressRecord& outcome = job.outcomes[i];
        if (outcome.succeeded && outcome.status == ItemStatus::Done)
            records.push_back({job.mode, job.rows[i].sourcePath, job.rows[i].targetPath, outcome.copy});
    }
    return records;
}

std::wstring BatchSummaryText(const FileList& rows, const ProcessJob& job)
{
    int done = 0;
    int failed = 0;
    for (const FileEntry& row : rows) {
        if (row.status == ItemStatus::Done) ++done;
        if (row.status == ItemStatus::Failed) ++failed;
    }
    const int notProcessed = NotReached(job);
    const int skipped = static_cast<int>(rows.size()) - done - failed - notProcessed;
    return notProcessed ? StoppedText(done, skipped, failed, notProcessed, rows.size())
                        : FinishedText(done, skipped, failed, rows.size());
}

void ApplyOutcomeToRow(FileEntry& row, const ProcessJob& job, const ProgressRecord& outcome)
{
    row.status = outcome.status;
    row.statusText = outcome.text;
    if (job.undo.empty() && outcome.succeeded && outcome.status == ItemStatus::Done &&
        job.mode != ProcessMode::CopyAndRename) {
        // The file now lives under its new name.
        row.name = row.newName;
        row.sourcePath = row.targetPath;
        row.directory = row.targetDirectory;
        row.extension = ExtensionOf(row.name);
    }
}

OutputFolder FindOutputFolder(const std::wstring& inputDir, const std::wstring& outputDir)
{
    OutputFolder folder;
    folder.full = ResolveOutputDirectory(inputDir, outputDir);
    folder.exact = ExtendedDirectory(folder.full);
    folder.exists = GetFileAttributesW(folder.exact.c_str()) != INVALID_FILE_ATTRIBUTES;
    return folder;
}

FolderMade CreateOutputFolder(const OutputFolder& folder)
{
    if (CreateDirectoryW(folder.exact.c_str(), nullptr)) return FolderMade::Created;
    return GetLastError() == ERROR_ALREADY_EXISTS ? FolderMade::Existed : FolderMade::Failed;
}
