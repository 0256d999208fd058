// The keyboard and a newcomer's first minutes through the real main window: where the focus
// goes after a batch and an undo, Enter in the directory edits, a file's path as the input, the
// output folder a batch created going again with its undo, and the first window on the screen.
#include <algorithm>
#include <cstdlib>

#include "app/startup.h"
#include "resources/resource.h"
#include "tests/app/process_fixture.h"

namespace {

// Activation within this thread: other test processes may hold the foreground meanwhile, and
// the window takes its focus back on activation.
void Activate()
{
    SetActiveWindow(g_app.mainWindow);
    Pump();
}

HWND FocusOnActivation()
{
    Activate();
    return GetFocus();
}

void FocusOn(HWND control)
{
    Activate();
    SetFocus(control);
}

// What the message loop does with a key pressed in `control` (dialog navigation included).
void PressKey(HWND control, WPARAM key)
{
    FocusOn(control);
    MSG message = {control, WM_KEYDOWN, key, 1, 0, {}};
    if (!TranslateMainWindowMessage(g_app.mainWindow, nullptr, &message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    Pump();
}

}  // namespace

class WindowKeysTest : public ProcessFixture {
protected:
    void SetUp() override
    {
        ProcessFixture::SetUp();
        if (!HasFatalFailure()) ShowReady();
    }
};

TEST_F(WindowKeysTest, FocusComesBackAfterABatchAndAnUndo)
{
    // Process pressed from the keyboard keeps the focus, unless the batch left nothing to
    // process: moving every file out empties the list and disables the button.
    TempDir out;
    const struct {
        HWND radio;
        ProcessMode mode;
        HWND after;
    } cases[] = {
        {g_app.modeRename, ProcessMode::RenameInPlace, g_app.processButton},
        {g_app.modeMove, ProcessMode::MoveAndRename, g_app.listNew},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        if (c.mode == ProcessMode::RenameInPlace) {
            SelectMode(c.radio, c.mode);
        } else {
            UseOutput(c.radio, c.mode, out.path());
        }
        FocusOn(g_app.processButton);
        RunProcess({IDYES});
        EXPECT_EQ(StatusText().rfind(L"Finished.", 0), 0u) << StatusText();
        EXPECT_EQ(FocusOnActivation(), c.after);

        // The undo comes from the menu: the focus stays where the user had it.
        FocusOn(g_app.searchEdit);
        RunAnswered(IDM_UNDO_LAST_BATCH, {IDYES});
        EXPECT_EQ(Names(), (std::vector<std::wstring>{L"a.txt", L"b.txt", L"c.txt"}));
        EXPECT_EQ(FocusOnActivation(), g_app.searchEdit);
    }
}

TEST_F(WindowKeysTest, EnterLoadsTheInputFolderAndReplansTheOutput)
{
    TempDir other;
    other.Write(L"z.txt", "zulu");
    Type(g_app.inputEdit, other.path().c_str());
    PressKey(g_app.inputEdit, VK_RETURN);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"z.txt"}));

    // A file's path stands for its folder.
    Type(g_app.inputEdit, (input_ / L"b.txt").c_str());
    PressKey(g_app.inputEdit, VK_RETURN);
    EXPECT_EQ(Text(g_app.inputEdit), input_.path());
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"a.txt", L"b.txt", L"c.txt"}));

    // The output edit re-plans on Enter: its edits do not re-plan while typed.
    TempDir out;
    UseOutput(g_app.modeCopy, ProcessMode::CopyAndRename, out.path());
    out.Write(L"001a.txt", "there");
    PressKey(g_app.outputEdit, VK_RETURN);
    EXPECT_EQ(Cell(g_app.listNew, 0, 2), L"Already exists");
}

TEST_F(WindowKeysTest, AFilePathTypedIntoTheInputMeansItsFolderWhenTheEditIsLeft)
{
    TempDir other;
    other.Write(L"y.txt", "yankee");
    FocusOn(g_app.inputEdit);
    Type(g_app.inputEdit, (other / L"y.txt").c_str());
    FocusOn(g_app.listNew);
    EXPECT_EQ(Text(g_app.inputEdit), other.path());
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"y.txt"}));
}

