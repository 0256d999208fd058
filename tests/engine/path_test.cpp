#include "engine/path.h"

#include <gtest/gtest.h>

TEST(JoinPath, Table)
{
    struct Row {
        const wchar_t* dir;
        const wchar_t* name;
        const wchar_t* expected;
    };
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

TEST(FolderOfAndNameOf, Table)
{
    struct Row {
        const wchar_t* path;
        const wchar_t* folder;
        const wchar_t* name;
    } rows[] = {
        {L"C:\\d\\a.txt", L"C:\\d", L"a.txt"},
        {L"C:\\a.txt", L"C:\\", L"a.txt"},  // the root, not the drive's current folder
        {L"C:/d/a.txt", L"C:/d", L"a.txt"},
        {L"\\\\server\\share\\a", L"\\\\server\\share", L"a"},
        {L"a.txt", L"", L"a.txt"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(FolderOf(row.path), row.folder) << row.path;
        EXPECT_EQ(NameOf(row.path), row.name) << row.path;
    }
}

TEST(ExtendedPath, Table)
{
    struct Row {
        const wchar_t* full;
        const wchar_t* expected;
    };
    const Row rows[] = {
        {L"C:\\x\\a.", L"\\\\?\\C:\\x\\a."},
        {L"\\\\server\\share\\a ", L"\\\\?\\UNC\\server\\share\\a "},
        {L"\\\\?\\C:\\x", L"\\\\?\\C:\\x"},  // already exact
        {L"\\\\.\\COM1", L"\\\\.\\COM1"},    // a device path is left to its owner
        {L"", L""},
    };
    for (const Row& r : rows) EXPECT_EQ(ExtendedPath(r.full), r.expected) << r.full;
}

TEST(IsDeviceName, Table)
{
    for (const wchar_t* name :
         {L"NUL", L"con", L"CON.txt", L"aux .log", L"Com1", L"lpt9.x.y", L"COM\u00b9", L"CONOUT$"})
        EXPECT_TRUE(IsDeviceName(name)) << name;
    for (const wchar_t* name : {L"NULL", L"xNUL", L"COM0", L"COM10", L"LPT", L"CONx.txt", L".nul", L""})
        EXPECT_FALSE(IsDeviceName(name)) << name;
}
