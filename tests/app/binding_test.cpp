// Controls to settings and back, the enabling rules, the live preview and the counts line,
// driven through the real main window with the messages a user's input produces.
#include "app/binding.h"

#include <functional>
#include <utility>
#include <vector>

#include "app/controls.h"
#include "engine/path.h"
#include "files/batch.h"
#include "tests/app/process_fixture.h"

namespace {

TEST(ParseNumberText, DigitsSignsAndFallbacks)
{
    const struct {
        const wchar_t* text;
        int expected;
    } rows[] = {
        {L"", 7},    {L"12", 12}, {L"  5", 5}, {L"-3", -3}, {L"+4", 4},  {L"12abc", 12},
        {L"abc", 7}, {L"-", 7},   {L" ", 7},   {L"0", 0},   {L"007", 7}, {L"25", 25},
    };
    for (const auto& r : rows) EXPECT_EQ(ParseNumberText(r.text, 7), r.expected) << r.text;
}

class BindingTest : public MainWindowFixture {
protected:
    // Rows in the test's own folder, which holds none of the new names.
    void LoadRows(std::initializer_list<const wchar_t*> names)
    {
        g_app.files.clear();
        for (const wchar_t* name : names) g_app.files.push_back(FileRow(folder_.path(), name));
        Type(g_app.inputEdit, folder_.path().c_str());  // typing here alone refreshes nothing
        RefreshPreview();
    }
    static std::wstring NewName(int row) { return Cell(g_app.listNew, row, 0); }
};

TEST_F(BindingTest, StatusCountsLine)
{
    using S = ItemStatus;
    const struct {
        std::vector<S> statuses;
        const wchar_t* expected;
    } rows[] = {
        {{}, L"Files: 0  |  Ready: 0  |  Unchanged: 0  |  Conflicts: 0"},
        {{S::Ready, S::Ready, S::Ready, S::Unchanged, S::Duplicate, S::Duplicate},
         L"Files: 6  |  Ready: 3  |  Unchanged: 1  |  Conflicts: 2"},
        {{S::InvalidName, S::TargetExists, S::Duplicate}, L"Files: 3  |  Ready: 0  |  Unchanged: 0  |  Conflicts: 3"},
        // Results of a batch count only in the total.
        {{S::Done, S::Skipped, S::Failed, S::Ready}, L"Files: 4  |  Ready: 1  |  Unchanged: 0  |  Conflicts: 0"},
    };
    for (const auto& r : rows) {
        g_app.files.clear();
        for (S status : r.statuses) g_app.files.push_back(FileRow(folder_.path(), L"x.txt", status));
        UpdateStatusCounts();
        EXPECT_EQ(g_app.statusBarText, r.expected);
        EXPECT_EQ(StatusText(), r.expected);
    }
    EXPECT_EQ(StatusCountsText(123456789012ull, 1, 2, 3),
              L"Files: 123456789012  |  Ready: 1  |  Unchanged: 2  |  Conflicts: 3");
}

TEST_F(BindingTest, TypingASearchRulePlansEveryRowAndCounts)
{
    LoadRows({L"a1.txt", L"b1.txt", L"c1.txt", L"keep.txt", L"d1.txt", L"d2.txt"});
    EXPECT_EQ(StatusText(), L"Files: 6  |  Ready: 0  |  Unchanged: 6  |  Conflicts: 0");
    Type(g_app.searchEdit, L"1");
    Type(g_app.replaceEdit, L"2");
    EXPECT_EQ(NewName(0), L"a2.txt");
    EXPECT_EQ(Cell(g_app.listNew, 0, 2), L"Ready");
    EXPECT_EQ(Cell(g_app.listNew, 3, 2), L"Unchanged");
    EXPECT_EQ(Cell(g_app.listNew, 4, 2), L"Duplicate target");  // d1 -> d2 collides with d2
    EXPECT_EQ(Cell(g_app.listNew, 5, 2), L"Duplicate target");
    EXPECT_EQ(StatusText(), L"Files: 6  |  Ready: 3  |  Unchanged: 1  |  Conflicts: 2");
    for (HWND list : {g_app.listOriginal, g_app.listNew}) EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 6);
    // Remove chars and New ext refresh too.
    Type(g_app.removeCharsEdit, L"k");
    EXPECT_EQ(NewName(3), L"eep.txt");
    Choose(g_app.extCombo, 1);
    Type(g_app.newExtEdit, L"md");
    EXPECT_EQ(NewName(3), L"eep.md");
}

