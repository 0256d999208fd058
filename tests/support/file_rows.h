#pragma once
// Rows as a scan makes them, and what tests compare a list of rows by: the file names, in row
// order.
#include <string>
#include <vector>

#include "engine/path.h"
#include "engine/planner.h"
#include "engine/rename_rules.h"

inline FileEntry FileRow(const std::wstring& directory, const std::wstring& name,
                         ItemStatus status = ItemStatus::Ready)
{
    FileEntry row;
    row.name = name;
    row.directory = directory;
    row.sourcePath = JoinPath(directory, name);
    row.extension = SplitExtension(name).extension;
    row.status = status;
    return row;
}

inline std::vector<std::wstring> Names(const FileList& rows)
{
    std::vector<std::wstring> names;
    for (const FileEntry& row : rows) names.push_back(row.name);
    return names;
}
