// The planner's one contact with the file system, kept apart so the rest of the engine
// needs no <windows.h>.
#include <windows.h>

#include "engine/planner.h"

bool FileSystemPathExists(const std::wstring& path)
{
    // Any failure (missing, access denied, a path the call cannot handle) counts as absent:
    // the row stays Ready and the real error shows when the file is processed.
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
