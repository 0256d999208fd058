#pragma once
// Standard output and error of a program built for the window subsystem: a redirected handle (a
// file, a pipe) is used as it is; otherwise the console the program was started from.
#include <windows.h>

#include <string>

// Attaches to the parent's console for the streams that were not redirected. Call once, first.
void ConnectStandardStreams();

// Text collected as UTF-8 (wide text for a console) and written in large pieces.
class OutputStream {
public:
    explicit OutputStream(DWORD which);  // STD_OUTPUT_HANDLE or STD_ERROR_HANDLE
    ~OutputStream() { Flush(); }
    OutputStream(const OutputStream&) = delete;
    OutputStream& operator=(const OutputStream&) = delete;

    void Write(const std::wstring& text);
    void WriteLine(const std::wstring& text);
    void Flush();

private:
    HANDLE handle_ = nullptr;
    bool console_ = false;
    std::wstring pending_;
};
