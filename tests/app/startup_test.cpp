// The build number and the rule for the undocumented dark-mode ordinals: taken only on builds
// where they are the dark-mode set, and only as a set.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>

#include "app/commands.h"
#include "app/startup.h"
#include "app/theme_hooks.h"
#include "app/win_util.h"
#include "resources/resource.h"
#include "tests/support/main_window_fixture.h"

namespace {

std::wstring BesideTestExe(const wchar_t* name)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring result = path;
    return result.substr(0, result.find_last_of(L"\\/") + 1) + name;
}

struct Hooks {
    bool appMode, allowApp, allowWindow, refreshPolicy, refreshMenu;
    bool operator==(const Hooks&) const = default;
};

Hooks CurrentHooks()
{
    return {SetAppThemeMode != nullptr, AllowAppDarkTheme != nullptr, AllowWindowDarkTheme != nullptr,
            RefreshThemeColorPolicy != nullptr, RefreshMenuTheme != nullptr};
}

constexpr Hooks kNone = {false, false, false, false, false};

class FakeUxTheme {
public:
    explicit FakeUxTheme(const wchar_t* name) : module_(LoadLibraryW(BesideTestExe(name).c_str())) {}
    ~FakeUxTheme()
    {
        ResolveThemeHooks(nullptr, 0);  // no pointer may outlive the library
        if (module_) FreeLibrary(module_);
    }
    HMODULE module() const { return module_; }
    std::string Log() const
    {
        using LogFn = const char*(WINAPI*)();
        auto log = reinterpret_cast<LogFn>(reinterpret_cast<void*>(GetProcAddress(module_, "FakeCallLog")));
        return log();
    }
    void ClearLog() const
    {
        using ClearFn = void(WINAPI*)();
        reinterpret_cast<ClearFn>(reinterpret_cast<void*>(GetProcAddress(module_, "FakeClearLog")))();
    }

private:
    HMODULE module_;
};

TEST(StartupTest, BuildNumberIsWhatRtlGetVersionReports)
{
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    auto rtl = reinterpret_cast<RtlGetVersionFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    ASSERT_NE(rtl, nullptr);
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    ASSERT_EQ(rtl(&info), 0);
    EXPECT_EQ(GetWindowsBuildNumber(), info.dwBuildNumber);
    EXPECT_NE(GetWindowsBuildNumber(), 0u);
}

TEST(StartupTest, OrdinalsTakenOnlyFromDarkModeBuildsAndAsASet)
{
    FakeUxTheme full(L"fake_uxtheme.dll");
    FakeUxTheme partial(L"fake_uxtheme_partial.dll");  // lacks ordinal 133
    ASSERT_NE(full.module(), nullptr);
    ASSERT_NE(partial.module(), nullptr);
    struct Row {
        HMODULE module;
        unsigned long build;
        Hooks expected;
    } rows[] = {
        {full.module(), 0, kNone},
        {full.module(), 7601, kNone},
        {full.module(), 17134, kNone},
        {full.module(), 17762, kNone},
        {full.module(), 17763, {false, true, true, true, true}},
        {full.module(), 18361, {false, true, true, true, true}},
        {full.module(), 18362, {true, false, true, true, true}},
        {full.module(), 22631, {true, false, true, true, true}},
        {partial.module(), 18362, kNone},
        {partial.module(), 17763, kNone},
        {nullptr, 22631, kNone},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.build);
        ResolveThemeHooks(row.module, row.build);
        EXPECT_TRUE(CurrentHooks() == row.expected);
    }
}

TEST(StartupTest, ProcessThemeCallsModeOrBoolThenRefreshes)
{
    FakeUxTheme full(L"fake_uxtheme.dll");
    ASSERT_NE(full.module(), nullptr);
    struct Row {
        unsigned long build;
        bool dark;
        const char* calls;
    } rows[] = {
        {18362, true, "135(2) 104 136 "},  {18362, false, "135(3) 104 136 "},
        {17763, true, "135(1) 104 136 "},  // older builds get a bool, never 2 or 3
        {17763, false, "135(0) 104 136 "}, {7601, true, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.build);
        ResolveThemeHooks(full.module(), row.build);
        full.ClearLog();
        ApplyProcessTheme(row.dark);
        EXPECT_EQ(full.Log(), row.calls);
    }
}

// The Wine prefix a run uses says which Windows it reports: 7601 for a new prefix (Windows 7),
// 18362 after "winecfg /v win10". The runner names it; run by hand there is nothing to compare.
TEST(StartupTest, BuildNumberOfThisPrefix)
{
    const char* expected = getenv("OP_EXPECT_BUILD");
    if (!expected || !*expected) GTEST_SKIP() << "OP_EXPECT_BUILD not set";
    EXPECT_EQ(GetWindowsBuildNumber(), strtoul(expected, nullptr, 10));
}

