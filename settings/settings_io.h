#pragma once
// The settings file's only contact with the file system.
#include <string>

// The settings and rules files are never more than a few megabytes: anything larger is not ours.
constexpr long long kMaxSettingsFileBytes = 64LL * 1024 * 1024;

// Reads the whole file. False when it cannot be opened or read, or is larger than `maxBytes`.
bool ReadWholeFile(const std::wstring& path, std::string& bytes, long long maxBytes = kMaxSettingsFileBytes);

// Writes the bytes to a temporary file beside `path`, then replaces `path` with it in one
// step. On any failure the temporary file is removed, `path` is left as it was, and the
// result is false.
bool ReplaceFileContents(const std::wstring& path, const std::string& bytes);

// The temporary file name used by ReplaceFileContents.
std::wstring TemporaryPathFor(const std::wstring& path);
