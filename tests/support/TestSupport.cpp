#include "TestSupport.h"

#include <shlobj.h>

#include <cstring>
#include <stdexcept>

namespace kivtest {

TempDir::TempDir(const std::string& hint) {
    char base[MAX_PATH];
    GetTempPathA(sizeof(base), base);
    static unsigned counter = 0;
    for (;;) {
        char name[MAX_PATH];
        wsprintfA(name, "%s%s-%lu-%lu-%u", base, hint.c_str(), GetCurrentProcessId(),
                  GetTickCount(), ++counter);
        if (CreateDirectoryA(name, nullptr)) {
            path = name;
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            throw std::runtime_error("TempDir: cannot create " + std::string(name));
    }
}

TempDir::~TempDir() {
    RemoveTree(path);
}

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string child = path + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

void WriteTextFile(const std::string& path, const std::string& content) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot write " + path);
    DWORD done = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &done, nullptr);
    CloseHandle(file);
}

std::string ReadTextFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot read " + path);
    std::string content;
    char buffer[4096];
    DWORD done = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &done, nullptr) && done > 0)
        content.append(buffer, done);
    CloseHandle(file);
    return content;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void MakeDir(const std::string& path) {
    if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        throw std::runtime_error("cannot create " + path);
}

std::string BuiltProgram(const char* fileName) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof(self));
    std::string path = self;
    return path.substr(0, path.find_last_of('\\') + 1) + fileName;
}

ChildProcess::ChildProcess(const std::string& commandLine, const std::string& directory) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &startup, &info))
        throw std::runtime_error("cannot start " + commandLine);
}

ChildProcess::~ChildProcess() {
    if (info.hProcess) {
        if (Running())
            Kill();
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    }
}

DWORD ChildProcess::Wait(DWORD milliseconds) {
    if (WaitForSingleObject(info.hProcess, milliseconds) != WAIT_OBJECT_0)
        return STILL_ACTIVE;
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    return code;
}

bool ChildProcess::Running() const {
    return WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT;
}

void ChildProcess::Kill() {
    TerminateProcess(info.hProcess, 1);
    WaitForSingleObject(info.hProcess, 5000);
}

namespace {
struct EnumState {
    DWORD processId;
    std::vector<WindowInfo>* out;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    auto* state = reinterpret_cast<EnumState*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (state->processId != 0 && owner != state->processId)
        return TRUE;
    WindowInfo info{};
    info.handle = window;
    char text[512];
    GetClassNameA(window, text, sizeof(text));
    info.className = text;
    GetWindowTextA(window, text, sizeof(text));
    info.title = text;
    GetWindowRect(window, &info.rect);
    info.visible = IsWindowVisible(window) != FALSE;
    state->out->push_back(info);
    return TRUE;
}
} // namespace

std::vector<WindowInfo> TopLevelWindows(DWORD processId) {
    std::vector<WindowInfo> windows;
    EnumState state{processId, &windows};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&state));
    return windows;
}

bool WaitFor(const std::function<bool()>& done, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done())
            return true;
        if (GetTickCount() - start > milliseconds)
            return false;
        Sleep(50);
    }
}

HWND WaitForWindow(DWORD processId, const std::string& title, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
        for (const WindowInfo& w : TopLevelWindows(processId)) {
            if (w.title == title && w.visible)
                return w.handle;
        }
        Sleep(50);
    } while (GetTickCount() - start < milliseconds);
    return nullptr;
}

namespace {
BOOL CALLBACK FindStatic(HWND child, LPARAM param) {
    char className[64];
    GetClassNameA(child, className, sizeof(className));
    if (lstrcmpiA(className, "Static") == 0) {
        char text[1024];
        GetWindowTextA(child, text, sizeof(text));
        if (text[0]) {
            *reinterpret_cast<std::string*>(param) = text;
            return FALSE;
        }
    }
    return TRUE;
}
} // namespace

std::string MessageBoxText(HWND box) {
    std::string text;
    EnumChildWindows(box, FindStatic, reinterpret_cast<LPARAM>(&text));
    return text;
}

bool CloseMessageBox(HWND box, DWORD milliseconds) {
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    const DWORD start = GetTickCount();
    while (IsWindow(box)) {
        if (GetTickCount() - start > milliseconds)
            return false;
        Sleep(20);
    }
    return true;
}

HDROP MakeDropHandle(const std::vector<std::string>& names, POINT point, bool wide) {
    // The list ends with an empty name, so the block ends with two terminators.
    std::string narrow;
    std::wstring utf16;
    for (const std::string& name : names) {
        if (wide) {
            const int count = MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, nullptr, 0);
            std::wstring converted(count, L'\0');
            MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, converted.data(), count);
            utf16 += converted; // with its terminator
        } else {
            narrow += name;
            narrow += '\0';
        }
    }
    const size_t bytes = wide ? (utf16.size() + 1) * sizeof(wchar_t) : narrow.size() + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + bytes);
    if (!block)
        throw std::runtime_error("MakeDropHandle: GlobalAlloc");
    auto* header = static_cast<DROPFILES*>(GlobalLock(block));
    header->pFiles = sizeof(DROPFILES);
    header->pt = point;
    header->fNC = FALSE;
    header->fWide = wide;
    char* list = reinterpret_cast<char*>(header + 1);
    if (wide)
        memcpy(list, utf16.data(), utf16.size() * sizeof(wchar_t));
    else
        memcpy(list, narrow.data(), narrow.size());
    GlobalUnlock(block);
    return static_cast<HDROP>(block);
}

} // namespace kivtest