// The system's own uxtheme with this system's build: under Wine (any version setting) ordinals
// 133 and 135 are absent and 104 is IsThemePartDefined, so nothing may be taken.
TEST(StartupTest, SystemUxThemeOnThisSystem)
{
    HMODULE uxtheme = LoadLibraryExW(L"uxtheme.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    ASSERT_NE(uxtheme, nullptr);
    unsigned long build = GetWindowsBuildNumber();
    bool hasSet = GetProcAddress(uxtheme, MAKEINTRESOURCEA(133)) && GetProcAddress(uxtheme, MAKEINTRESOURCEA(135));
    ResolveThemeHooks(uxtheme, build);
    if (build < kFirstDarkModeBuild || !hasSet) {
        EXPECT_TRUE(CurrentHooks() == kNone) << "build " << build;
        ApplyProcessTheme(true);  // with nothing resolved this must be harmless
    } else {
        EXPECT_NE(AllowWindowDarkTheme, nullptr);
    }
    RecordProperty("windows_build", std::to_string(build));
    printf("Windows build %lu, dark-mode ordinal set %s\n", build, hasSet ? "present" : "absent");
    ResolveThemeHooks(nullptr, 0);
}

// Another instance holds the mutex: the run hands over and ends with 0 before loading anything.
class SecondInstanceTest : public ShownMainWindowFixture {
protected:
    void SetUp() override
    {
        ShownMainWindowFixture::SetUp();
        mutex_ = CreateMutexW(nullptr, TRUE, kSingleInstanceMutexName);
        ASSERT_NE(mutex_, nullptr);
    }
    void TearDown() override
    {
        CloseHandle(mutex_);
        ShownMainWindowFixture::TearDown();
    }
    HANDLE mutex_ = nullptr;
};

TEST_F(SecondInstanceTest, HandsOverToTheRunningWindowAndExitsWithZero)
{
    ShowWindow(window_, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(window_));
    g_app.instance = nullptr;
    EXPECT_EQ(RunApplication(GetModuleHandleW(nullptr), SW_SHOWNORMAL), 0);
    EXPECT_FALSE(IsIconic(window_)) << "restored";
    EXPECT_TRUE(IsWindowVisible(window_));
    EXPECT_EQ(g_app.instance, nullptr) << "a second instance loads and creates nothing";
}

TEST_F(SecondInstanceTest, GivesUpSilentlyWhenNoWindowAppears)
{
    DestroyMainWindowForTest();
    g_app.instance = nullptr;
    DWORD start = GetTickCount();
    EXPECT_EQ(RunApplication(GetModuleHandleW(nullptr), SW_SHOWNORMAL), 0);
    EXPECT_GE(GetTickCount() - start, 900u) << "25 attempts 40 ms apart";
    EXPECT_EQ(g_app.instance, nullptr);
}

TEST_F(SecondInstanceTest, HandsItsFolderOrFilesFolderToTheRunningWindow)
{
    TempDir input(L"op-shell-handover");
    input.Write(L"a.txt", "");
    input.Write(L"b.txt", "");
    for (const std::wstring& path : {input.path(), input / L"b.txt"}) {
        SCOPED_TRACE(path);
        Type(g_app.inputEdit, L"");
        EXPECT_EQ(RunApplication(GetModuleHandleW(nullptr), SW_SHOWNORMAL, path), 0);
        EXPECT_EQ(Text(g_app.inputEdit), input.path());
        EXPECT_EQ(Text(g_app.outputEdit), input.path()) << "Rename in Place: the output follows";
        EXPECT_EQ(ItemCount(g_app.listOriginal), 2) << "scanned";
        EXPECT_EQ(SavedSettings().inputDir, input.path()) << "saved as after Browse";
    }
}

// WM_COPYDATA comes from any process: only our own, well-formed message is taken.
TEST_F(SecondInstanceTest, IgnoresAMalformedHandOver)
{
    TempDir input(L"op-shell-copydata");
    std::wstring path = input.path();
    const DWORD whole = static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t));
    std::wstring embedded = path + L'\0' + L"x";
    const struct {
        ULONG_PTR tag;
        const wchar_t* text;
        DWORD bytes;
        bool taken;
    } cases[] = {
        {kOpenFolderCopyData + 1, path.c_str(), whole, false},
        {kOpenFolderCopyData, path.c_str(), whole - 1, false},  // odd size
        {kOpenFolderCopyData, path.c_str(), whole - 2, false},  // no terminator
        {kOpenFolderCopyData, embedded.c_str(), static_cast<DWORD>((embedded.size() + 1) * 2), false},
        {kOpenFolderCopyData, nullptr, whole, false},
        {kOpenFolderCopyData, path.c_str(), whole, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        Type(g_app.inputEdit, L"");
        COPYDATASTRUCT data{c.tag, c.bytes, const_cast<wchar_t*>(c.text)};
        EXPECT_EQ(SendMessageW(window_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), c.taken ? TRUE : FALSE);
        EXPECT_EQ(Text(g_app.inputEdit), c.taken ? path : L"");
    }
}

