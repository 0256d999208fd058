#include "settings/settings_io.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/path.h"
#include "settings/settings_file.h"
#include "tests/settings/settings_compare.h"
#include "tests/support/temp_dir.h"

namespace {

// A fresh, empty directory per test, removed with its files afterwards.
class SettingsIoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.created());
        path_ = dir_ / L"settings.json";
    }

    std::vector<std::wstring> Entries() const
    {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((dir_ / L"*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return names;
        do {
            const std::wstring name = data.cFileName;
            if (name != L"." && name != L"..") names.push_back(name);
        } while (FindNextFileW(find, &data));
        FindClose(find);
        return names;
    }

    std::string Contents() const
    {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(path_, bytes));
        return bytes;
    }

    TempDir dir_{L"op_settings"};
    std::wstring path_;
};

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

TEST_F(SettingsIoTest, WriteThenLoadRoundTripsThroughTheFile)
{
    const AppSettings original = UnusualSettings();
    ASSERT_TRUE(WriteSettingsFile(path_, original));
    EXPECT_EQ(Contents(), FormatSettingsText(original));
    AppSettings loaded;
    ASSERT_TRUE(LoadSettings(path_, loaded));
    EXPECT_EQ(SettingsDifference(loaded, original), "");
    EXPECT_EQ(Entries(), std::vector<std::wstring>{L"settings.json"});
}

TEST_F(SettingsIoTest, RewriteReplacesTheWholeFile)
{
    ASSERT_TRUE(WriteSettingsFile(path_, UnusualSettings()));
    ASSERT_TRUE(WriteSettingsFile(path_, DefaultSettings()));
    EXPECT_EQ(Contents(), FormatSettingsText(DefaultSettings()));
    EXPECT_EQ(Entries(), std::vector<std::wstring>{L"settings.json"});
}

TEST_F(SettingsIoTest, MissingFileLoadsNothing)
{
    AppSettings s = UnusualSettings();
    EXPECT_FALSE(LoadSettings(path_, s));
    EXPECT_EQ(SettingsDifference(s, UnusualSettings()), "");
}

TEST_F(SettingsIoTest, MalformedFileLoadsNothing)
{
    ASSERT_TRUE(ReplaceFileContents(path_, "{\"fontPt\": \"13\"}"));
    AppSettings s = UnusualSettings();
    EXPECT_FALSE(LoadSettings(path_, s));
    EXPECT_EQ(SettingsDifference(s, UnusualSettings()), "");
}

TEST_F(SettingsIoTest, OversizedFileIsNotRead)
{
    struct Row {
        LONGLONG size;
        bool read;
    };
    const Row rows[] = {{64LL * 1024 * 1024, true}, {64LL * 1024 * 1024 + 1, false}};
    for (const Row& r : rows) {
        HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        LARGE_INTEGER size{};
        size.QuadPart = r.size;
        ASSERT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && SetEndOfFile(file));
        CloseHandle(file);
        std::string bytes;
        EXPECT_EQ(ReadWholeFile(path_, bytes), r.read) << r.size;
        EXPECT_EQ(static_cast<LONGLONG>(bytes.size()), r.read ? r.size : 0) << r.size;
        AppSettings s = UnusualSettings();
        EXPECT_FALSE(LoadSettings(path_, s)) << r.size;  // zero bytes are no object either
        EXPECT_EQ(SettingsDifference(s, UnusualSettings()), "");
    }
}

TEST_F(SettingsIoTest, WritingIntoMissingDirectoryCreatesNothing)
{
    const std::wstring missing = dir_ / L"absent";
    EXPECT_FALSE(WriteSettingsFile(JoinPath(missing, L"settings.json"), DefaultSettings()));
    EXPECT_FALSE(Exists(missing));
    EXPECT_TRUE(Entries().empty());
}

TEST_F(SettingsIoTest, LockedFileIsLeftIntactAndTemporaryRemoved)
{
    ASSERT_TRUE(WriteSettingsFile(path_, UnusualSettings()));
    const std::string before = Contents();
    HANDLE lock = CreateFileW(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WriteSettingsFile(path_, DefaultSettings()));
    CloseHandle(lock);
    EXPECT_EQ(Contents(), before);
    EXPECT_EQ(Entries(), std::vector<std::wstring>{L"settings.json"});
}

TEST_F(SettingsIoTest, DirectoryInThePlaceOfTheFileIsLeftAlone)
{
    ASSERT_TRUE(CreateDirectoryW(path_.c_str(), nullptr));
    EXPECT_FALSE(WriteSettingsFile(path_, DefaultSettings()));
    EXPECT_NE(GetFileAttributesW(path_.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(Entries(), std::vector<std::wstring>{L"settings.json"});
}

TEST_F(SettingsIoTest, BlockedTemporaryNameFailsWithoutTouchingTheFile)
{
    ASSERT_TRUE(WriteSettingsFile(path_, UnusualSettings()));
    const std::string before = Contents();
    const std::wstring temp = TemporaryPathFor(path_);
    ASSERT_TRUE(CreateDirectoryW(temp.c_str(), nullptr));
    EXPECT_FALSE(WriteSettingsFile(path_, DefaultSettings()));
    EXPECT_EQ(Contents(), before);
    RemoveDirectoryW(temp.c_str());
}

TEST_F(SettingsIoTest, TemporaryFileSitsBesideTheTarget)
{
    const std::wstring temp = TemporaryPathFor(path_);
    EXPECT_EQ(temp.rfind(dir_.path() + L"\\", 0), 0u);
    EXPECT_NE(temp, path_);
}

TEST(SettingsPath, BesideTheExecutable)
{
    const std::wstring dir = GetExeDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_NE(dir.back(), L'\\');
    EXPECT_NE(dir.back(), L'/');
    EXPECT_NE(GetFileAttributesW(dir.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(SettingsFilePath(), dir + L"\\settings.json");
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    EXPECT_EQ(std::wstring(module).rfind(dir + L"\\", 0), 0u);
}
