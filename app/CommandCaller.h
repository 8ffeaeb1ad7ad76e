// The calling end of the command line: glimra.exe started with arguments. It
// reads them, and for --help or a mistake writes to the console it was started
// from. Otherwise it hands the command to the running copy (starting one when
// none runs), waits for the answer and gives it as its own: the text on the
// console, the exit code as the process's.
#pragma once

#include <string>
#include <vector>

// The argument that marks a copy started by this code to take a command: it
// serves as any copy does, and ends once a command with --no-window is done.
inline constexpr const char* kStartedForCommand = "--started-for-command";

// The arguments of this process (without the program's name), as UTF-8.
std::vector<std::string> ProgramArguments();

// Runs the command line; returns the process's exit code.
int CallWithCommandLine(const std::vector<std::string>& args);
