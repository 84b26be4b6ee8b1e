#include "Companion.h"

#include <windows.h>

#include <cstdarg>
#include <cstring>

std::string BuildCommandLine(const std::vector<std::string>& texts) {
    std::string line;
    for (const std::string& text : texts) {
        if (text.find(' ') != std::string::npos)
            line += '"' + text + "\" ";
        else
            line += text + ' ';
    }
    return line;
}

bool RunCommandLine(const char* commandLine) {
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    // CreateProcessA may write into the command line.
    std::string line = commandLine;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

void LaunchCompanion(const char* program, ...) {
    std::vector<std::string> texts{program};
    va_list arguments;
    va_start(arguments, program);
    while (const char* argument = va_arg(arguments, const char*))
        texts.emplace_back(argument);
    va_end(arguments);
    RunCommandLine(BuildCommandLine(texts).c_str());
}