TEST_F(BindingTest, ComboChoicesAndCheckBoxesRefreshThePreview)
{
    LoadRows({L"alpha.txt", L"beta.txt"});
    Choose(g_app.prefixTypeCombo, 1);
    EXPECT_EQ(NewName(0), L"001 - alpha.txt");
    EXPECT_EQ(NewName(1), L"002 - beta.txt");
    Choose(g_app.prefixTypeCombo, 2);
    EXPECT_EQ(NewName(1), L"B - beta.txt");
    Choose(g_app.suffixTypeCombo, 1);
    Type(g_app.suffixSepEdit, L"_");
    EXPECT_EQ(NewName(1), L"B - beta_002.txt");
    Choose(g_app.caseCombo, 1);
    EXPECT_EQ(NewName(0), L"A - ALPHA_001.txt");
    Click(g_app.replaceEntireCheck);
    EXPECT_TRUE(IsChecked(g_app.replaceEntireCheck));
    Type(g_app.replaceNameEdit, L"photo");
    EXPECT_EQ(NewName(0), L"A - PHOTO_001.txt");
    Click(g_app.replaceEntireCheck);
    EXPECT_EQ(NewName(0), L"A - ALPHA_001.txt");
}

TEST_F(BindingTest, PadOf25PreviewsWithPad10AndKeepsShowing25)
{
    LoadRows({L"a.txt"});
    Choose(g_app.prefixTypeCombo, 1);
    Type(g_app.prefixPadEdit, L"25");
    EXPECT_EQ(g_app.settings.rules.prefix.pad, 10);
    EXPECT_EQ(NewName(0), L"0000000001 - a.txt");
    EXPECT_EQ(Text(g_app.prefixPadEdit), L"25");
    Type(g_app.prefixStepEdit, L"0");
    EXPECT_EQ(g_app.settings.rules.prefix.step, 1);
    EXPECT_EQ(Text(g_app.prefixStepEdit), L"0");
}

TEST_F(BindingTest, NumberEditsWithoutDigitsTakeTheirDefaults)
{
    LoadRows({L"a.txt"});
    Choose(g_app.suffixTypeCombo, 1);
    const struct {
        HWND edit;
        const int32_t* field;
        int32_t fallback;
    } rows[] = {
        {g_app.prefixStartEdit, &g_app.settings.rules.prefix.start, 1},
        {g_app.prefixStepEdit, &g_app.settings.rules.prefix.step, 1},
        {g_app.prefixPadEdit, &g_app.settings.rules.prefix.pad, 3},
        {g_app.suffixStartEdit, &g_app.settings.rules.suffix.start, 1},
        {g_app.suffixStepEdit, &g_app.settings.rules.suffix.step, 1},
        {g_app.suffixPadEdit, &g_app.settings.rules.suffix.pad, 3},
    };
    for (const auto& r : rows) {
        Type(r.edit, L"7");
        EXPECT_EQ(*r.field, 7) << GetDlgCtrlID(r.edit);
        Type(r.edit, L"");
        EXPECT_EQ(*r.field, r.fallback) << GetDlgCtrlID(r.edit);
    }
    Type(g_app.suffixStartEdit, L"42");
    EXPECT_EQ(NewName(0), L"a - 042.txt");
}

// One step of a user's session and the enabled state it leaves, in order.
struct EnableStep {
    const char* what;
    std::function<void()> act;
    std::vector<std::pair<HWND AppState::*, bool>> expected;
};