// A missing path leaves the folder and its list as they are and says why.
TEST_F(SecondInstanceTest, AMissingPathLeavesTheWindowsFolderAlone)
{
    TempDir input(L"op-shell-missing");
    input.Write(L"a.txt", "");
    Type(g_app.inputEdit, input.path().c_str());
    Command(IDM_REFRESH);
    const std::wstring missing = input / L"gone";
    EXPECT_EQ(RunApplication(GetModuleHandleW(nullptr), SW_SHOWNORMAL, missing), 0);
    EXPECT_EQ(Text(g_app.inputEdit), input.path());
    EXPECT_EQ(ItemCount(g_app.listOriginal), 1);
    EXPECT_EQ(StatusText(), L"Input directory not found: " + missing);
}

// Folders handed over while a box is open: the list does not change under the question; the
// latest folder opens when the box closes, unless the box started a batch.
TEST_F(SecondInstanceTest, AFolderHandedOverUnderABoxOpensWhenItClosesUnlessABatchStarted)
{
    TempDir current(L"op-shell-current"), first(L"op-shell-first"), latest(L"op-shell-latest");
    current.Write(L"x.txt", "");
    first.Write(L"a.txt", "");
    latest.Write(L"b.txt", "");
    latest.Write(L"c.txt", "");
    Choose(g_app.prefixTypeCombo, 1);  // numbers: every row is ready
    for (int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer);
        Type(g_app.inputEdit, current.path().c_str());
        Command(IDM_REFRESH);
        std::wstring shownUnderBox;
        std::thread user([&] {
            HWND box = nullptr;
            for (int i = 0; i < 1000 && !(box = FindOwnDialog()); ++i) Sleep(10);
            if (!box) return;
            for (const TempDir* folder : {&first, &latest}) {
                const std::wstring path = folder->path();
                COPYDATASTRUCT data{kOpenFolderCopyData, static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)),
                                    const_cast<wchar_t*>(path.c_str())};
                DWORD_PTR taken = 0;
                SendMessageTimeoutW(window_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_BLOCK, 5000, &taken);
            }
            shownUnderBox = Text(g_app.inputEdit);
            DWORD_PTR result = 0;
            SendMessageTimeoutW(GetDlgItem(box, answer), BM_CLICK, 0, 0, SMTO_BLOCK, 5000, &result);
        });
        Command(1080, BN_CLICKED, g_app.processButton);  // Process: its confirmation is the box
        user.join();
        EXPECT_TRUE(PumpUntil([] { return !g_app.busy; }));
        EXPECT_EQ(shownUnderBox, current.path());
        const bool opened = PumpUntil([&] { return Text(g_app.inputEdit) != current.path(); }, 500);
        EXPECT_EQ(opened, answer == IDNO);
        EXPECT_EQ(Text(g_app.inputEdit), answer == IDNO ? latest.path() : current.path());
        EXPECT_EQ(ItemCount(g_app.listOriginal), answer == IDNO ? 2 : 1);
    }
}

TEST(StartupTest, FirstArgumentIsTheStartPath)
{
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    const std::wstring here = current;
    const struct {
        const wchar_t* commandLine;
        std::wstring path;
    } cases[] = {
        {L"", L""},
        {L"op.exe", L""},
        {L"\"C:\\Program Files\\op.exe\"", L""},
        {L"op.exe C:\\photos", L"C:\\photos"},
        {L"op.exe \"C:\\My Photos\" second third", L"C:\\My Photos"},
        {L"op.exe \"D:\\\"", L"D:\\"},  // Explorer quotes a drive root with its backslash
        {L"op.exe \"C:\\My Photos\\\"", L"C:\\My Photos\\"},
        {L"op.exe sub", here + (here.back() == L'\\' ? L"" : L"\\") + L"sub"},
        // Quotes left after the parsing: a pasted quoted path, an escaped closing quote.
        {L"op.exe \"\\\"C:\\My Photos\\\"\"", L"C:\\My Photos"},
        {L"op.exe \"Z:\\a b\\\"x", L"Z:\\a b\\x"},
    };
    for (const auto& c : cases) EXPECT_EQ(StartPathArgument(c.commandLine), c.path) << c.commandLine;
}

