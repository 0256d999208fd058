#pragma once
// The real main window hosted in-process over a real temporary input folder, with its settings
// file in a private folder, a helper that answers message boxes, and a message pump.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/app_state.h"
#include "app/main_window.h"
#include "settings/settings_file.h"
#include "tests/support/temp_dir.h"

// One message box as the user saw it.
struct SeenBox {
    std::wstring caption;
    std::wstring text;
    bool hasYesNo = false;
};

// Watches for message boxes of this process and answers them from its own thread: the main
// thread sits in the box's modal loop meanwhile. Answers are used in order; once they run
// out, a Yes/No box gets No and any other box its OK.
class BoxAnswerer {
public:
    explicit BoxAnswerer(std::vector<int> answers = {}) : answers_(std::move(answers)), thread_([this] { Run(); }) {}
    ~BoxAnswerer()
    {
        stop_ = true;
        thread_.join();
    }
    std::vector<SeenBox> Seen()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return seen_;
    }
    // Called on the answering thread while the box is up, before it is answered.
    void OnBox(std::function<void()> callback) { onBox_ = std::move(callback); }

private:
    static BOOL CALLBACK FindBox(HWND window, LPARAM found)
    {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        wchar_t cls[16] = {};
        GetClassNameW(window, cls, 16);
        if (pid == GetCurrentProcessId() && std::wstring(cls) == L"#32770" && IsWindowVisible(window)) {
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        }
        return TRUE;
    }

    void Run()
    {
        HWND answered = nullptr;
        while (!stop_) {
            Sleep(10);
            HWND box = nullptr;
            EnumWindows(FindBox, reinterpret_cast<LPARAM>(&box));
            if (!box || (box == answered && IsWindow(answered))) continue;
            Answer(box);
            answered = box;
        }
    }

    void Answer(HWND box)
    {
        SeenBox seen;
        wchar_t buffer[1024] = {};
        GetWindowTextW(box, buffer, 1024);
        seen.caption = buffer;
        GetDlgItemTextW(box, 0xFFFF, buffer, 1024);
        seen.text = buffer;
        seen.hasYesNo = GetDlgItem(box, IDYES) != nullptr;
        if (onBox_) onBox_();
        int button = seen.hasYesNo ? IDNO : IDOK;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (next_ < answers_.size()) button = answers_[next_++];
            seen_.push_back(seen);
        }
        HWND control = GetDlgItem(box, button);
        if (!control) control = GetDlgItem(box, seen.hasYesNo ? IDNO : IDOK);
        PostMessageW(control, BM_CLICK, 0, 0);
    }

    std::vector<int> answers_;
    size_t next_ = 0;
    std::vector<SeenBox> seen_;
    std::mutex mutex_;
    std::function<void()> onBox_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class FilesWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&classes);
        SetSettingsPathForTest(settingsDir_ / L"settings.json");
        g_app.settings = DefaultSettings();
        g_app.settings.autoSave = false;
        g_app.settings.inputDir = input_.path();
        g_app.settings.rules.prefix.type = SequenceType::Numbers;
        g_app.settings.rules.prefix.pad = 3;
        g_app.settings.rules.prefix.sep = L"";
        PrepareFiles();
        PrepareSettings(g_app.settings);
        HINSTANCE instance = GetModuleHandleW(nullptr);
        ASSERT_TRUE(RegisterWindowClasses(instance));
        window_ = CreateMainWindow(instance);
        ASSERT_NE(window_, nullptr);
    }

    void TearDown() override
    {
        DestroyMainWindowForTest();
        SetSettingsPathForTest(L"");
    }

    // The input folder's files before the window scans it at creation.
    virtual void PrepareFiles() {}
    virtual void PrepareSettings(AppSettings&) {}

    void Command(int id, int code = 0, HWND control = nullptr)
    {
        SendMessageW(window_, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
    }
    void Refresh() { Command(40001); }
    void SetInputDir(const std::wstring& path)
    {
        SendMessageW(g_app.inputEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        Refresh();
    }
    void Process() { Command(1080, BN_CLICKED, g_app.processButton); }

    // Pumps this thread's messages until `done` holds or `ms` pass; false on time-out.
    static bool PumpUntil(const std::function<bool()>& done, DWORD ms = 20000)
    {
        const ULONGLONG deadline = GetTickCount64() + ms;
        MSG msg;
        while (!done()) {
            if (GetTickCount64() > deadline) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        return true;
    }
    static bool WaitIdle() { return PumpUntil([] { return !g_app.busy; }); }

    static std::wstring StatusBar()
    {
        wchar_t buffer[512] = {};
        SendMessageW(g_app.statusBar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(buffer));
        return buffer;
    }
    // The text a list shows in a cell, asked the way any client asks it.
    static std::wstring Cell(HWND list, int row, int column)
    {
        wchar_t buffer[512] = {};
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = 512;
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        return buffer;
    }
    static int ItemCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }
    static std::vector<std::wstring> Names()
    {
        std::vector<std::wstring> names;
        for (const FileEntry& row : g_app.files) names.push_back(row.name);
        return names;
    }

    TempDir input_;
    TempDir settingsDir_;
    HWND window_ = nullptr;
};
