#pragma once
// The real main window hosted in-process for the shell tests, with its settings file in a
// private temporary folder, plus a helper that answers the message boxes and dialogs the
// window opens (a modal loop would otherwise wait for a user).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "app/app_state.h"
#include "app/main_window.h"
#include "engine/path.h"
#include "settings/settings_file.h"
#include "tests/support/temp_dir.h"

// Watches for the next visible "#32770" window of this process (message box or dialog),
// records its caption and every child's text, and presses the given button.
class DialogAnswerer {
public:
    // With `typed`, that text goes into the dialog's first edit box before the button is
    // pressed (a file dialog's name field).
    explicit DialogAnswerer(int buttonId, std::wstring typed = L"") : buttonId_(buttonId), typed_(std::move(typed))
    {
        thread_ = std::thread([this] { Run(); });
    }
    ~DialogAnswerer() { Finish(); }
    // Waits for the watcher to end (it ends by itself after answering or after 10 s).
    void Finish()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
    }
    // Stops after the first answer, or when told to stop (then nothing more is awaited).
    bool answered() const { return answered_; }
    std::wstring caption;
    std::vector<std::wstring> texts;  // children's texts, in Z order
    std::wstring messageText;         // the message box's static (ID 0xFFFF)

private:
    static BOOL CALLBACK FindDialog(HWND window, LPARAM found)
    {
        wchar_t className[16] = {};
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        GetClassNameW(window, className, 16);
        if (pid == GetCurrentProcessId() && IsWindowVisible(window) && wcscmp(className, L"#32770") == 0) {
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        }
        return TRUE;
    }
    static BOOL CALLBACK CollectText(HWND child, LPARAM self)
    {
        wchar_t text[512] = {};
        GetWindowTextW(child, text, 512);
        reinterpret_cast<DialogAnswerer*>(self)->texts.push_back(text);
        return TRUE;
    }
    static BOOL CALLBACK FindEdit(HWND child, LPARAM found)
    {
        wchar_t className[16] = {};
        GetClassNameW(child, className, 16);
        if (_wcsicmp(className, L"Edit") == 0 && IsWindowVisible(child)) {
            *reinterpret_cast<HWND*>(found) = child;
            return FALSE;
        }
        return TRUE;
    }
    void TypeIntoFirstEdit(HWND dialog)
    {
        HWND edit = nullptr;
        EnumChildWindows(dialog, FindEdit, reinterpret_cast<LPARAM>(&edit));
        DWORD_PTR result = 0;
        if (edit)
            SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed_.c_str()), SMTO_BLOCK, 5000,
                                &result);
    }
    void Run()
    {
        // Waits for the dialog unless the test already ended; gives up after 10 s.
        for (int i = 0; i < 500; ++i) {
            HWND dialog = nullptr;
            EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&dialog));
            if (dialog) {
                Sleep(100);  // let WM_INITDIALOG finish before reading and clicking
                wchar_t text[512] = {};
                GetWindowTextW(dialog, text, 512);
                caption = text;
                GetDlgItemTextW(dialog, 0xFFFF, text, 512);
                messageText = text;
                EnumChildWindows(dialog, CollectText, reinterpret_cast<LPARAM>(this));
                if (!typed_.empty())
                    TypeIntoFirstEdit(dialog);
                DWORD_PTR result = 0;
                SendMessageTimeoutW(GetDlgItem(dialog, buttonId_), BM_CLICK, 0, 0, SMTO_BLOCK, 5000, &result);
                answered_ = true;
                return;
            }
            if (stop_ && i > 0)
                return;
            Sleep(20);
        }
    }

    int buttonId_;
    std::wstring typed_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> answered_{false};
    std::thread thread_;
};

class ShellWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        settingsPath_ = folder_ / L"settings.json";
        SetSettingsPathForTest(settingsPath_);
        g_app.settings = DefaultSettings();
        PrepareSettings(g_app.settings);
        HINSTANCE instance = GetModuleHandleW(nullptr);
        InitCommonControls();
        ASSERT_TRUE(RegisterWindowClasses(instance));
        window_ = CreateMainWindow(instance);
        ASSERT_NE(window_, nullptr);
        ShowWindow(window_, SW_SHOWNORMAL);
        g_app.windowReady = true;  // as start-up does right after placing the window
        Pump();
    }

    void TearDown() override
    {
        DestroyMainWindowForTest();
        SetSettingsPathForTest(L"");
    }

    virtual void PrepareSettings(AppSettings&) {}

    static void Pump()
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    void Command(int id, int code = 0, HWND control = nullptr)
    {
        SendMessageW(window_, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
    }
    static void Type(HWND edit, const wchar_t* text) { SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)); }
    static std::wstring Text(HWND window)
    {
        wchar_t buffer[512] = {};
        GetWindowTextW(window, buffer, 512);
        return buffer;
    }
    static void Click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }
    static int Selection(HWND combo) { return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }

    bool SettingsFileExists() const { return GetFileAttributesW(settingsPath_.c_str()) != INVALID_FILE_ATTRIBUTES; }
    void DeleteSettingsFile() const { DeleteFileW(settingsPath_.c_str()); }
    // The settings as a fresh start would load them from the file.
    AppSettings SavedSettings() const
    {
        AppSettings saved = DefaultSettings();
        EXPECT_TRUE(LoadSettings(settingsPath_, saved));
        return saved;
    }

    TempDir folder_{L"op-shell"};
    std::wstring settingsPath_;
    HWND window_ = nullptr;
};
