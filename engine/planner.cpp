#include "engine/planner.h"

#include <cstring>
#include <functional>
#include <iterator>
#include <string_view>
#include <vector>

#include "engine/batch_order.h"
#include "engine/path.h"
#include "engine/search_pattern.h"
#include "engine/wide_char.h"

namespace {

struct StatusInfo {
    const wchar_t* display;  // default text of the Status column
    const wchar_t* planned;  // text the planner stores (nullptr: the planner never sets it)
};

constexpr StatusInfo kStatusInfo[] = {
    {L"Ready", L"Ready"},
    {L"Unchanged", L"Unchanged"},
    {L"Duplicate", L"Duplicate target"},
    {L"Invalid name", L"Invalid name"},
    {L"Target exists", L"Already exists"},
    {L"Done", nullptr},
    {L"Skipped", nullptr},
    {L"Failed", nullptr},
    {L"Reading date\u2026", L"Reading date\u2026"},
};

constexpr wchar_t kTakenFallbackText[] = L"Ready (no date taken: modified date)";

bool InStatusRange(ItemStatus status)
{
    const auto value = static_cast<int32_t>(status);
    return value >= 0 && value < static_cast<int32_t>(std::size(kStatusInfo));
}

void SetPlannedStatus(FileEntry& row, ItemStatus status)
{
    row.status = status;
    row.statusText.assign(kStatusInfo[static_cast<int32_t>(status)].planned);
}

// What the later passes need of a row, gathered while its strings are at hand.
struct RowFacts {
    uint64_t keyHash = 0;       // hash of the case-folded target path
    uint32_t firstWithKey = 0;  // the row whose count in the duplicate index is this row's
    bool invalid = false;
    bool unchanged = false;
    bool readingDate = false;                   // its date taken is not read yet
    bool takenFallback = false;                 // its name shows the last-write time for want of a date taken
    const std::wstring* invalidText = nullptr;  // the search pattern's reason, in place of "Invalid name"
};

// The duplicate index: how many rows share each lower-cased target path. Open addressing
// over a table sized once for all rows, so filling it allocates nothing per row (a node-based
// map allocated twice per row and dominated the plan time). Each key remembers the first row
// that had it; the count lives with that row.
struct DuplicateIndex {
    struct Slot {
        uint32_t rowPlus1 = 0;  // first row with this key, plus one; 0 marks a free slot
        uint32_t tag = 0;       // hash bits: most different keys are told apart without a comparison
    };
    std::vector<Slot> slots;       // a power of two, at least 2 * rows + 1
    std::vector<uint32_t> counts;  // by first row
};

void InitDuplicateIndex(DuplicateIndex& index, size_t rows)
{
    size_t size = 1;
    while (size < 2 * rows + 1) size *= 2;
    index.slots.assign(size, DuplicateIndex::Slot{});
    index.counts.assign(rows, 0);
}

// Case folding for the hash only: the lower-case unit with bit 5 set when it is ASCII. Units
// with the same lower case fold alike (a few punctuation pairs too, which costs no more than a
// comparison on a hash match), and ASCII folds four units at a time.
wchar_t FoldForHash(wchar_t c)
{
    const wchar_t lower = LowerUnit(c);
    return lower < 0x80 ? static_cast<wchar_t>(lower | 0x20) : lower;
}

uint64_t KeyHash(const std::wstring& path, std::wstring& key)
{
    static_assert(sizeof(wchar_t) == 2, "UTF-16 units");
    const size_t n = path.size();
    key.resize(n);
    const wchar_t* from = path.data();
    wchar_t* to = key.data();
    uint64_t seen = 0;
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        uint64_t units;
        std::memcpy(&units, from + i, sizeof units);
        seen |= units;
        units |= 0x0020002000200020ull;
        std::memcpy(to + i, &units, sizeof units);
    }
    for (; i < n; ++i) {
        seen |= from[i];
        to[i] = static_cast<wchar_t>(from[i] | 0x20);
    }
    if (seen & 0xFF80FF80FF80FF80ull) {
        for (i = 0; i < n; ++i) to[i] = FoldForHash(from[i]);
    }
    return std::hash<std::wstring_view>{}(key);
}

