#pragma once
#include <string>

// Joins a directory and a name: an empty directory gives the name alone; a directory ending
// in '\' or '/' is followed directly by the name; otherwise one '\' goes between them.
std::wstring JoinPath(const std::wstring& directory, const std::wstring& name);
// The same, written into `out` (which must be neither argument), reusing its memory.
void JoinPathInto(std::wstring& out, const std::wstring& directory, const std::wstring& name);
