// The start-up of Kiv: switch, working directory, single instance per working directory, data
// directory, OLE, the frame window and the message loop, and the last-resort exception guard.
#pragma once
#include <windows.h>
#include <memory>
#include <string>

class KivFrameWindow;
class NApp;

enum class StartSwitch { None, CloseKiv, ExitsNoError, DebugMode };

// Only the first argument counts, compared case-sensitively.
StartSwitch ParseStartSwitch(int argc, char** argv);

// "KivEvent{...}" followed by the working directory, every byte 0x5C turned into '*'.
std::string MakeEventName(const char* workingDirectory);

// "<working directory>\IconData".
std::string MakeDataDirectoryPath(const char* workingDirectory);

// Makes the frame window object of the run; null stands for the program's own KivFrameWindow.
// A test build of the program passes a frame of its own.
using FrameFactory = std::unique_ptr<KivFrameWindow> (*)(NApp* app, HANDLE closeEvent,
                                                         const char* dataDirectory);

int KivMain(HINSTANCE instance, int argc, char** argv, FrameFactory makeFrame = nullptr);
