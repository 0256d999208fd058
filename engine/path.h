#pragma once
#include <string>

// Joins a directory and a name: an empty directory gives the name alone; a directory ending
// in '\' or '/' is followed directly by the name; otherwise one '\' goes between them.
std::wstring JoinPath(const std::wstring& directory, const std::wstring& name);
// The same, written into `out` (which must be neither argument), reusing its memory.
void JoinPathInto(std::wstring& out, const std::wstring& directory, const std::wstring& name);

// The folder a path lies in: "C:\d\a.txt" -> "C:\d", "C:\a.txt" -> "C:\" (not "C:", which is
// the drive's current folder); empty for a bare name.
std::wstring FolderOf(const std::wstring& path);
// The last part of a path (a file's name); the path itself when it has no folder.
std::wstring NameOf(const std::wstring& path);

// The output directory as the batch uses it: a relative one is a folder of the input
// directory (never of the program's current directory).
std::wstring ResolveOutputDirectory(const std::wstring& inputDir, const std::wstring& outputDir);

// A full path ("C:\..." or "\\server\share\...") in the form that the system takes literally:
// "\\?\C:\..." or "\\?\UNC\server\share\...". Paths already in that form, device paths
// ("\\.\") and empty text come back unchanged.
std::wstring ExtendedPath(const std::wstring& fullPath);
// True for names the system takes as a device in any folder when the path is plain:
// "NUL", "con.txt", "COM1 .log" and the like.
bool IsDeviceName(const std::wstring& name);

// The full form of a path (GetFullPathNameW), or the path itself when the system cannot make it.
std::wstring FullPathOf(const std::wstring& path);
// These two ask the system (GetFullPathNameW); empty on failure.
// The extended form of a directory's full path.
std::wstring ExtendedDirectory(const std::wstring& directory);
// The extended form of a file path: its folder made full, its last name kept exactly, so a
// trailing dot or space is never stripped.
std::wstring ExtendedFilePath(const std::wstring& path);
