#pragma once
// Renames within the batch on disk: the moves in the order the engine gives, each unit whole or
// not at all, every step in the journal or told by the names on disk; the recovery of a batch
// that never ended; the undo of such a batch. No window involved: a command line can run the
// same job.
#include <windows.h>

#include <string>
#include <vector>

#include "engine/batch_order.h"
#include "engine/planner.h"
#include "files/batch_journal.h"
#include "files/undo.h"

// One file's move; `row` is its row in the journal.
struct MoveItem {
    std::wstring from;
    std::wstring to;
    char fromPlace = kAtSource;
    char toPlace = kAtTarget;
};

// A file of a failed unit that could not be put back either: item `item` is now at `path`.
struct StrandedFile {
    size_t item = 0;
    std::wstring path;
};

// The moves of a job in the order they run (item i is the job's item i and journal row i), in
// units, with the journal open and its lock held.
struct OrderedMoves {
    std::vector<MoveItem> items;
    std::vector<MoveUnit> units;  // over `items`
    JournalFile journal;
    JournalLock lock;
    // While any file is stranded, the journal stays the running batch's (the only record of
    // where the file is): the end of the batch must not replace it.
    std::vector<StrandedFile> stranded;
};

// Runs one unit: every move of it, or (when one fails) none, its files put back where they
// were. ERROR_SUCCESS, or the error of the move that failed. Never replaces a file. A file that
// cannot be put back is added to `moves.stranded`.
DWORD RunMoveUnit(OrderedMoves& moves, const MoveUnit& unit);

// Takes `lock` for an ordered batch on the journal at `journalPath`. Busy: another batch
// holds it. Interrupted: the journal is a batch that never ended (lock let go); it needs its
// recovery first.
enum class JournalClaim { Taken, Busy, Interrupted };
JournalClaim ClaimJournal(const std::wstring& journalPath, JournalLock& lock);
extern const wchar_t kJournalBusyText[];

// Keeps the record of a batch that ended as the journal, where Undo Last Batch finds it after a
// restart (an empty record removes it). An ordered batch (`ordered`, whose lock is held) replaces
// its own journal unless it stranded a file: that running journal is then the only record of
// where the file is. Any other batch leaves alone a journal that another batch holds or that
// waits for its recovery. False when nothing was written.
bool KeepBatchRecord(const std::wstring& journalPath, const LastBatchRecord& last, const OrderedMoves* ordered);

// A batch's rows made ready for its renames within the batch: the Ready rows first, in the
// order they move, then the others; listRow[i] is the original index of the row now at i.
// The journal is written to `journalPath` before anything moves; false (and nothing changed
// on disk) when it could not be.
bool ArrangeBatch(FileList& rows, ProcessMode mode, const std::wstring& journalPath, OrderedMoves& moves,
                  std::vector<size_t>& listRow);
// The same for an undo of such a batch: the records (in any order) are put in the order they
// move back.
bool ArrangeUndo(UndoList& records, const std::wstring& journalPath, OrderedMoves& moves);

// What the recovery of an interrupted batch did.
struct RecoveryResult {
    bool failed = false;                  // the journal could not be written: nothing moved
    bool finished = false;                // finished (true) or rolled back (false)
    int moved = 0;                        // files moved into place
    std::vector<std::wstring> leftAlone;  // files it could not put in place without replacing one
    LastBatchRecord done;                 // what the batch did in the end, for Undo (finished only)
};

// Finds where each file of `batch` is, then moves every file to its target (finish) or back
// to its source, file by file, never replacing anything. The journal stays valid throughout:
// a recovery that is itself interrupted is recovered the next time, and so is one that left
// files alone. The caller holds the journal's lock.
RecoveryResult RecoverBatch(const RunningBatch& batch, bool finish, const std::wstring& journalPath);

// Texts of the recovery.
extern const wchar_t kInterruptedQuestion[];  // "The last batch was interrupted. Finish it?"
std::wstring RecoveryStatusText(const RecoveryResult& result);
std::wstring LeftAloneText(const RecoveryResult& result);  // empty when every file was placed
