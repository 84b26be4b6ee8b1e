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

int KivMain(HINSTANCE instance, int argc, char** argv);

// The same with another frame window object: the test build's program passes one whose top
// windows stay shown, for pictures of them.
using FrameFactory = std::unique_ptr<KivFrameWindow> (*)(NApp* app, HANDLE closeEvent,
                                                         const char* dataDirectory);
int KivMain(HINSTANCE instance, int argc, char** argv, FrameFactory makeFrame);
