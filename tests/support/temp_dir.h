#pragma once
// A real, uniquely named folder under the temp directory, removed with everything in it, and
// the small file helpers the tests use on it.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

class TempDir {
public:
    // The tag starts the folder's name, so a leftover folder says which test made it.
    explicit TempDir(const std::wstring& tag = L"op_files")
    {
        static unsigned counter = 0;
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        path_ = std::wstring(base) + tag + L"_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                std::to_wstring(GetTickCount64()) + L"_" + std::to_wstring(++counter);
        created_ = CreateDirectoryW(path_.c_str(), nullptr) != FALSE;
    }
    ~TempDir() { RemoveTree(path_); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::wstring& path() const { return path_; }
    // False when the folder already existed or could not be made.
    bool created() const { return created_; }
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
        HANDLE file =
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return;
        DWORD written = 0;
        WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
        CloseHandle(file);
    }
    // The file's bytes, or "<missing>" when it cannot be read (another's open handle does not stop it).
    static std::string ReadFileBytes(const std::wstring& path)
    {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
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
    bool created_ = false;
};

// Holds a file open for the life of the object; `share` 0 refuses every other use of it, the way
// another program locks a file (permissions would not stop tests that run as root).
struct HeldOpen {
    HANDLE handle;
    explicit HeldOpen(const std::wstring& path, DWORD share = 0)
        : handle(CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr))
    {
    }
    ~HeldOpen()
    {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
    HeldOpen(const HeldOpen&) = delete;
    HeldOpen& operator=(const HeldOpen&) = delete;
};
// How the status of a row whose file was held open begins.
inline const std::wstring kLocked = L"Locked or in use \u2014 skipped. ";

// Lines of a text, a last line without its line break counted too.
inline int CountLines(const std::string& text)
{
    int lines = 0;
    for (char c : text) lines += c == '\n';
    if (!text.empty() && text.back() != '\n') ++lines;
    return lines;
}

// The exact names of a folder's files (not its folders), in the order the folder lists them.
inline std::vector<std::wstring> FileNames(const TempDir& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data = {};
    HANDLE find = FindFirstFileW((folder / L"*").c_str(), &data);
    for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &data)) {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
    }
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
    return names;
}

// "name=bytes" of every file in a folder, by exact name, sorted.
inline std::vector<std::string> Contents(const TempDir& folder)
{
    std::vector<std::string> files;
    for (const std::wstring& name : FileNames(folder))
        files.push_back(std::string(name.begin(), name.end()) + "=" + TempDir::ReadFileBytes(folder / name));
    std::sort(files.begin(), files.end());
    return files;
}
