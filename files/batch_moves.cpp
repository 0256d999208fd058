#include "files/batch_moves.h"

#include <algorithm>

#include <cstdio>
#include <unordered_set>

#include "engine/path.h"
#include "engine/wide_char.h"

const wchar_t kInterruptedQuestion[] = L"The last batch was interrupted. Finish it?";
const wchar_t kJournalBusyText[] =
    L"Another batch of renames within the batch is running (in another window or from the command line). Nothing "
    L"was changed.";

namespace {

// A rename in the same folder that never replaces: a taken name fails the move
// (ERROR_ALREADY_EXISTS, as MoveFileExW without MOVEFILE_REPLACE_EXISTING). Done through the
// file's own handle, which spares the second look-up MoveFileExW makes of the source; a link is
// renamed itself, and a folder found under a file's name is not moved.
bool Move(const std::wstring& from, const std::wstring& to, DWORD& error)
{
    HANDLE file = CreateFileW(ExtendedFilePath(from).c_str(), DELETE | SYNCHRONIZE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return false;
    }
    const std::wstring target = ExtendedFilePath(to);
    const size_t nameBytes = target.size() * sizeof(wchar_t);
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
    FILE_RENAME_INFO* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = FALSE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(nameBytes);
    std::copy(target.begin(), target.end(), rename->FileName);
    const bool moved =
        SetFileInformationByHandle(file, FileRenameInfo, rename, static_cast<DWORD>(buffer.size())) != FALSE;
    if (!moved) error = GetLastError();
    CloseHandle(file);
    return moved;
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(ExtendedFilePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

const std::wstring& PathAt(const JournalRow& row, char at)
{
    return at == kAtTemp ? row.temp : at == kAtTarget ? row.target : row.source;
}

// A change of case alone: both names find the same file, so the name on disk tells which it is.
char CasePlace(const JournalRow& row)
{
    WIN32_FIND_DATAW found = {};
    HANDLE find = FindFirstFileW(ExtendedFilePath(row.source).c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return kAtSource;
    FindClose(find);
    return NameOf(row.target) == found.cFileName ? kAtTarget : kAtSource;
}

// Where each file of the journal is (0: nowhere it may be, or only where another file is).
std::vector<char> LocateFiles(const RunningBatch& batch)
{
    const size_t n = batch.rows.size();
    std::vector<char> at(n, 0);
    std::unordered_set<std::wstring> claimed;
    auto place = [&](size_t i, char where) {
        const JournalRow& row = batch.rows[i];
        const std::wstring& path = PathAt(row, where);
        if (path.empty() || !Exists(path) || !claimed.insert(FoldedText(path)).second) return;
        at[i] = EqualIgnoringCase(row.source, row.target) && where != kAtTemp ? CasePlace(row) : where;
    };
    // A temporary name is the batch's own: a file there is that row's.
    for (size_t i = 0; i < n; ++i) place(i, kAtTemp);
    // Then where the journal says; then the other name the file can have.
    for (size_t i = 0; i < n; ++i) {
        if (!at[i] && batch.rows[i].at != kAtTemp) place(i, batch.rows[i].at);
    }
    for (size_t i = 0; i < n; ++i) {
        for (char where : {kAtSource, kAtTarget}) {
            if (!at[i] && where != batch.rows[i].at) place(i, where);
        }
    }
    return at;
}

// Orders the moves of `rows` (each from its place `at` to `wanted`), fills `moves` and writes
// the journal with the rows in that order; `order[k]` is the input index of item k.
bool PrepareMoves(std::vector<JournalRow> rows, const std::vector<char>& wanted, ProcessMode mode,
                  const std::wstring& journalPath, OrderedMoves& moves, std::vector<uint32_t>& order)
{
    std::vector<const std::wstring*> from, to;
    for (size_t i = 0; i < rows.size(); ++i) {
        from.push_back(&PathAt(rows[i], rows[i].at));
        to.push_back(&PathAt(rows[i], wanted[i]));
    }
    RunningBatch batch{NewBatchId(), mode, {}};
    MoveOrder planned = OrderMoves(from, to, batch.id);
    moves.items.clear();
    for (uint32_t k : planned.moves) moves.items.push_back({*from[k], *to[k], rows[k].at, wanted[k]});
    for (const MoveUnit& unit : planned.units) {
        if (unit.viaTemp) rows[planned.moves[unit.first]].temp = unit.temp;
    }
    for (uint32_t k : planned.moves) batch.rows.push_back(rows[k]);
    moves.units = std::move(planned.units);
    order = std::move(planned.moves);
    return moves.journal.Begin(journalPath, batch);
}

template <typename T>
void Reorder(std::vector<T>& items, const std::vector<uint32_t>& first, std::vector<size_t>* original)
{
    std::vector<T> arranged;
    std::vector<uint8_t> taken(items.size(), 0);
    arranged.reserve(items.size());
    auto take = [&](size_t i) {
        taken[i] = 1;
        arranged.push_back(std::move(items[i]));
        if (original) original->push_back(i);
    };
    for (uint32_t i : first) take(i);
    for (size_t i = 0; i < items.size(); ++i) {
        if (!taken[i]) take(i);
    }
    items = std::move(arranged);
}

}  // namespace

DWORD RunMoveUnit(OrderedMoves& moves, const MoveUnit& unit)
{
    DWORD error = ERROR_SUCCESS;
    JournalFile& journal = moves.journal;
    const size_t first = unit.first;
    const MoveItem& lead = moves.items[first];
    if (!unit.viaTemp) {
        if (!Move(lead.from, lead.to, error)) return error;
        journal.SetPlace(first, lead.toPlace);
        return ERROR_SUCCESS;
    }
    // A change of case alone is not written down step by step: its temporary name, or else the
    // case of its name on disk, says where it is (the recovery looks there first). That spares
    // two journal writes per file in the commonest batch of all.
    const bool written = unit.count > 1;
    if (!Move(lead.from, unit.temp, error)) return error;
    if (written) journal.SetPlace(first, kAtTemp);
    size_t done = 1;
    for (; done < unit.count; ++done) {
        const MoveItem& item = moves.items[first + done];
        if (!Move(item.from, item.to, error)) break;
        journal.SetPlace(first + done, item.toPlace);
    }
    if (done == unit.count && Move(unit.temp, lead.to, error)) {
        if (written) {
            journal.SetPlace(first, lead.toPlace);
            journal.Flush();
        }
        return ERROR_SUCCESS;
    }
    // Back the way it came: each name was just left, so it is free again.
    DWORD ignored = ERROR_SUCCESS;
    while (--done > 0) {
        const MoveItem& item = moves.items[first + done];
        if (Move(item.to, item.from, ignored))
            journal.SetPlace(first + done, item.fromPlace);
        else
            moves.stranded.push_back({first + done, item.to});
    }
    if (Move(unit.temp, lead.from, ignored))
        journal.SetPlace(first, lead.fromPlace);
    else
        moves.stranded.push_back({first, unit.temp});
    journal.Flush();  // the next start must find the stranded files where they are
    return error;
}

JournalClaim ClaimJournal(const std::wstring& journalPath, JournalLock& lock)
{
    if (!lock.Take(journalPath)) return JournalClaim::Busy;
    JournalContents contents;
    if (!ReadJournal(journalPath, contents) || !contents.running) return JournalClaim::Taken;
    lock.Release();
    return JournalClaim::Interrupted;
}

bool KeepBatchRecord(const std::wstring& journalPath, const LastBatchRecord& last, const OrderedMoves* ordered)
{
    if (ordered) return ordered->stranded.empty() && SaveLastBatch(journalPath, last);
    JournalLock lock;
    return ClaimJournal(journalPath, lock) == JournalClaim::Taken && SaveLastBatch(journalPath, last);
}

bool ArrangeBatch(FileList& rows, ProcessMode mode, const std::wstring& journalPath, OrderedMoves& moves,
                  std::vector<size_t>& listRow)
{
    std::vector<JournalRow> journalRows;
    std::vector<uint32_t> ready;
    for (uint32_t i = 0; i < rows.size(); ++i) {
        if (rows[i].status != ItemStatus::Ready) continue;
        ready.push_back(i);
        journalRows.push_back({rows[i].sourcePath, {}, rows[i].targetPath, kAtSource});
    }
    std::vector<uint32_t> order;
    if (!PrepareMoves(std::move(journalRows), std::vector<char>(ready.size(), kAtTarget), mode, journalPath, moves,
                      order))
        return false;
    for (uint32_t& k : order) k = ready[k];
    listRow.clear();
    Reorder(rows, order, &listRow);
    return true;
}

bool ArrangeUndo(UndoList& records, const std::wstring& journalPath, OrderedMoves& moves)
{
    std::vector<JournalRow> journalRows;
    for (const UndoRecord& record : records) journalRows.push_back({record.target, {}, record.source, kAtSource});
    const ProcessMode mode = records.empty() ? ProcessMode::RenameInPlace : records.front().mode;
    std::vector<uint32_t> order;
    if (!PrepareMoves(std::move(journalRows), std::vector<char>(records.size(), kAtTarget), mode, journalPath, moves,
                      order))
        return false;
    Reorder(records, order, nullptr);
    return true;
}

RecoveryResult RecoverBatch(const RunningBatch& batch, bool finish, const std::wstring& journalPath)
{
    RecoveryResult result;
    result.finished = finish;
    const char want = finish ? kAtTarget : kAtSource;
    std::vector<char> at = LocateFiles(batch);
    std::vector<JournalRow> rows;
    std::vector<size_t> rowOf;
    for (size_t i = 0; i < batch.rows.size(); ++i) {
        if (!at[i]) result.leftAlone.push_back(batch.rows[i].source);
        if (!at[i] || at[i] == want) continue;
        rows.push_back(batch.rows[i]);
        rows.back().at = at[i];
        rowOf.push_back(i);
    }
    OrderedMoves moves;
    std::vector<uint32_t> order;
    if (!rows.empty() &&
        !PrepareMoves(rows, std::vector<char>(rows.size(), want), batch.mode, journalPath, moves, order)) {
        result.failed = true;  // the journal is as it was: the next start tries again
        result.leftAlone.clear();
        return result;
    }
    for (const MoveUnit& unit : moves.units) {
        const bool moved = RunMoveUnit(moves, unit) == ERROR_SUCCESS;
        for (uint32_t k = unit.first; k < unit.first + unit.count; ++k) {
            if (moved)
                at[rowOf[order[k]]] = want;
            else
                result.leftAlone.push_back(moves.items[k].from);
        }
        if (moved) result.moved += static_cast<int>(unit.count);
    }
    moves.journal.Close();
    // Files left out of place keep a running journal, so the next start offers this again.
    if (!moves.stranded.empty()) {
        for (const StrandedFile& file : moves.stranded) result.leftAlone.push_back(file.path);
        return result;  // this recovery's own journal is the one that says where they are
    }
    // A file still under its temporary name has no other record of its names: the journal stays
    // running and the next start offers the rest again. Files gone, or left under a name of their
    // own, were named once; nothing more can be done for them, so the question is not repeated.
    if (std::find(at.begin(), at.end(), kAtTemp) != at.end()) {
        RunningBatch left = batch;
        for (size_t i = 0; i < left.rows.size(); ++i) {
            if (at[i]) left.rows[i].at = at[i];
        }
        SaveRunningBatch(journalPath, left);
        return result;
    }
    for (size_t i = 0; finish && i < batch.rows.size(); ++i) {
        if (at[i] == kAtTarget)
            result.done.records.push_back({batch.mode, batch.rows[i].source, batch.rows[i].target, {}});
    }
    result.done.withinBatch = true;
    SaveLastBatch(journalPath, result.done);  // no record (a rollback): the journal goes
    return result;
}

std::wstring RecoveryStatusText(const RecoveryResult& result)
{
    if (result.failed) return L"The interrupted batch could not be recovered: the batch journal could not be written.";
    wchar_t text[256];
    swprintf(text, 256,
             result.finished ? L"The interrupted batch was finished: %d file(s) moved into place."
                             : L"The interrupted batch was rolled back: %d file(s) put back.",
             result.moved);
    std::wstring status = text;
    if (!result.leftAlone.empty()) status += L"  |  Left as they are: " + std::to_wstring(result.leftAlone.size());
    return status;
}

std::wstring LeftAloneText(const RecoveryResult& result)
{
    if (result.leftAlone.empty()) return {};
    std::wstring text = L"These files were left as they are: putting them in place would replace another file, or "
                        L"they were not where the journal of the batch says.\n";
    constexpr size_t kNamed = 20;
    for (size_t i = 0; i < result.leftAlone.size() && i < kNamed; ++i) text += L"\n" + result.leftAlone[i];
    if (result.leftAlone.size() > kNamed)
        text += L"\n... and " + std::to_wstring(result.leftAlone.size() - kNamed) + L" more";
    return text;
}
