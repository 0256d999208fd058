#pragma once
// A real, uniquely named folder under the temp directory, removed with everything in it.
#include <windows.h>

#include <string>

class TempDir {
public:
    TempDir()
    {
        static unsigned counter = 0;
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        path_ = std::wstring(base) + L"op_files_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                std::to_wstring(GetTickCount64()) + L"_" + std::to_wstring(++counter);
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TempDir() { RemoveTree(path_); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

    // Writes `contents` (bytes) to a new file of this folder; returns its full path.
    std::wstring Write(const std::wstring& name, const std::string& contents, DWORD attributes = 0) const
    {
        const std::wstring full = *this / name;
        WriteFileBytes(full, contents);
        if (attributes) SetFileAttributesW(full.c_str(), attributes);
        return full;
    }
    std::wstring MakeDir(const std::wstring& name) const
    {
        const std::wstring full = *this / name;
        CreateDirectoryW(full.c_str(), nullptr);
        return full;
    }

    static void WriteFileBytes(const std::wstring& path, const std::string& contents)
    {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return;
        DWORD written = 0;
        WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
        CloseHandle(file);
    }
    // The file's bytes, or "<missing>" when it cannot be read.
    static std::string ReadFileBytes(const std::wstring& path)
    {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return "<missing>";
        std::string contents;
        char buffer[4096];
        DWORD read = 0;
        while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) contents.append(buffer, read);
        CloseHandle(file);
        return contents;
    }
    static bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    static void RemoveTree(const std::wstring& path)
    {
        WIN32_FIND_DATAW data = {};
        HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = data.cFileName;
                if (name == L"." || name == L"..") continue;
                const std::wstring full = path + L"\\" + name;
                SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTree(full);
                } else {
                    DeleteFileW(full.c_str());
                }
            } while (FindNextFileW(find, &data));
            FindClose(find);
        }
        RemoveDirectoryW(path.c_str());
    }

private:
    std::wstring path_;
};
