#pragma once
// A batch's bookkeeping without a window: the counts line, the summary at its end, what it did
// (for an undo), applying a row's outcome, and the output folder it needs.
#include <cstddef>
#include <string>

#include "engine/planner.h"
#include "files/undo.h"
#include "files/worker.h"

// The counts line of the status bar, e.g. "Files: 6  |  Ready: 3  |  Unchanged: 1  |  Conflicts: 2".
std::wstring StatusCountsText(size_t total, int ready, int unchanged, int conflicts);
// The counts line of planned rows, with "Hidden by filter: N" when the filter hid any file,
// "Removed: N" when rows were taken out by hand, and why the search pattern of `rules` (when
// given) cannot be used.
std::wstring StatusCountsLine(const FileList& rows, size_t hiddenByFilter, size_t removed = 0,
                              const RenameRules* rules = nullptr);

// The rows a stopped job never reached (0 for a job that ran to its end).
int NotReached(const ProcessJob& job);
// What the batch did, for an undo: every row that ended Done.
UndoList RecordOf(const ProcessJob& job);
// The finished (or stopped) summary of a batch whose outcomes are applied to `rows`.
std::wstring BatchSummaryText(const FileList& rows, const ProcessJob& job);
// A batch row's outcome on the row: its status and text, and a file that now lives under its
// new name gets that name.
void ApplyOutcomeToRow(FileEntry& row, const ProcessJob& job, const ProgressRecord& outcome);

// The folder a batch writes into, as the planner aimed at it.
struct OutputFolder {
    std::wstring full;   // the full path (a relative one is a folder of the input directory)
    std::wstring exact;  // its extended form, taken literally by the system
    bool exists = false;
};
OutputFolder FindOutputFolder(const std::wstring& inputDir, const std::wstring& outputDir);
enum class FolderMade { Created, Existed, Failed };
// Creates the one folder (not its parents).
FolderMade CreateOutputFolder(const OutputFolder& folder);