TEST_F(BindingTest, EnablingRulesFollowTheControls)
{
    using A = AppState;
    const EnableStep steps[] = {
        {"defaults: Rename in Place, same as input, no prefix",
         [] {},
         {{&A::outputEdit, false},
          {&A::outputBrowse, false},
          {&A::sameAsInputCheck, false},
          {&A::prefixStartEdit, false},
          {&A::prefixStepEdit, false},
          {&A::prefixPadEdit, false},
          {&A::prefixSepEdit, false},
          {&A::suffixPadEdit, false},
          {&A::newExtEdit, false},
          {&A::replaceNameEdit, false},
          {&A::searchEdit, true},
          {&A::processButton, false},
          {&A::inputEdit, true},
          {&A::inputBrowse, true},
          {&A::prefixTypeCombo, true}}},
        {"Copy & Rename with same-as-input checked",
         [] { Click(g_app.modeCopy); },
         {{&A::sameAsInputCheck, true}, {&A::outputEdit, false}, {&A::outputBrowse, false}}},
        {"same-as-input unchecked",
         [] { Click(g_app.sameAsInputCheck); },
         {{&A::outputEdit, true}, {&A::outputBrowse, true}}},
        {"Rename in Place again",
         [] { Click(g_app.modeRename); },
         {{&A::outputEdit, false}, {&A::outputBrowse, false}, {&A::sameAsInputCheck, false}}},
        {"prefix Numbers",
         [] { Choose(g_app.prefixTypeCombo, 1); },
         {{&A::prefixStartEdit, true},
          {&A::prefixStepEdit, true},
          {&A::prefixPadEdit, true},
          {&A::prefixSepEdit, true}}},
        {"prefix Letters",
         [] { Choose(g_app.prefixTypeCombo, 2); },
         {{&A::prefixStartEdit, true},
          {&A::prefixStepEdit, true},
          {&A::prefixPadEdit, false},
          {&A::prefixSepEdit, true}}},
        {"prefix None",
         [] { Choose(g_app.prefixTypeCombo, 0); },
         {{&A::prefixStartEdit, false}, {&A::prefixPadEdit, false}, {&A::prefixSepEdit, false}}},
        {"suffix Letters",
         [] { Choose(g_app.suffixTypeCombo, 2); },
         {{&A::suffixStartEdit, true},
          {&A::suffixStepEdit, true},
          {&A::suffixPadEdit, false},
          {&A::suffixSepEdit, true},
          {&A::prefixStartEdit, false}}},
        {"extension Change", [] { Choose(g_app.extCombo, 1); }, {{&A::newExtEdit, true}}},
        {"extension Lowercase", [] { Choose(g_app.extCombo, 2); }, {{&A::newExtEdit, false}}},
        {"replace entire name",
         [] { Click(g_app.replaceEntireCheck); },
         {{&A::replaceNameEdit, true},
          {&A::searchEdit, false},
          {&A::replaceEdit, false},
          {&A::removeCharsEdit, false}}},
        {"replace entire name off",
         [] { Click(g_app.replaceEntireCheck); },
         {{&A::replaceNameEdit, false}, {&A::searchEdit, true}, {&A::replaceEdit, true}, {&A::removeCharsEdit, true}}},
        {"a file in the list",
         [] {
             g_app.files.push_back(FileRow(L"C:\\", L"a.txt"));
             UpdateControlStates();
         },
         {{&A::processButton, true}}},
    };
    for (const EnableStep& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        for (const auto& [member, enabled] : step.expected)
            EXPECT_EQ(Enabled(g_app.*member), enabled) << GetDlgCtrlID(g_app.*member);
    }
}

// A batch copying into another folder, with the worker's messages held back until the test
// lets the batch end.
class BindingDuringABatchTest : public ProcessFixture {};

TEST_F(BindingDuringABatchTest, BusyDisablesEveryInputButNotTheListsLabelsOrStatusBar)
{
    TempDir out;
    UseOutput(g_app.modeCopy, ProcessMode::CopyAndRename, out.path());
    const std::vector<HeldPost> held = ProcessHeld();
    for (HWND control :
         {g_app.inputEdit, g_app.inputBrowse, g_app.outputEdit, g_app.outputBrowse, g_app.sameAsInputCheck,
          g_app.modeRename, g_app.modeCopy, g_app.modeMove, g_app.prefixTypeCombo, g_app.prefixStartEdit,
          g_app.prefixPadEdit, g_app.suffixTypeCombo, g_app.caseCombo, g_app.extCombo, g_app.replaceEntireCheck,
          g_app.searchEdit, g_app.processButton})
        EXPECT_FALSE(Enabled(control)) << GetDlgCtrlID(control);
    for (HWND control : {g_app.listOriginal, g_app.listNew, g_app.splitter, g_app.statusBar,
                         ControlById(kIdSearchLabel), ControlById(kIdHeadingPreview)})
        EXPECT_TRUE(Enabled(control)) << GetDlgCtrlID(control);
    DeliverAll(held);
    for (HWND control : {g_app.inputEdit, g_app.outputEdit, g_app.outputBrowse, g_app.prefixPadEdit})
        EXPECT_TRUE(Enabled(control)) << GetDlgCtrlID(control);
}

