#pragma once
// Preview planning: new names, target paths and a status per row.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "rename_rules.h"

enum class ProcessMode : int32_t { RenameInPlace = 0, CopyAndRename = 1, MoveAndRename = 2 };

enum class ItemStatus : int32_t {
    Ready = 0,
    Unchanged = 1,
    Duplicate = 2,
    InvalidName = 3,
    TargetExists = 4,
    Done = 5,
    Skipped = 6,
    Failed = 7,
    ReadingDate = 8,  // the date taken of a row is still being read: not processed
};

// Whether the date a photo was taken has been read for a row, and what came of it.
enum class TakenState : uint8_t { Unread = 0, Found = 1, Missing = 2 };

// Text that many rows hold alike (their folder): one copy shared by all of them, read as a
// std::wstring. At 100,000 rows a copy per row was a fifth of the list's memory.
class SharedText {
public:
    SharedText() = default;
    SharedText(const std::wstring& text) : text_(std::make_shared<const std::wstring>(text)) {}
    SharedText(const wchar_t* text) : SharedText(std::wstring(text)) {}
    const std::wstring& str() const
    {
        static const std::wstring empty;
        return text_ ? *text_ : empty;
    }
    operator const std::wstring&() const { return str(); }
    bool empty() const { return str().empty(); }
    size_t size() const { return str().size(); }
    const wchar_t* c_str() const { return str().c_str(); }

private:
    std::shared_ptr<const std::wstring> text_;
};

inline bool operator==(const SharedText& a, const SharedText& b)
{
    return a.str() == b.str();
}
inline bool operator==(const SharedText& a, const std::wstring& b)
{
    return a.str() == b;
}
inline bool operator==(const SharedText& a, const wchar_t* b)
{
    return a.str() == b;
}

struct FileEntry {
    std::wstring name;
    SharedText directory;
    std::wstring sourcePath;
    uint64_t size = 0;
    std::wstring extension;
    std::wstring newName;
    SharedText targetDirectory;
    std::wstring targetPath;
    ItemStatus status = ItemStatus::Ready;
    TakenState takenState = TakenState::Unread;  // beside the status: no room of its own per row
    std::wstring statusText;
    uint64_t modified = 0;  // the last-write time from the listing, local (engine/date_text.h)
    uint64_t taken = 0;     // the date taken, local, when takenState is Found
};

using FileList = std::vector<FileEntry>;

// What the planner reads of the settings. The settings record holds the rules in place and
// hands out a view of itself, so nothing is copied per plan.
struct PlanInput {
    ProcessMode mode = ProcessMode::RenameInPlace;
    bool sameAsInput = true;
    const std::wstring* inputDir = nullptr;
    const std::wstring* outputDir = nullptr;
    const RenameRules* rules = nullptr;
    // Renames within the batch: a target that another listed row renames away is free, and a
    // change of case alone is a rename (in place, or moved into the input folder itself).
    bool renameWithinBatch = false;
};

// Whether the plan for `input` judges targets against the folder as the batch leaves it.
bool PlansWithinBatch(const PlanInput& input);

// The planner's only contact with the file system: does anything exist at this path?
using PathExistsFn = bool (*)(const std::wstring& path);
bool FileSystemPathExists(const std::wstring& path);  // GetFileAttributesW

// Existence of many targets at once, so that one listing per folder can answer them: sets
// exists[k] when anything is at the target path of list[rows[k]]. The planner asks once per run.
using TargetsExistFn =
    std::function<void(const FileList& list, const std::vector<uint32_t>& rows, std::vector<uint8_t>& exists)>;

void PlanPreview(FileList& list, const PlanInput& input, const TargetsExistFn& exists);
void PlanPreview(FileList& list, const PlanInput& input, PathExistsFn exists = FileSystemPathExists);
bool IsInvalidFileName(const std::wstring& name);
const wchar_t* StatusDisplayText(ItemStatus status);
// What a row's Status column says: its own text (a failure's reason), else its status's text.
std::wstring RowStatusText(const FileEntry& row);
bool IsConflict(ItemStatus status);
