#pragma once
// What tests compare a list of rows by: the file names, in row order.
#include <string>
#include <vector>

#include "engine/planner.h"

inline std::vector<std::wstring> Names(const FileList& rows)
{
    std::vector<std::wstring> names;
    for (const FileEntry& row : rows) names.push_back(row.name);
    return names;
}
