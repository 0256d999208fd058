#pragma once
// Everything the program remembers between runs, in the order of the settings file.
#include <cstdint>
#include <string>

#include "engine/planner.h"
#include "engine/rename_rules.h"

struct AppSettings {
    std::wstring inputDir;
    std::wstring outputDir;
    bool sameAsInput = true;
    ProcessMode mode = ProcessMode::RenameInPlace;
    RenameRules rules;  // keys "prefixType" ... "newExt", held in place
    bool darkTheme = false;
    int32_t fontPt = 9;
    bool autoSave = true;
    bool hasWindowPos = false;
    int32_t winX = INT32_MIN;  // CW_USEDEFAULT
    int32_t winY = INT32_MIN;
    int32_t winW = 1180;
    int32_t winH = 760;
    int32_t showCmd = 1;
    bool winMaximized = false;
    int32_t colOrig0 = 0, colOrig1 = 0, colOrig2 = 0;
    int32_t colNew0 = 0, colNew1 = 0, colNew2 = 0;
    int32_t splitPct = 50;
    std::wstring fileFilter;  // "*.jpg; IMG_*": which of the scanned files are rows (empty: all)
    // rules.searchRegex is stored next, under "searchRegex".
    bool renameWithinBatch = false;  // targets freed by the batch itself; case-only renames
    int32_t colOrig3 = 0;  // the original-names list's "Modified" column
};

inline PlanInput MakePlanInput(const AppSettings& s)
{
    return PlanInput{s.mode, s.sameAsInput, &s.inputDir, &s.outputDir, &s.rules, s.renameWithinBatch};
}

inline void PlanPreview(FileList& list, const AppSettings& s, PathExistsFn exists = FileSystemPathExists)
{
    PlanPreview(list, MakePlanInput(s), exists);
}

inline void PlanPreview(FileList& list, const AppSettings& s, const TargetsExistFn& exists)
{
    PlanPreview(list, MakePlanInput(s), exists);
}
