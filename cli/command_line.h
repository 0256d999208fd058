#pragma once
// The program without a window: a preview or a batch from a rules file, for scripts. It reads no
// settings file and leaves a running window alone.

// Whether the command line asks for it (its first argument is an option such as --rules).
bool IsCommandLineRun(const wchar_t* commandLine);
// Runs it and returns the exit code: 0 done, 1 wrong arguments or a missing folder or rules
// file, 2 a preview with conflicts, 3 an applied batch with failures (or stopped).
int RunCommandLine(const wchar_t* commandLine);
