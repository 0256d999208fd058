// Renames within the batch in the planner and the engine's order of moves.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/batch_order.h"
#include "engine/planner.h"
#include "engine/wide_char.h"
#include "tests/support/file_rows.h"

namespace {

const std::wstring kDir = L"C:\\in";
std::vector<std::wstring> g_onDisk;  // full paths, compared as Wine does: ignoring case

bool OnDisk(const std::wstring& path)
{
    return std::any_of(g_onDisk.begin(), g_onDisk.end(),
                       [&](const std::wstring& p) { return EqualIgnoringCase(p, path); });
}

// Rows named by the list; every row's new name is its 1-based position plus its extension
// (lower-cased), so the list order decides who moves where. `unlisted` files exist too.
std::wstring Statuses(std::vector<const wchar_t*> listed, std::vector<const wchar_t*> unlisted, bool within)
{
    FileList list;
    g_onDisk.clear();
    for (const wchar_t* name : listed) {
        list.push_back(FileRow(kDir, name));
        g_onDisk.push_back(list.back().sourcePath);
    }
    for (const wchar_t* name : unlisted) g_onDisk.push_back(kDir + L"\\" + name);
    RenameRules rules;
    // Letters in the names: every row gets one name, so the rows are duplicates.
    const bool numbered = std::wstring(listed.front()).find_first_of(L"ab") == std::wstring::npos;
    rules.prefix = {numbered ? SequenceType::Numbers : SequenceType::None, 1, 1, 1, L""};
    rules.replaceEntireName = true;
    rules.replaceName = numbered ? L"" : L"same";
    rules.extMode = ExtMode::Lowercase;
    PlanPreview(list, PlanInput{ProcessMode::RenameInPlace, true, &kDir, &kDir, &rules, within}, OnDisk);
    std::wstring text;
    for (const FileEntry& row : list) text += (text.empty() ? L"" : L",") + row.statusText;
    return text;
}

}  // namespace

TEST(WithinBatch, PlannerJudgesTargetsAgainstTheFolderAfterTheBatch)
{
    struct Case {
        const char* what;
        std::vector<const wchar_t*> listed, unlisted;
        const wchar_t* off;
        const wchar_t* on;
    };
    const Case cases[] = {
        {"shift n -> n+1",
         {L"0.txt", L"1.txt", L"2.txt"},
         {},
         L"Already exists,Already exists,Ready",
         L"Ready,Ready,Ready"},
        {"swap", {L"2.txt", L"1.txt"}, {}, L"Already exists,Already exists", L"Ready,Ready"},
        {"rotation",
         {L"2.txt", L"3.txt", L"1.txt"},
         {},
         L"Already exists,Already exists,Already exists",
         L"Ready,Ready,Ready"},
        {"case only", {L"1.TXT", L"2.txt"}, {}, L"Unchanged,Unchanged", L"Ready,Unchanged"},
        {"chain blocked by a file not listed",
         {L"0.txt", L"1.txt", L"2.txt"},
         {L"3.txt"},
         L"Already exists,Already exists,Already exists",
         L"Already exists,Already exists,Already exists"},
        {"chain waiting for a row in conflict",
         {L"0.txt", L"1.txt", L"9.txt", L"2.txt"},
         {L"4.txt"},
         L"Already exists,Already exists,Ready,Already exists",
         L"Already exists,Already exists,Ready,Already exists"},
        {"chain on a free end, beside a blocked row",
         {L"0.txt", L"1.txt", L"9.txt"},
         {L"3.txt"},
         L"Already exists,Ready,Already exists",
         L"Ready,Ready,Already exists"},
        {"duplicates stay duplicates",
         {L"a.txt", L"b.txt"},
         {},
         L"Duplicate target,Duplicate target",
         L"Duplicate target,Duplicate target"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Statuses(c.listed, c.unlisted, false), c.off);
        EXPECT_EQ(Statuses(c.listed, c.unlisted, true), c.on);
    }
}

namespace {

// The order as text: a chain step "a>b", a unit through a temporary name in brackets.
std::wstring OrderText(const std::vector<std::pair<const wchar_t*, const wchar_t*>>& moves)
{
    std::vector<std::wstring> from, to;
    for (const auto& [a, b] : moves) {
        from.push_back(kDir + L"\\" + a);
        to.push_back(kDir + L"\\" + b);
    }
    std::vector<const std::wstring*> f, t;
    for (size_t i = 0; i < from.size(); ++i) {
        f.push_back(&from[i]);
        t.push_back(&to[i]);
    }
    const MoveOrder order = OrderMoves(f, t, L"id");
    std::wstring text;
    for (const MoveUnit& unit : order.units) {
        std::wstring part;
        for (uint32_t k = unit.first; k < unit.first + unit.count; ++k) {
            part += (part.empty() ? L"" : L" ") + std::wstring(moves[order.moves[k]].first) + L">" +
                    moves[order.moves[k]].second;
        }
        if (unit.viaTemp) part = L"[" + part + L" via " + unit.temp.substr(kDir.size() + 1) + L"]";
        text += (text.empty() ? L"" : L" | ") + part;
    }
    return text;
}

}  // namespace

TEST(WithinBatch, OrderRunsChainsFromTheFreeEndAndCyclesThroughOneTemporaryName)
{
    EXPECT_EQ(OrderText({{L"1", L"2"}, {L"2", L"3"}, {L"3", L"4"}}), L"3>4 | 2>3 | 1>2");
    EXPECT_EQ(OrderText({{L"a", L"b"}, {L"b", L"a"}, {L"c", L"d"}}), L"c>d | [a>b b>a via ~op-id-1.tmp]");
    EXPECT_EQ(OrderText({{L"a", L"b"}, {L"b", L"c"}, {L"c", L"a"}}), L"[a>b c>a b>c via ~op-id-1.tmp]");
    EXPECT_EQ(OrderText({{L"A.JPG", L"a.jpg"}, {L"B.JPG", L"b.jpg"}}),
              L"[A.JPG>a.jpg via ~op-id-1.tmp] | [B.JPG>b.jpg via ~op-id-2.tmp]");
}
