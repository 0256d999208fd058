#pragma once
// Renames within the batch on disk: the moves in the order the engine gives, each unit whole or
// not at all, every step in the journal; the recovery of a batch that never ended; the undo of
// such a batch. No window involved: a command line can run the same job.
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

// The moves of a job in the order they run (item i is the job's item i and journal row i), in
// units, with the journal open.
struct OrderedMoves {
    std::vector<MoveItem> items;
    std::vector<MoveUnit> units;  // over `items`
    JournalFile journal;
};

// Runs one unit: every move of it, or (when one fails) none, its files put back where they
// were. ERROR_SUCCESS, or the error of the move that failed. Never replaces a file.
DWORD RunMoveUnit(OrderedMoves& moves, const MoveUnit& unit);

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
    bool finished = false;                // finished (true) or rolled back (false)
    int moved = 0;                        // files moved into place
    std::vector<std::wstring> leftAlone;  // files it could not put in place without replacing one
    LastBatchRecord done;                 // what the batch did in the end, for Undo (finished only)
};

// Finds where each file of `batch` is, then moves every file to its target (finish) or back
// to its source, file by file, never replacing anything. The journal stays valid throughout:
// a recovery that is itself interrupted is recovered the next time.
RecoveryResult RecoverBatch(const RunningBatch& batch, bool finish, const std::wstring& journalPath);

// Texts of the recovery.
extern const wchar_t kInterruptedQuestion[];  // "The last batch was interrupted. Finish it?"
std::wstring RecoveryStatusText(const RecoveryResult& result);
std::wstring LeftAloneText(const RecoveryResult& result);  // empty when every file was placed
