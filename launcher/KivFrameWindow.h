// KivFrameWindow: the invisible main window. Its idle hook runs the program's periodic work;
// for now that is the close request of a later "/CloseKiv" invocation.
#pragma once
#include <windows.h>
#include <string>

#include "NWnd.h"

class KivFrameWindow : public NFrameWnd {
public:
    static const UINT_PTR timerId = 100;

    KivFrameWindow(NApp* app, HANDLE closeEvent, const char* dataDirectory);
    ~KivFrameWindow() override;

    void OnCreate() override;
    void OnDestroy() override;
    void OnClose() override {} // WM_CLOSE does not end the program
    int OnIdle() override;
    void CheckState();

    const char* GetDataDirectory() const { return dataDirectory; }

private:
    HANDLE closeEvent;         // borrowed from the start-up
    const char* dataDirectory; // borrowed from the start-up
};