// Counts the target path of `row` and returns the first row with the same key. A pass of its
// own: a tight loop lets the processor overlap the cache misses of the scattered slots.
uint32_t AddToDuplicateIndex(DuplicateIndex& index, const FileList& list, const std::vector<RowFacts>& facts,
                             uint32_t row)
{
    const uint64_t hash = facts[row].keyHash;
    const auto tag = static_cast<uint32_t>(hash ^ (hash >> 32));
    const size_t mask = index.slots.size() - 1;
    for (size_t at = static_cast<size_t>(hash) & mask;; at = (at + 1) & mask) {
        DuplicateIndex::Slot& slot = index.slots[at];
        if (slot.rowPlus1 == 0) {
            slot = DuplicateIndex::Slot{row + 1, tag};
            index.counts[row] = 1;
            return row;
        }
        const uint32_t first = slot.rowPlus1 - 1;
        if (slot.tag == tag && facts[first].keyHash == hash &&
            EqualIgnoringCase(list[first].targetPath, list[row].targetPath)) {
            ++index.counts[first];
            return first;
        }
    }
}

// The nine characters a file name cannot contain; units below U+0020 are tested beside them.
bool IsForbiddenCharacter(wchar_t c)
{
    switch (c) {
    case L'<':
    case L'>':
    case L':':
    case L'"':
    case L'/':
    case L'\\':
    case L'|':
    case L'?':
    case L'*': return true;
    default: return false;
    }
}

const std::wstring& Text(const std::wstring* text)
{
    static const std::wstring empty;
    return text ? *text : empty;
}

const RenameRules& Rules(const RenameRules* rules)
{
    static const RenameRules neutral;
    return rules ? *rules : neutral;
}

// Each give-up costs the matcher's whole complexity bound (milliseconds). A pattern that gave
// up this often in one plan is not tried on the remaining rows, so a folder full of names it
// explodes on cannot freeze the window for minutes.
constexpr int kPatternGiveUpLimit = 16;

// Why a row's name could not be built: the pattern does not compile (every row), it gave up on
// this name, or it was not tried on it after giving up too often.
struct PatternTexts {
    std::wstring invalid;
    std::wstring tooComplex = kPatternTooComplexText;
    std::wstring notTried = PatternNotTriedText(kPatternGiveUpLimit);
};

// Builds the row's new name; false (and why in facts.invalidText) when the pattern could not be
// applied to it.
bool BuildRowName(FileEntry& row, int32_t index, const RenameRules& rules, const SearchPattern& pattern, int& giveUps,
                  RowFacts& facts, PatternTexts& texts)
{
    const bool found = row.takenState == TakenState::Found;
    const RowDates dates{row.modified, found ? row.taken : row.modified};
    if (UsesDateTaken(rules)) {
        facts.readingDate = row.takenState == TakenState::Unread;
        facts.takenFallback = row.takenState == TakenState::Missing;
    }
    if (giveUps >= kPatternGiveUpLimit) {
        facts.invalidText = &texts.notTried;
    } else {
        if (BuildNewNameInto(row.newName, row.name, index, rules, &pattern, dates)) return true;
        if (texts.invalid.empty()) ++giveUps;
        facts.invalidText = texts.invalid.empty() ? &texts.tooComplex : &texts.invalid;
    }
    row.newName = row.name;
    return false;
}

// First pass: new name, target directory and target path of every row.
void BuildTargets(FileList& list, const PlanInput& input, std::vector<RowFacts>& facts, PatternTexts& texts)
{
    const bool inPlace = input.mode == ProcessMode::RenameInPlace;
    const std::wstring base = (inPlace || input.sameAsInput)
                                  ? Text(input.inputDir)
                                  : ResolveOutputDirectory(Text(input.inputDir), Text(input.outputDir));
    const RenameRules& rules = Rules(input.rules);
    const SharedText sharedBase(base);
    const SearchPattern pattern(rules);
    if (!pattern.Error().empty()) texts.invalid = InvalidPatternText(pattern.Error());
    std::wstring key;
    int giveUps = 0;
    const bool caseIsARename = PlansWithinBatch(input);
    for (size_t i = 0; i < list.size(); ++i) {
        FileEntry& row = list[i];
        BuildRowName(row, static_cast<int32_t>(i), rules, pattern, giveUps, facts[i], texts);
        row.targetDirectory = (inPlace || base.empty()) ? row.directory : sharedBase;
        JoinPathInto(row.targetPath, row.targetDirectory, row.newName);
        facts[i].keyHash = KeyHash(row.targetPath, key);
        facts[i].invalid = facts[i].invalidText || IsInvalidFileName(row.newName);
        facts[i].unchanged =
            caseIsARename ? row.targetPath == row.sourcePath : EqualIgnoringCase(row.targetPath, row.sourcePath);
    }
}

