#include "engine/path.h"

#include <gtest/gtest.h>

TEST(JoinPath, Table)
{
    struct Row { const wchar_t* dir; const wchar_t* name; const wchar_t* expected; };
    const Row rows[] = {
        {L"", L"a.txt", L"a.txt"},
        {L"C:\\x", L"a.txt", L"C:\\x\\a.txt"},
        {L"C:\\x\\", L"a.txt", L"C:\\x\\a.txt"},
        {L"C:/x/", L"a.txt", L"C:/x/a.txt"},
        {L"C:", L"a.txt", L"C:\\a.txt"},
        {L"dir", L"", L"dir\\"},
        {L"a\\..\\b", L"c", L"a\\..\\b\\c"},
    };
    for (const Row& r : rows) EXPECT_EQ(JoinPath(r.dir, r.name), r.expected) << r.dir << L"|" << r.name;
}
