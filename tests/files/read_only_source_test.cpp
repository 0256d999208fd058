// Read-only sources in every mode, and their undo: whatever step fails, the copy or partial file
// the operation made goes again (it is read-only like its source), and the source stays as it was.
#include <gtest/gtest.h>

#include <string>

#include "files/undo.h"
#include "files/worker.h"
#include "tests/support/temp_dir.h"

namespace {

// "name" of every file in the folder, sorted, with "(ro)" after read-only ones.
std::wstring Listing(const TempDir& folder)
{
    std::wstring listing;
    WIN32_FIND_DATAW data = {};
    HANDLE find = FindFirstFileW((folder / L"*").c_str(), &data);
    for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &data)) {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (!listing.empty()) listing += L" ";
        listing += data.cFileName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) listing += L"(ro)";
    }
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
    return listing;
}

bool g_takeFinalName = false;
void TakeFinalName(const std::wstring&, const std::wstring& finalPath)
{
    if (g_takeFinalName) TempDir::WriteFileBytes(finalPath, "theirs");
}

}  // namespace

TEST(ReadOnlySource, NothingIsLeftBehindInAnyModeOrItsUndo)
{
    const struct {
        ProcessMode mode;
        bool holdSource;  // a reader holds the source: a move falls back to copy and delete
        bool takeName;    // someone takes the final name between the copy and its renaming
        bool holdResult;  // a reader holds the result during the undo
        bool done;
        const wchar_t* folders;  // "input | output" afterwards
    } cases[] = {
        {ProcessMode::RenameInPlace, false, false, false, true, L"b.txt(ro) | "},
        {ProcessMode::CopyAndRename, false, false, false, true, L"a.txt(ro) | b.txt(ro)"},
        {ProcessMode::CopyAndRename, false, true, false, false, L"a.txt(ro) | b.txt"},
        {ProcessMode::MoveAndRename, false, false, false, true, L" | b.txt(ro)"},
        {ProcessMode::MoveAndRename, true, false, false, false, L"a.txt(ro) | "},
        {ProcessMode::MoveAndRename, true, true, false, false, L"a.txt(ro) | b.txt"},
        // Moving back falls back to copy and delete as well, and its copy goes again.
        {ProcessMode::MoveAndRename, false, false, true, true, L" | b.txt(ro)"},
    };
    const CopyStepHook previous = SetCopyStepHook(TakeFinalName);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_wstring(static_cast<int>(c.mode)) + L": " + c.folders);
        TempDir in, out;
        const std::wstring source = in.Write(L"a.txt", "mine", FILE_ATTRIBUTE_READONLY);
        FileEntry row;
        row.sourcePath = source;
        row.targetPath = (c.mode == ProcessMode::RenameInPlace ? in : out) / L"b.txt";
        row.status = ItemStatus::Ready;
        g_takeFinalName = c.takeName;
        ProgressRecord outcome;
        {
            HeldOpen reader(c.holdSource ? source : in / L"none", FILE_SHARE_READ);
            outcome = ProcessRow(row, 0, c.mode);
        }
        g_takeFinalName = false;
        EXPECT_EQ(outcome.status, c.done ? ItemStatus::Done : ItemStatus::Failed) << outcome.text;
        EXPECT_EQ(Listing(in) + L" | " + Listing(out), c.folders);
        if (!c.done) continue;

        std::wstring error;
        {
            HeldOpen reader(c.holdResult ? row.targetPath : in / L"none", FILE_SHARE_READ);
            UndoOneFile({c.mode, row.sourcePath, row.targetPath, outcome.copy}, error);
        }
        // Put back, or (held) left where the batch put it, with no copy at home.
        EXPECT_EQ(Listing(in) + L" | " + Listing(out), c.holdResult ? c.folders : L"a.txt(ro) | ") << error;
    }
    SetCopyStepHook(previous);
}