// A computer-based-training hook that vetoes the creation of the main window, the one way to
// make CreateWindowExW fail for a registered class.
HHOOK g_vetoHook = nullptr;
LRESULT CALLBACK VetoMainWindow(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam);
        if (!IS_INTRESOURCE(create->lpcs->lpszClass) && wcscmp(create->lpcs->lpszClass, L"OrvanePallistoWnd") == 0)
            return 1;
    }
    return CallNextHookEx(g_vetoHook, code, wParam, lParam);
}

TEST(StartupFailureTest, WindowThatCannotBeCreatedExitsWithOneAndFreesTheMutex)
{
    TempDir folder(L"op-shell-veto");
    SetSettingsPathForTest(folder / L"settings.json");
    g_vetoHook = SetWindowsHookExW(WH_CBT, VetoMainWindow, nullptr, GetCurrentThreadId());
    ASSERT_NE(g_vetoHook, nullptr);
    int exitCode = RunApplication(GetModuleHandleW(nullptr), SW_SHOWNORMAL);
    UnhookWindowsHookEx(g_vetoHook);
    EXPECT_EQ(exitCode, 1);
    EXPECT_EQ(g_app.mainWindow, nullptr);
    EXPECT_FALSE(g_app.windowReady);

    HANDLE mutex = CreateMutexW(nullptr, TRUE, kSingleInstanceMutexName);
    EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << "the failed run let go of the mutex";
    CloseHandle(mutex);
    SetSettingsPathForTest(L"");
}

using MessageLoopTest = ShownMainWindowFixture;

MSG KeyDown(HWND target, WPARAM key)
{
    return MSG{target, WM_KEYDOWN, key, 0x00000001, 0, {0, 0}};
}

TEST_F(MessageLoopTest, TabMovesOnFromEveryControlWhileListsKeepTheirOtherKeys)
{
    HACCEL table = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_ACCELERATORS));
    ASSERT_NE(table, nullptr);
    SetForegroundWindow(window_);
    SetFocus(g_app.searchEdit);
    ASSERT_EQ(GetFocus(), g_app.searchEdit);
    MSG tab = KeyDown(g_app.searchEdit, VK_TAB);
    EXPECT_TRUE(TranslateMainWindowMessage(window_, table, &tab));
    EXPECT_NE(GetFocus(), g_app.searchEdit) << "dialog navigation moved the focus on";

    const struct {
        HWND from;
        bool shift;
        HWND to;  // null: anywhere but the list
    } rows[] = {
        {g_app.listOriginal, false, g_app.listNew},
        {g_app.listNew, true, g_app.listOriginal},
        {g_app.listOriginal, true, nullptr},
        {g_app.listNew, false, nullptr},
    };
    BYTE keys[256] = {};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << (row.from == g_app.listNew) << row.shift);
        SetFocus(row.from);
        ASSERT_EQ(GetFocus(), row.from);
        MSG key = KeyDown(row.from, VK_DOWN);
        EXPECT_FALSE(TranslateMainWindowMessage(window_, table, &key)) << "the list gets its own keys";
        EXPECT_EQ(GetFocus(), row.from);
        keys[VK_SHIFT] = row.shift ? 0x80 : 0;
        SetKeyboardState(keys);
        PostMessageW(row.from, WM_KEYDOWN, VK_TAB, 0x000F0001);
        MSG posted = {};
        ASSERT_TRUE(PeekMessageW(&posted, row.from, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
        if (!TranslateMainWindowMessage(window_, table, &posted)) DispatchMessageW(&posted);
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
        EXPECT_NE(GetFocus(), row.from) << "Tab leaves the list";
        if (row.to) {
            EXPECT_EQ(GetFocus(), row.to);
        }
    }
}

TEST_F(MessageLoopTest, F5RefreshesWhicheverControlHasTheFocus)
{
    TempDir input(L"op-shell-loop");
    input.Write(L"one.txt", "");
    Type(g_app.inputEdit, input.path().c_str());
    HACCEL table = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_ACCELERATORS));
    SetForegroundWindow(window_);
    for (HWND focus : {g_app.listOriginal, g_app.listNew, g_app.searchEdit}) {
        g_app.files.clear();
        SetFocus(focus);
        MSG f5 = KeyDown(focus, VK_F5);
        EXPECT_TRUE(TranslateMainWindowMessage(window_, table, &f5));
        EXPECT_EQ(g_app.files.size(), 1u);
    }
    MSG f5 = KeyDown(g_app.searchEdit, VK_F5);
    g_app.files.clear();
    TranslateMainWindowMessage(window_, nullptr, &f5);
    EXPECT_TRUE(g_app.files.empty()) << "without the table F5 is only a key";
}

}  // namespace
