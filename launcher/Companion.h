// LaunchCompanion, RunCommandLine: starting the companion programs (KivProp.kxe, KivRen.kxe,
// KivAbout.kxe) beside the main program with a fixed command line, without waiting for them.
#pragma once
#include <string>
#include <vector>

// The command line for the program file and its arguments: a text holding a space (0x20) is put
// in double quotes, nothing inside a text is escaped, every text is followed by one space.
std::string BuildCommandLine(const std::vector<std::string>& texts);

// Starts a process on the command line (program found beside the running program first, then in
// the working directory and the search path) and lets it go; true when it started.
bool RunCommandLine(const char* commandLine);

// Program file name, then any number of argument texts, ended by a null pointer. A program that
// cannot be started is not reported.
void LaunchCompanion(const char* program, ...);