TEST_F(WindowKeysTest, UndoRemovesTheOutputFolderTheBatchCreated)
{
    const struct {
        const char* why;
        bool extraFile;  // a file of the user's own lands in the folder after the batch
    } cases[] = {{"empty afterwards", false}, {"holds a file of the user's", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        const std::wstring full = input_ / L"made";
        UseOutput(g_app.modeCopy, ProcessMode::CopyAndRename, L"made");  // relative to the input
        RunProcess({IDYES, IDYES});                                      // create it, then copy
        ASSERT_TRUE(TempDir::Exists(full + L"\\001a.txt"));
        if (c.extraFile) TempDir::WriteFileBytes(full + L"\\mine.txt", "mine");
        RunAnswered(IDM_UNDO_LAST_BATCH, {IDYES});
        EXPECT_FALSE(TempDir::Exists(full + L"\\001a.txt"));
        EXPECT_EQ(TempDir::Exists(full), c.extraFile);
        if (c.extraFile) {
            DeleteFileW((full + L"\\mine.txt").c_str());
            RemoveDirectoryW(full.c_str());
        }
    }
}

// A first start has no saved placement: the default size is fitted to the work area.
TEST_F(WindowKeysTest, TheFirstWindowFitsTheWorkArea)
{
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(window_, nullptr, work.left + 40, work.top + 30, work.right - work.left + 300,
                 work.bottom - work.top + 200, SWP_NOZORDER | SWP_NOACTIVATE);
    g_app.settings.hasWindowPos = false;  // as a start without settings.json
    RestoreWindowPlacement(window_, SW_SHOWNORMAL);
    RECT frame{};
    GetWindowRect(window_, &frame);
    EXPECT_GE(frame.left, work.left);
    EXPECT_GE(frame.top, work.top);
    EXPECT_LE(frame.right, work.right);
    EXPECT_LE(frame.bottom, work.bottom);
    EXPECT_EQ(frame.bottom - frame.top, work.bottom - work.top);
}

// In the dark theme a disabled check box shows its label in the theme's disabled colour, not
// in the white of an enabled one.
TEST_F(WindowKeysTest, ADisabledCheckBoxLabelIsGreyInTheDarkTheme)
{
    Command(IDM_DARK_THEME);
    ASSERT_TRUE(g_app.settings.darkTheme);
    HWND check = g_app.sameAsInputCheck;
    ASSERT_FALSE(Enabled(check));  // "Rename in Place" makes it pointless
    RedrawWindow(check, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT client{};
    GetClientRect(check, &client);
    HDC dc = GetDC(check);
    int brightest = 0;
    for (int y = client.top; y < client.bottom; ++y) {
        for (int x = 24; x < client.right; ++x) {  // right of the box
            const COLORREF pixel = GetPixel(dc, x, y);
            brightest = std::max({brightest, int{GetRValue(pixel)}, int{GetGValue(pixel)}, int{GetBValue(pixel)}});
        }
    }
    ReleaseDC(check, dc);
    EXPECT_EQ(brightest, 128);  // the label's own grey, and nothing lighter
}

// The middle of the dark pixels (the text) a control shows, in screen rows; -1 when it shows none.
int InkMiddle(HWND control)
{
    RECT client{};
    GetClientRect(control, &client);
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetDC(control);
    int top = -1, bottom = -1;
    for (int y = client.top; y < client.bottom; ++y) {
        for (int x = client.left; x < client.right; ++x) {
            const COLORREF pixel = GetPixel(dc, x, y);
            if (GetRValue(pixel) + GetGValue(pixel) + GetBValue(pixel) >= 3 * 96) continue;
            if (top < 0) top = y;
            bottom = y;
            break;
        }
    }
    ReleaseDC(control, dc);
    POINT origin{0, 0};
    ClientToScreen(control, &origin);
    return top < 0 ? -1 : origin.y + (top + bottom) / 2;
}

// A label reads level with the text of the edit beside it.
TEST_F(WindowKeysTest, LabelsSitLevelWithTheTextOfTheirEdits)
{
    const struct {
        int label;
        HWND edit;
    } pairs[] = {{1050, g_app.searchEdit}, {1001, g_app.inputEdit}};
    for (const auto& pair : pairs) {
        SCOPED_TRACE(pair.label);
        HWND labelControl = GetDlgItem(window_, pair.label);
        Type(pair.edit, Text(labelControl).c_str());  // the same letters on both sides
        const int label = InkMiddle(labelControl);
        const int edit = InkMiddle(pair.edit);
        ASSERT_GE(label, 0);
        ASSERT_GE(edit, 0);
        EXPECT_LE(std::abs(label - edit), 2);
    }
}

// The pixels of one cell of a list as shown.
std::vector<COLORREF> CellPixels(HWND list, int row, int column)
{
    RECT cell{LVIR_LABEL, column, 0, 0};
    SendMessageW(list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
    std::vector<COLORREF> pixels;
    HDC dc = GetDC(list);
    for (int y = cell.top + 1; y < cell.bottom - 1; ++y) {
        for (int x = cell.left + 1; x < cell.right - 1; ++x) pixels.push_back(GetPixel(dc, x, y));
    }
    ReleaseDC(list, dc);
    return pixels;
}

// Target paths too long for their column keep their ends, where rows differ.
TEST_F(WindowKeysTest, TargetPathsTooLongForTheColumnShowTheirEnds)
{
    UseOutput(g_app.modeCopy, ProcessMode::CopyAndRename,
              input_ / L"a folder name far too long for the column\\and one more level");
    ListView_SetColumnWidth(g_app.listNew, 1, 160);
    RedrawWindow(g_app.listNew, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_NE(CellPixels(g_app.listNew, 0, 1), CellPixels(g_app.listNew, 1, 1));
}