TEST_F(BindingTest, OutputEditFollowsTheInputWhileSameOrInPlace)
{
    Type(g_app.inputEdit, L"  C:\\photos\t ");
    RefreshPreview();
    EXPECT_EQ(g_app.settings.inputDir, L"C:\\photos");  // trimmed
    EXPECT_EQ(Text(g_app.outputEdit), L"C:\\photos");
    EXPECT_EQ(g_app.settings.outputDir, L"C:\\photos");
    // Copying with "Same as input directory" off: the text stays and becomes editable.
    Click(g_app.modeCopy);
    Click(g_app.sameAsInputCheck);
    EXPECT_TRUE(Enabled(g_app.outputEdit));
    EXPECT_EQ(Text(g_app.outputEdit), L"C:\\photos");
    Type(g_app.outputEdit, L"D:\\out");
    EXPECT_EQ(g_app.settings.outputDir, L"D:\\out");
    Type(g_app.inputEdit, L"C:\\other");
    Type(g_app.searchEdit, L"x");
    EXPECT_EQ(Text(g_app.outputEdit), L"D:\\out");
    // Checking it again brings the input back into the output edit at once.
    Click(g_app.sameAsInputCheck);
    EXPECT_EQ(Text(g_app.outputEdit), L"C:\\other");
}

TEST_F(BindingTest, ModeRadiosSetTheProcessingAction)
{
    const struct {
        HWND AppState::*radio;
        ProcessMode mode;
    } rows[] = {
        {&AppState::modeMove, ProcessMode::MoveAndRename},
        {&AppState::modeCopy, ProcessMode::CopyAndRename},
        {&AppState::modeRename, ProcessMode::RenameInPlace},
    };
    for (const auto& r : rows) {
        Click(g_app.*r.radio);
        EXPECT_EQ(g_app.settings.mode, r.mode);
        EXPECT_TRUE(IsChecked(g_app.*r.radio));
    }
    // No radio checked at all reads as Rename in Place.
    for (HWND radio : {g_app.modeRename, g_app.modeCopy, g_app.modeMove})
        SendMessageW(radio, BM_SETCHECK, BST_UNCHECKED, 0);
    g_app.settings.mode = ProcessMode::MoveAndRename;
    ReadControlsIntoSettings();
    EXPECT_EQ(g_app.settings.mode, ProcessMode::RenameInPlace);
}

