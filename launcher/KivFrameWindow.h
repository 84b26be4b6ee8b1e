// KivFrameWindow: the invisible main window. It owns the top windows (one per folder TopWindow1,
// TopWindow2, ... of the data directory) and rebuilds them when the data directory changes; its
// idle hook runs the program's periodic work; it receives the icon windows' private messages
// (FrameMessages.h).
#pragma once
#include "NWin32.h"
#include <memory>
#include <oleidl.h>
#include <string>
#include <vector>

#include "FrameMessages.h"
#include "KivTopWindow.h"
#include "NWnd.h"

class KivFrameWindow : public NFrameWnd {
public:
    static const UINT_PTR timerId = 100;

    // Bits of holdFlags: while any is set, no rebuild and no polling happen.
    enum : DWORD { HoldMenuLoop = 1, HoldSuspended = 2, HoldSessionEnd = 4 };

    KivFrameWindow(NApp* app, HANDLE closeEvent, const char* dataDirectory);
    ~KivFrameWindow() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCreate() override;
    void OnDestroy() override;
    void OnClose() override {} // WM_CLOSE does not end the program
    void OnSysColorChange() override { reloadPending = true; }
    void OnSettingChange(WPARAM, LPARAM) override { reloadPending = true; }
    void OnDisplayChange(WPARAM, int, int) override { reloadPending = true; }
    void OnPowerBroadcast(WPARAM event, LPARAM data) override;
    void OnEndSession(WPARAM ending, LPARAM lParam) override;
    int OnIdle() override;

    void RebuildTopWindows();
    void DestroyTopWindows();
    bool AddTopWindowFolder();
    void CheckState();
    void HideAllTopWindows();
    void StartDrag(IDataObject* data, bool leftButton);

    const char* GetDataDirectory() const { return dataDirectory; }
    const std::vector<std::unique_ptr<KivTopWindow>>& GetTopWindows() const { return topWindows; }
    DWORD GetHoldFlags() const { return holdFlags; }
    bool IsReloadPending() const { return reloadPending; }

private:
    // The path of folder TopWindow<number>.
    std::string TopWindowFolder(size_t number) const;
    // Removes the records of every folder in the settings that is no longer a folder.
    void PruneStaleSettings();

    std::vector<std::unique_ptr<KivTopWindow>> topWindows;
    HANDLE changeNotification;
    bool reloadPending;
    DWORD holdFlags;
    HANDLE closeEvent;         // borrowed from the start-up
    const char* dataDirectory; // borrowed from the start-up
};
