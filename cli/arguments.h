#pragma once
// The command line of a run without a window:
//   OrvanePallisto.exe --rules FILE [--mode rename|copy|move] [--output DIR] [--apply] FOLDER
#include <string>
#include <vector>

#include "engine/planner.h"

struct CommandLineOptions {
    bool help = false;
    bool apply = false;
    ProcessMode mode = ProcessMode::RenameInPlace;
    std::wstring rulesFile;
    std::wstring outputDir;  // as given; copy and move only
    std::wstring folder;     // as given
};

// The arguments after the program's name.
std::vector<std::wstring> SplitCommandLine(const wchar_t* commandLine);
// Whether the arguments ask for the run without a window: the first one is an option ("--...").
// A plain folder argument opens the window on it.
bool WantsCommandLineRun(const std::vector<std::wstring>& arguments);
// False with one line saying what is wrong.
bool ParseArguments(const std::vector<std::wstring>& arguments, CommandLineOptions& options, std::wstring& error);
// What --help prints.
std::wstring UsageText();
