#pragma once
// Finds top-level windows by process and class, and answers the message boxes and dialogs a
// test makes the main window open: the main thread sits in the box's modal loop meanwhile, so a
// thread of the test finds the "#32770" window and presses a button, as a user would.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace detail {
struct TopWindowSearch {
    DWORD pid;
    const wchar_t* className;
    bool visibleOnly;
    HWND found;
};
inline BOOL CALLBACK MatchTopWindow(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<TopWindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (pid == search->pid && (!search->visibleOnly || IsWindowVisible(window)) &&
        wcscmp(className, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
}  // namespace detail

// The first top-level window of process `pid` with the class `className`, or null.
inline HWND FindTopWindow(DWORD pid, const wchar_t* className, bool visibleOnly)
{
    detail::TopWindowSearch search{pid, className, visibleOnly, nullptr};
    EnumWindows(detail::MatchTopWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The first visible message box or dialog of this process, or null.
inline HWND FindOwnDialog()
{
    return FindTopWindow(GetCurrentProcessId(), L"#32770", true);
}

inline std::wstring WindowTextOf(HWND window)
{
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

// A message box's text: its static control has the ID 0xFFFF.
inline std::wstring MessageBoxText(HWND box)
{
    wchar_t text[1024] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 1024);
    return text;
}

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
        if (thread_.joinable()) thread_.join();
    }
    // Stops after the first answer, or when told to stop (then nothing more is awaited).
    bool answered() const { return answered_; }
    std::wstring caption;
    std::vector<std::wstring> texts;  // children's texts, in Z order
    std::wstring messageText;         // the message box's static (ID 0xFFFF)

private:
    static BOOL CALLBACK CollectText(HWND child, LPARAM self)
    {
        reinterpret_cast<DialogAnswerer*>(self)->texts.push_back(WindowTextOf(child));
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
    static HWND FirstEdit(HWND dialog)
    {
        HWND edit = nullptr;
        EnumChildWindows(dialog, FindEdit, reinterpret_cast<LPARAM>(&edit));
        return edit;
    }
    // The dialog has set itself up: the button to press, and the edit to type into, are shown.
    bool Ready(HWND dialog) const
    {
        HWND button = GetDlgItem(dialog, buttonId_);
        return button && IsWindowVisible(button) && (typed_.empty() || FirstEdit(dialog));
    }
    void TypeIntoFirstEdit(HWND dialog)
    {
        HWND edit = FirstEdit(dialog);
        DWORD_PTR result = 0;
        if (edit)
            SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed_.c_str()), SMTO_BLOCK, 5000,
                                &result);
    }
    void Run()
    {
        // Waits for the dialog unless the test already ended; gives up after 10 s.
        for (int i = 0; i < 500; ++i) {
            HWND dialog = FindOwnDialog();
            if (dialog && Ready(dialog)) {
                caption = WindowTextOf(dialog);
                messageText = MessageBoxText(dialog);
                EnumChildWindows(dialog, CollectText, reinterpret_cast<LPARAM>(this));
                if (!typed_.empty()) TypeIntoFirstEdit(dialog);
                DWORD_PTR result = 0;
                SendMessageTimeoutW(GetDlgItem(dialog, buttonId_), BM_CLICK, 0, 0, SMTO_BLOCK, 5000, &result);
                answered_ = true;
                return;
            }
            if (stop_ && i > 0) return;
            Sleep(20);
        }
    }

    int buttonId_;
    std::wstring typed_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> answered_{false};
    std::thread thread_;
};

// One message box as the user saw it.
struct SeenBox {
    std::wstring caption;
    std::wstring text;
    bool hasYesNo = false;
};

// Answers every message box of this process while it lives. Answers are used in order; once
// they run out, a Yes/No box gets No and any other box its OK.
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

private:
    void Run()
    {
        HWND answered = nullptr;
        while (!stop_) {
            Sleep(10);
            HWND box = FindOwnDialog();
            if (!box || (box == answered && IsWindow(answered))) continue;
            Answer(box);
            answered = box;
        }
    }

    void Answer(HWND box)
    {
        SeenBox seen;
        seen.caption = WindowTextOf(box);
        seen.text = MessageBoxText(box);
        seen.hasYesNo = GetDlgItem(box, IDYES) != nullptr;
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
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
