#pragma once
// Field-by-field comparison of two settings records, written out by hand so that a key
// table row pointing at the wrong field shows up as a difference.
#include <string>

#include "settings/app_settings.h"

inline std::string SettingsDifference(const AppSettings& a, const AppSettings& b)
{
    std::string diff;
    auto check = [&diff](bool same, const char* name) {
        if (!same) diff += std::string(diff.empty() ? "" : ",") + name;
    };
    const RenameRules& r = a.rules;
    const RenameRules& q = b.rules;
    check(a.inputDir == b.inputDir, "inputDir");
    check(a.outputDir == b.outputDir, "outputDir");
    check(a.sameAsInput == b.sameAsInput, "sameAsInput");
    check(a.mode == b.mode, "mode");
    check(r.prefix.type == q.prefix.type, "prefixType");
    check(r.prefix.start == q.prefix.start, "prefixStart");
    check(r.prefix.step == q.prefix.step, "prefixStep");
    check(r.prefix.pad == q.prefix.pad, "prefixPad");
    check(r.prefix.sep == q.prefix.sep, "prefixSep");
    check(r.replaceEntireName == q.replaceEntireName, "replaceEntireName");
    check(r.replaceName == q.replaceName, "replaceName");
    check(r.suffix.type == q.suffix.type, "suffixType");
    check(r.suffix.start == q.suffix.start, "suffixStart");
    check(r.suffix.step == q.suffix.step, "suffixStep");
    check(r.suffix.pad == q.suffix.pad, "suffixPad");
    check(r.suffix.sep == q.suffix.sep, "suffixSep");
    check(r.search == q.search, "search");
    check(r.replace == q.replace, "replace");
    check(r.removeChars == q.removeChars, "removeChars");
    check(r.caseMode == q.caseMode, "caseMode");
    check(r.extMode == q.extMode, "extMode");
    check(r.newExt == q.newExt, "newExt");
    check(a.darkTheme == b.darkTheme, "darkTheme");
    check(a.fontPt == b.fontPt, "fontPt");
    check(a.autoSave == b.autoSave, "autoSave");
    check(a.hasWindowPos == b.hasWindowPos, "hasWindowPos");
    check(a.winX == b.winX, "winX");
    check(a.winY == b.winY, "winY");
    check(a.winW == b.winW, "winW");
    check(a.winH == b.winH, "winH");
    check(a.showCmd == b.showCmd, "showCmd");
    check(a.winMaximized == b.winMaximized, "winMaximized");
    check(a.colOrig0 == b.colOrig0, "colOrig0");
    check(a.colOrig1 == b.colOrig1, "colOrig1");
    check(a.colOrig2 == b.colOrig2, "colOrig2");
    check(a.colNew0 == b.colNew0, "colNew0");
    check(a.colNew1 == b.colNew1, "colNew1");
    check(a.colNew2 == b.colNew2, "colNew2");
    check(a.splitPct == b.splitPct, "splitPct");
    check(a.fileFilter == b.fileFilter, "fileFilter");
    check(r.searchRegex == q.searchRegex, "searchRegex");
    check(a.renameWithinBatch == b.renameWithinBatch, "renameWithinBatch");
    check(a.colOrig3 == b.colOrig3, "colOrig3");
    return diff;
}

// Every field away from its default and in range, no two numbers alike, with strings that
// need escaping or are not ASCII.
inline AppSettings UnusualSettings()
{
    AppSettings s;
    s.inputDir = L"C:\\Users\\J\u00f6rg\\\u65e5\u672c \"quoted\"";
    s.outputDir = L"D:/out/\U0001F600/tab\there";
    s.sameAsInput = false;
    s.mode = ProcessMode::MoveAndRename;
    s.rules.prefix = {SequenceType::Letters, -999999, 100000, 10, L"\x01-\x1f-\x7f"};
    s.rules.replaceEntireName = true;
    s.rules.replaceName = L"line1\nline2\r\n";
    s.rules.suffix = {SequenceType::DateTimeTaken, 999999, 7, 4, L"\\\\server\\"};
    s.rules.search = L"/slash/ and \\u0041 literally";
    s.rules.replace = L"\u00e9\u00e8\u20ac";
    s.rules.removeChars = L"{}[]:,\"";
    s.rules.caseMode = CaseMode::Title;
    s.rules.extMode = ExtMode::Change;
    s.rules.newExt = L".t\u00e4r";
    s.darkTheme = true;
    s.fontPt = 15;
    s.autoSave = false;
    s.hasWindowPos = true;
    s.winX = -1234;
    s.winY = 2147483647;
    s.winW = 20000;
    s.winH = 481;
    s.showCmd = 3;
    s.winMaximized = true;
    s.colOrig0 = 11;
    s.colOrig1 = 12;
    s.colOrig2 = 13;
    s.colNew0 = 14;
    s.colNew1 = 15;
    s.colNew2 = 5000;
    s.splitPct = 21;
    s.fileFilter = L"*.jpg; IMG_?\u00e9*";
    s.rules.searchRegex = true;
    s.renameWithinBatch = true;
    s.colOrig3 = 16;
    return s;
}
