#include "cli/console_output.h"

#include <algorithm>
#include <string>

#include "settings/json_text.h"

namespace {

// Pieces of about this many units go out at once.
constexpr size_t kFlushUnits = 64 * 1024;

bool Usable(HANDLE handle)
{
    return handle && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

bool IsConsole(HANDLE handle)
{
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != FALSE;
}

void WriteBytes(HANDLE handle, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        if (!WriteFile(handle, bytes.data() + done, chunk, &written, nullptr) || written == 0) return;  // a closed pipe
        done += written;
    }
}

void WriteConsoleText(HANDLE handle, const std::wstring& text)
{
    size_t done = 0;
    while (done < text.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 8192));
        if (!WriteConsoleW(handle, text.data() + done, chunk, &written, nullptr) || written == 0) return;
        done += written;
    }
}

}  // namespace

void ConnectStandardStreams()
{
    const DWORD streams[] = {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    bool attached = false;
    for (const DWORD which : streams) {
        if (Usable(GetStdHandle(which))) continue;
        if (!attached && !AttachConsole(ATTACH_PARENT_PROCESS)) return;  // started without a console
        attached = true;
        HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
        if (console != INVALID_HANDLE_VALUE) SetStdHandle(which, console);
    }
}

OutputStream::OutputStream(DWORD which) : handle_(GetStdHandle(which))
{
    if (!Usable(handle_)) handle_ = nullptr;
    console_ = handle_ && IsConsole(handle_);
}

void OutputStream::Write(const std::wstring& text)
{
    pending_ += text;
    if (pending_.size() >= kFlushUnits) Flush();
}

void OutputStream::WriteLine(const std::wstring& text)
{
    pending_ += text;
    pending_ += L"\r\n";
    if (pending_.size() >= kFlushUnits) Flush();
}

void OutputStream::Flush()
{
    if (handle_ && !pending_.empty()) {
        if (console_)
            WriteConsoleText(handle_, pending_);
        else
            WriteBytes(handle_, Utf16ToUtf8(pending_));
    }
    pending_.clear();
}