TEST_F(BindingTest, ComboWithoutSelectionReadsAsZero)
{
    Choose(g_app.caseCombo, 3);
    EXPECT_EQ(g_app.settings.rules.caseMode, CaseMode::Title);
    SendMessageW(g_app.caseCombo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    ReadControlsIntoSettings();
    EXPECT_EQ(g_app.settings.rules.caseMode, CaseMode::NoChange);
}

AppSettings Unusual()
{
    AppSettings s = DefaultSettings();
    s.inputDir = L"C:\\in dir";
    s.outputDir = L"D:\\out";
    s.sameAsInput = false;
    s.mode = ProcessMode::MoveAndRename;
    s.rules.prefix = {SequenceType::Letters, -5, 3, 4, L"_"};
    s.rules.replaceEntireName = true;
    s.rules.replaceName = L"photo";
    s.rules.suffix = {SequenceType::Numbers, 100, 10, 6, L" #"};
    s.rules.search = L" ";
    s.rules.replace = L"-";
    s.rules.removeChars = L"()";
    s.rules.caseMode = CaseMode::Lower;
    s.rules.extMode = ExtMode::Change;
    s.rules.newExt = L"jpeg";
    return s;
}

TEST_F(BindingTest, WriteThenReadGivesTheSameSettings)
{
    LoadRows({L"a.txt"});
    g_app.files[0].newName = L"untouched";
    const AppSettings original = Unusual();
    g_app.settings = original;
    WriteSettingsToControls();
    EXPECT_EQ(g_app.files[0].newName, L"untouched");  // writing does not refresh the preview
    EXPECT_EQ(Text(g_app.prefixStartEdit), L"-5");
    EXPECT_EQ(Text(g_app.suffixPadEdit), L"6");
    EXPECT_EQ(Text(g_app.suffixSepEdit), L" #");
    EXPECT_TRUE(IsChecked(g_app.modeMove));
    EXPECT_FALSE(IsChecked(g_app.modeRename));
    EXPECT_FALSE(IsChecked(g_app.modeCopy));
    EXPECT_EQ(Selection(g_app.prefixTypeCombo), 2);
    EXPECT_TRUE(Enabled(g_app.newExtEdit));  // the enabling follows the written values
    EXPECT_FALSE(Enabled(g_app.searchEdit));

    g_app.settings = DefaultSettings();
    ReadControlsIntoSettings();
    const AppSettings& s = g_app.settings;
    EXPECT_EQ(s.inputDir, original.inputDir);
    EXPECT_EQ(s.outputDir, original.outputDir);
    EXPECT_EQ(s.sameAsInput, original.sameAsInput);
    EXPECT_EQ(s.mode, original.mode);
    for (auto [got, want] :
         {std::pair{&s.rules.prefix, &original.rules.prefix}, std::pair{&s.rules.suffix, &original.rules.suffix}}) {
        EXPECT_EQ(got->type, want->type);
        EXPECT_EQ(got->start, want->start);
        EXPECT_EQ(got->step, want->step);
        EXPECT_EQ(got->pad, want->pad);
        EXPECT_EQ(got->sep, want->sep);
    }
    EXPECT_EQ(s.rules.replaceEntireName, original.rules.replaceEntireName);
    EXPECT_EQ(s.rules.replaceName, original.rules.replaceName);
    EXPECT_EQ(s.rules.search, original.rules.search);  // a lone space is kept: rule texts are not trimmed
    EXPECT_EQ(s.rules.replace, original.rules.replace);
    EXPECT_EQ(s.rules.removeChars, original.rules.removeChars);
    EXPECT_EQ(s.rules.caseMode, original.rules.caseMode);
    EXPECT_EQ(s.rules.extMode, original.rules.extMode);
    EXPECT_EQ(s.rules.newExt, original.rules.newExt);
}

TEST_F(BindingTest, NothingIsReadOnceTheWindowIsGone)
{
    g_app.settings.inputDir = L"C:\\kept";
    HWND input = g_app.inputEdit;
    DestroyWindow(window_);
    EXPECT_FALSE(IsWindow(input));
    ReadControlsIntoSettings();
    EXPECT_EQ(g_app.settings.inputDir, L"C:\\kept");
}

TEST_F(BindingTest, KeystrokeSavesOnlyWithAutoSaveOnAndTheWindowReady)
{
    const struct {
        bool autoSave, windowReady, saved;
    } rows[] = {{true, true, true}, {false, true, false}, {true, false, false}};
    for (const auto& r : rows) {
        DeleteSettingsFile();
        g_app.settings.autoSave = r.autoSave;
        g_app.windowReady = r.windowReady;
        Type(g_app.searchEdit, r.saved ? L"on" : L"off");
        EXPECT_EQ(SettingsFileExists(), r.saved) << r.autoSave << r.windowReady;
    }
    g_app.windowReady = false;
}

TEST_F(BindingTest, ProgrammaticWritesDoNotStartARefresh)
{
    LoadRows({L"a.txt"});
    g_app.settings.rules.search = L"a";
    WriteSettingsToControls();
    EXPECT_EQ(Text(g_app.searchEdit), L"a");
    EXPECT_EQ(NewName(0), L"a.txt");  // the EN_CHANGE of that write was ignored
    Type(g_app.replaceEdit, L"b");         // a user's edit after it plans again
    EXPECT_EQ(NewName(0), L"b.txt");
}

}  // namespace
