#pragma once
// The settings file's only contact with the file system.
#include <string>

// Reads the whole file. False when it cannot be opened or read, or is implausibly large.
bool ReadWholeFile(const std::wstring& path, std::string& bytes);

// Writes the bytes to a temporary file beside `path`, then replaces `path` with it in one
// step. On any failure the temporary file is removed, `path` is left as it was, and the
// result is false.
bool ReplaceFileContents(const std::wstring& path, const std::string& bytes);

// The temporary file name used by ReplaceFileContents.
std::wstring TemporaryPathFor(const std::wstring& path);