// Last pass: the first test that applies decides. A row that passes tests 1 to 3 is Ready
// until the existence test, which is asked for all such rows at once, says otherwise.
bool ReachesExistenceTest(const FileEntry& row, const RowFacts& facts, const DuplicateIndex& index, ItemStatus& status)
{
    status = facts.readingDate                       ? ItemStatus::ReadingDate
             : facts.invalid                         ? ItemStatus::InvalidName
             : index.counts[facts.firstWithKey] >= 2 ? ItemStatus::Duplicate
             : facts.unchanged                       ? ItemStatus::Unchanged
                                                     : ItemStatus::Ready;
    return status == ItemStatus::Ready && !row.targetPath.empty();
}

// waits[i]: the other listed row whose current name is row i's target, compared case folded as
// WaitingMoves compares (which orders the batch itself), or kNoMove. On every keystroke, so the
// sources go into an open-addressed table by the same hash as the targets, which have theirs.
std::vector<uint32_t> RowsWaitedFor(const FileList& list, const std::vector<RowFacts>& facts)
{
    size_t size = 1;
    while (size < 2 * list.size() + 1) size *= 2;
    const size_t mask = size - 1;
    std::vector<uint32_t> slots(size, 0);  // row + 1; 0: free
    std::vector<uint64_t> sourceHash(list.size());
    std::wstring key;
    for (uint32_t i = 0; i < list.size(); ++i) {
        sourceHash[i] = KeyHash(list[i].sourcePath, key);
        size_t at = static_cast<size_t>(sourceHash[i]) & mask;
        while (slots[at]) at = (at + 1) & mask;
        slots[at] = i + 1;
    }
    std::vector<uint32_t> waits(list.size(), kNoMove);
    for (uint32_t i = 0; i < list.size(); ++i) {
        const uint64_t hash = facts[i].keyHash;
        for (size_t at = static_cast<size_t>(hash) & mask; slots[at]; at = (at + 1) & mask) {
            const uint32_t j = slots[at] - 1;
            if (sourceHash[j] == hash && EqualIgnoringCase(list[j].sourcePath, list[i].targetPath)) {
                if (j != i) waits[i] = j;
                break;
            }
        }
    }
    return waits;
}

// Renames within the batch, before the existence test: a Ready row whose target is the current
// name of a listed row (its own, for a change of case) is not asked; waits[i] says which row it
// waits for. The rows asked keep their order.
std::vector<uint32_t> SetAsideTargetsOfTheBatch(const FileList& list, const std::vector<RowFacts>& facts,
                                                std::vector<uint32_t>& asked)
{
    std::vector<uint32_t> waits = RowsWaitedFor(list, facts);
    std::erase_if(asked, [&](uint32_t i) {
        return waits[i] != kNoMove || EqualIgnoringCase(list[i].sourcePath, list[i].targetPath);
    });
    return waits;
}

// After the existence test: a row waiting for a file that stays (its row is not Ready) cannot
// have its target, and neither can the rows waiting for that row. A cycle of Ready rows frees
// itself.
void BlockRowsWaitingForStayingFiles(FileList& list, const std::vector<uint32_t>& waits)
{
    enum : uint8_t { Unknown, Visiting, Free, Blocked };
    std::vector<uint8_t> state(list.size(), Unknown);
    std::vector<uint32_t> path;
    for (uint32_t i = 0; i < list.size(); ++i) {
        if (waits[i] == kNoMove || list[i].status != ItemStatus::Ready || state[i] != Unknown) continue;
        path.clear();
        uint8_t result = Free;
        for (uint32_t at = i; at != kNoMove; at = waits[at]) {
            if (list[at].status != ItemStatus::Ready) result = Blocked;
            if (list[at].status != ItemStatus::Ready || state[at] != Unknown) {
                if (state[at] == Blocked) result = Blocked;
                break;
            }
            state[at] = Visiting;
            path.push_back(at);
        }
        for (uint32_t row : path) {
            state[row] = result;
            if (result == Blocked) SetPlannedStatus(list[row], ItemStatus::TargetExists);
        }
    }
}

}  // namespace

