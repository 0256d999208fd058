#include "cli/arguments.h"

#include <windows.h>
#include <shellapi.h>

namespace {

struct ModeName {
    const wchar_t* name;
    ProcessMode mode;
};
constexpr ModeName kModes[] = {
    {L"rename", ProcessMode::RenameInPlace},
    {L"copy", ProcessMode::CopyAndRename},
    {L"move", ProcessMode::MoveAndRename},
};

bool IsOption(const std::wstring& argument)
{
    return argument.size() >= 2 && argument[0] == L'-' && argument[1] == L'-';
}

bool ParseMode(const std::wstring& text, ProcessMode& mode)
{
    for (const ModeName& row : kModes) {
        if (text == row.name) {
            mode = row.mode;
            return true;
        }
    }
    return false;
}

// Everything given is consistent: a rules file, one folder, an output exactly for copy and move.
bool CheckComplete(const CommandLineOptions& options, std::wstring& error)
{
    if (options.rulesFile.empty()) {
        error = L"--rules FILE is required (see --help).";
    } else if (options.folder.empty()) {
        error = L"The folder to work in is missing (see --help).";
    } else if (options.mode != ProcessMode::RenameInPlace && options.outputDir.empty()) {
        error = L"--mode copy and --mode move need --output DIR.";
    } else if (options.mode == ProcessMode::RenameInPlace && !options.outputDir.empty()) {
        error = L"--output is for --mode copy or move; rename works in place.";
    }
    return error.empty();
}

}  // namespace

std::vector<std::wstring> SplitCommandLine(const wchar_t* commandLine)
{
    std::vector<std::wstring> arguments;
    int count = 0;
    LPWSTR* args = commandLine && *commandLine ? CommandLineToArgvW(commandLine, &count) : nullptr;
    for (int i = 1; args && i < count; ++i) {
        std::wstring argument = args[i];
        // "D:\" arrives as D:" (the backslash escapes the closing quote); no name holds a quote.
        if (!argument.empty() && argument.back() == L'"') argument.back() = L'\\';
        arguments.push_back(std::move(argument));
    }
    if (args) LocalFree(args);
    return arguments;
}

bool WantsCommandLineRun(const std::vector<std::wstring>& arguments)
{
    return !arguments.empty() && IsOption(arguments.front());
}

bool ParseArguments(const std::vector<std::wstring>& arguments, CommandLineOptions& options, std::wstring& error)
{
    options = CommandLineOptions();
    error.clear();
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        const bool takesValue = argument == L"--rules" || argument == L"--mode" || argument == L"--output";
        if (takesValue && (i + 1 == arguments.size() || arguments[i + 1].empty())) {
            error = argument + L" needs a value (see --help).";
            return false;
        }
        if (argument == L"--help") {
            options.help = true;
        } else if (argument == L"--apply") {
            options.apply = true;
        } else if (argument == L"--rules") {
            options.rulesFile = arguments[++i];
        } else if (argument == L"--output") {
            options.outputDir = arguments[++i];
        } else if (argument == L"--mode") {
            if (!ParseMode(arguments[++i], options.mode)) {
                error = L"--mode takes rename, copy or move, not \"" + arguments[i] + L"\".";
                return false;
            }
        } else if (IsOption(argument)) {
            error = L"Unknown option " + argument + L" (see --help).";
            return false;
        } else if (!options.folder.empty()) {
            error = L"Only one folder can be given: \"" + argument + L"\" is a second one.";
            return false;
        } else {
            options.folder = argument;
        }
    }
    return options.help || CheckComplete(options, error);
}

std::wstring UsageText()
{
    return L"Usage: OrvanePallisto.exe --rules FILE [--mode rename|copy|move] [--output DIR] [--apply] FOLDER\n"
           L"\n"
           L"Applies the rules of a rules file (File > Save Rules As... in the window) to the files of FOLDER.\n"
           L"Without --apply it only shows the preview, one line per file (original name, new name, status,\n"
           L"separated by tabs), then the counts line. With --apply it processes the Ready files, never\n"
           L"overwriting anything, and prints one line per file with its outcome, then the summary.\n"
           L"\n"
           L"  --rules FILE    the rules file (*.oprules)\n"
           L"  --mode MODE     rename in place (the default), copy or move into --output\n"
           L"  --output DIR    the output directory of copy and move (created when missing, one level)\n"
           L"  --apply         process the files; without it nothing on disk changes\n"
           L"  --help          this text\n"
           L"\n"
           L"Exit codes: 0 done (no conflict in a preview, no failure when applying), 1 wrong arguments or a\n"
           L"missing folder or rules file, 2 a preview with conflicts, 3 files that failed or a stopped batch.\n";
}
