#pragma once
// The real main window over a real temporary input folder, numbering its rows with a
// three-digit prefix so every file gets a new name.
#include <string>
#include <vector>

#include "tests/support/file_rows.h"
#include "tests/support/main_window_fixture.h"

class FilesWindowTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        PrepareFiles();
        OpenMainWindow();
    }
    void FixtureSettings(AppSettings& settings) override
    {
        settings.autoSave = false;
        settings.inputDir = input_.path();
        settings.rules.prefix.type = SequenceType::Numbers;
        settings.rules.prefix.pad = 3;
        settings.rules.prefix.sep = L"";
    }

    // The input folder's files before the window scans it at creation.
    virtual void PrepareFiles() {}

    void Refresh() { Command(40001); }
    void SetInputDir(const std::wstring& path)
    {
        Type(g_app.inputEdit, path.c_str());
        Refresh();
    }
    void Process() { Command(1080, BN_CLICKED, g_app.processButton); }

    static std::vector<std::wstring> Names() { return ::Names(g_app.files); }

    TempDir input_;
};