bool PlansWithinBatch(const PlanInput& input)
{
    if (!input.renameWithinBatch) return false;
    if (input.mode == ProcessMode::RenameInPlace) return true;
    if (input.mode != ProcessMode::MoveAndRename) return false;
    return input.sameAsInput ||
           EqualIgnoringCase(ResolveOutputDirectory(Text(input.inputDir), Text(input.outputDir)), Text(input.inputDir));
}

void PlanPreview(FileList& list, const PlanInput& input, const TargetsExistFn& exists)
{
    DuplicateIndex index;
    InitDuplicateIndex(index, list.size());
    std::vector<RowFacts> facts(list.size());
    PatternTexts texts;
    BuildTargets(list, input, facts, texts);
    // A row still reading its date has no name yet to collide with.
    for (size_t i = 0; i < list.size(); ++i) {
        if (!facts[i].readingDate)
            facts[i].firstWithKey = AddToDuplicateIndex(index, list, facts, static_cast<uint32_t>(i));
    }
    std::vector<uint32_t> asked;
    for (size_t i = 0; i < list.size(); ++i) {
        ItemStatus status;
        if (ReachesExistenceTest(list[i], facts[i], index, status)) asked.push_back(static_cast<uint32_t>(i));
        SetPlannedStatus(list[i], status);
        if (facts[i].invalidText) list[i].statusText = *facts[i].invalidText;
    }
    std::vector<uint32_t> waits;
    if (PlansWithinBatch(input)) waits = SetAsideTargetsOfTheBatch(list, facts, asked);
    std::vector<uint8_t> found(asked.size(), 0);
    if (!asked.empty() && exists) exists(list, asked, found);
    for (size_t k = 0; k < asked.size(); ++k) {
        if (found[k]) SetPlannedStatus(list[asked[k]], ItemStatus::TargetExists);
    }
    if (!waits.empty()) BlockRowsWaitingForStayingFiles(list, waits);
    // Also the rows set aside for renames within the batch, which the existence test never saw.
    for (size_t i = 0; i < list.size(); ++i) {
        if (facts[i].takenFallback && list[i].status == ItemStatus::Ready)
            list[i].statusText.assign(kTakenFallbackText);
    }
}

void PlanPreview(FileList& list, const PlanInput& input, PathExistsFn exists)
{
    if (!exists) exists = FileSystemPathExists;
    PlanPreview(list, input,
                [exists](const FileList& rows, const std::vector<uint32_t>& asked, std::vector<uint8_t>& found) {
                    for (size_t k = 0; k < asked.size(); ++k) found[k] = exists(rows[asked[k]].targetPath);
                });
}

bool IsInvalidFileName(const std::wstring& name)
{
    if (name.empty()) return true;
    if (name == L"." || name == L"..") return true;
    if (name.back() == L' ' || name.back() == L'.') return true;
    // Tests 4 and 5 in one pass: the answer is the same either way round.
    for (wchar_t c : name) {
        if (c < 0x20 || IsForbiddenCharacter(c)) return true;
    }
    return false;
}

const wchar_t* StatusDisplayText(ItemStatus status)
{
    return InStatusRange(status) ? kStatusInfo[static_cast<int32_t>(status)].display : L"";
}

std::wstring RowStatusText(const FileEntry& row)
{
    return row.statusText.empty() ? StatusDisplayText(row.status) : row.statusText;
}

bool IsConflict(ItemStatus status)
{
    return status == ItemStatus::Duplicate || status == ItemStatus::InvalidName || status == ItemStatus::TargetExists;
}
