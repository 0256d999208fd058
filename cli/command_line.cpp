#include "cli/command_line.h"

#include <windows.h>

#include <atomic>
#include <string>

#include "cli/arguments.h"
#include "cli/console_output.h"
#include "engine/path.h"
#include "files/batch.h"
#include "files/batch_journal.h"
#include "files/batch_moves.h"
#include "files/date_reading.h"
#include "files/folder_snapshot.h"
#include "files/name_filter.h"
#include "files/worker.h"
#include "settings/rules_file.h"
#include "settings/settings_file.h"

namespace {

enum ExitCode { kExitDone = 0, kExitUsage = 1, kExitConflicts = 2, kExitFailures = 3 };

// The batch Ctrl+C (or a closing console) stops after the file in hand.
std::atomic<ProcessJob*> g_running{nullptr};

BOOL WINAPI StopOnBreak(DWORD)
{
    ProcessJob* job = g_running.load();
    if (!job) return FALSE;
    job->stop.store(true, std::memory_order_release);
    return TRUE;
}

// One field of a line: a tab or a line break inside a name would cut the line apart.
std::wstring Field(const std::wstring& text)
{
    std::wstring field = text;
    for (wchar_t& c : field) {
        if (c < L' ') c = L'?';
    }
    return field;
}

std::wstring RowLine(const FileEntry& row, const std::wstring& status)
{
    return Field(row.name) + L'\t' + Field(row.newName) + L'\t' + Field(status);
}

// The settings of this run: the defaults, the rules file's rules, the folders and mode given.
// Nothing is read from or written to settings.json.
bool PrepareSettings(const CommandLineOptions& options, AppSettings& settings, OutputStream& err)
{
    settings = DefaultSettings();
    const std::wstring rules = FullPathOf(options.rulesFile);
    std::wstring reason;
    if (GetFileAttributesW(rules.c_str()) == INVALID_FILE_ATTRIBUTES) {
        err.WriteLine(rules + L": Rules file not found.");
        return false;
    }
    if (!LoadRulesFile(rules, settings, reason)) {
        err.WriteLine(rules + L": This file is not a rules file: " + reason);
        return false;
    }
    settings.inputDir = FullPathOf(options.folder);
    settings.mode = options.mode;
    settings.sameAsInput = options.mode == ProcessMode::RenameInPlace;
    settings.outputDir = settings.sameAsInput ? settings.inputDir : FullPathOf(options.outputDir);
    return true;
}

// The dates taken the rules show, read here and now: a script waits for its preview anyway.
void ReadDatesTaken(const AppSettings& settings, FileList& rows)
{
    if (!UsesDateTaken(settings.rules)) return;
    for (FileEntry& row : rows) {
        const DateTaken date = ReadDateTaken(row.sourcePath);
        row.takenState = date.state;
        row.taken = date.taken;
    }
}

// The rows of the folder, planned as the window plans its preview; false (said on `err`) when
// the folder cannot be listed.
bool PlanFolder(const AppSettings& settings, FileList& rows, size_t& hidden, OutputStream& err)
{
    const std::wstring& folder = settings.inputDir;
    const HANDLE watch = WatchFolder(folder);  // the listing answers the plan's existence test
    FolderNames names;
    ScannedFiles kept;
    const ListResult result = ScanFolderRows(folder, settings.fileFilter, rows, kept, hidden, &names);
    AdoptFolderListing(folder, watch, names);
    if (result != ListResult::Listed) {
        err.WriteLine(folder + L": " + ScanFailureText(result));
        return false;
    }
    ReadDatesTaken(settings, rows);
    PlanPreview(rows, settings, TargetsExist);
    DropFolderSnapshots();
    return true;
}

int PrintPreview(const FileList& rows, size_t hidden, OutputStream& out)
{
    bool conflicts = false;
    for (const FileEntry& row : rows) {
        out.WriteLine(RowLine(row, RowStatusText(row)));
        conflicts = conflicts || IsConflict(row.status);
    }
    out.WriteLine(StatusCountsLine(rows, hidden));
    return conflicts ? kExitConflicts : kExitDone;
}

// The output folder of copy and move, created (one level) when missing.
bool EnsureOutputFolder(const AppSettings& settings, OutputStream& err)
{
    if (settings.mode == ProcessMode::RenameInPlace) return true;
    const OutputFolder folder = FindOutputFolder(settings.inputDir, settings.outputDir);
    if (folder.exists || CreateOutputFolder(folder) != FolderMade::Failed) return true;
    err.WriteLine(folder.full + L": Could not create the output directory.");
    return false;
}

std::wstring OutcomeText(const ProgressRecord& outcome)
{
    return outcome.text.empty() ? StatusDisplayText(outcome.status) : outcome.text;
}

// Renames within the batch, as the window runs them: the rows put in the order they move and the
// journal beside the exe written before anything moves. The journal of a batch that was
// interrupted is what its recovery needs, so it is never written over here.
bool OrderRows(ProcessJob& job, const std::wstring& journal, OutputStream& err)
{
    job.ordered = std::make_shared<OrderedMoves>();  // holds the journal's lock to the end of the batch
    switch (ClaimJournal(journal, job.ordered->lock)) {
    case JournalClaim::Busy: err.WriteLine(kJournalBusyText); return false;
    case JournalClaim::Interrupted:
        err.WriteLine(L"The last batch was interrupted: start the program without arguments to finish it first.");
        return false;
    case JournalClaim::Taken: break;
    }
    if (ArrangeBatch(job.rows, job.mode, journal, *job.ordered, job.listRow)) return true;
    err.WriteLine(L"The batch journal could not be written beside the program. Nothing was changed.");
    return false;
}

// The row of `rows` that job row i came from (an ordered job moves its rows around).
size_t ListRow(const ProcessJob& job, size_t i)
{
    return job.listRow.empty() ? i : job.listRow[i];
}

// The batch on this thread, through the worker's own loop: one line per row as it ends.
int ApplyRows(FileList& rows, const AppSettings& settings, OutputStream& out, OutputStream& err)
{
    ProcessJob job;
    job.rows = rows;
    job.mode = settings.mode;
    const std::wstring journal = JournalPathBeside(SettingsFilePath());
    if (PlansWithinBatch(MakePlanInput(settings)) && !OrderRows(job, journal, err)) return kExitUsage;
    job.outcomes.resize(JobLength(job));
    size_t printed = 0;
    g_running.store(&job);
    SetConsoleCtrlHandler(StopOnBreak, TRUE);
    const auto printUpTo = [&](size_t end) {
        for (; printed < end; ++printed) out.WriteLine(RowLine(job.rows[printed], OutcomeText(job.outcomes[printed])));
        out.Flush();  // a console shows the batch as it goes
    };
    RunProcessJob(job, [&](size_t lastRow) { printUpTo(lastRow + 1); });
    // A stop between the worker's last report and its stop check leaves finished rows unreported.
    printUpTo(job.completed.load());
    job.ended.store(true, std::memory_order_release);
    SetConsoleCtrlHandler(StopOnBreak, FALSE);
    g_running.store(nullptr);
    // The journal now holds what the batch did instead, as after the window's batches.
    if (job.ordered) KeepBatchRecord(journal, {RecordOf(job), true}, job.ordered.get());
    bool failed = false;
    for (size_t i = 0; i < job.completed.load(); ++i) {
        ApplyOutcomeToRow(rows[ListRow(job, i)], job, job.outcomes[i]);
        failed = failed || job.outcomes[i].status == ItemStatus::Failed;
    }
    out.WriteLine(BatchSummaryText(rows, job));
    return failed || NotReached(job) > 0 ? kExitFailures : kExitDone;
}

int Run(const std::vector<std::wstring>& arguments, OutputStream& out, OutputStream& err)
{
    CommandLineOptions options;
    std::wstring error;
    if (!ParseArguments(arguments, options, error)) {
        err.WriteLine(error);
        return kExitUsage;
    }
    if (options.help) {
        out.Write(UsageText());
        return kExitDone;
    }
    AppSettings settings;
    FileList rows;
    size_t hidden = 0;
    if (!PrepareSettings(options, settings, err) || !PlanFolder(settings, rows, hidden, err)) return kExitUsage;
    if (!options.apply) return PrintPreview(rows, hidden, out);
    if (!EnsureOutputFolder(settings, err)) return kExitUsage;
    return ApplyRows(rows, settings, out, err);
}

}  // namespace

bool IsCommandLineRun(const wchar_t* commandLine)
{
    return WantsCommandLineRun(SplitCommandLine(commandLine));
}

int RunCommandLine(const wchar_t* commandLine)
{
    ConnectStandardStreams();
    OutputStream out(STD_OUTPUT_HANDLE);
    OutputStream err(STD_ERROR_HANDLE);
    return Run(SplitCommandLine(commandLine), out, err);
}
