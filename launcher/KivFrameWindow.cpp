#include "KivFrameWindow.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "KivIconSortHelper.h"
#include "KivItem.h"
#include "KivParameter.h"
#include "KivPidl.h"
#include "KivWinProperty.h"
#include "PathUtility.h"

namespace {

const int longestTimerPeriod = 10000;

const DWORD watchedChanges =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE;

// The item of a folder given by its path; throws a runtime error when the path is not a folder.
KivItem FolderItemOf(const char* path) {
    KivItem item;
    item.SetPathId(KivPidl(path));
    if (item.type != KivItem::ItemFolder && item.type != KivItem::ItemVirtualFolder)
        throw std::runtime_error("Not Folder");
    return item;
}

} // namespace

KivFrameWindow::KivFrameWindow(NApp* app, HANDLE event, const char* directory)
    : NFrameWnd(app), changeNotification(INVALID_HANDLE_VALUE), reloadPending(false), holdFlags(0),
      closeEvent(event), dataDirectory(directory) {
    SetStyle(WS_POPUP | WS_VISIBLE);
    SetExStyle(WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    SetWindowTitle("Kiv");
}

KivFrameWindow::~KivFrameWindow() {
    DestroyTopWindows();
    if (changeNotification != INVALID_HANDLE_VALUE)
        FindCloseChangeNotification(changeNotification);
    changeNotification = INVALID_HANDLE_VALUE;
    // Destroy the window while this object is still whole, so OnDestroy runs.
    if (OwnsWindow())
        ::DestroyWindow(window);
}

LRESULT KivFrameWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case UM_HIDEALL:
        HideAllTopWindows();
        return 0;
    case UM_STARTDRAG:
        StartDrag(reinterpret_cast<IDataObject*>(wParam), lParam != 0);
        return 0;
    case UM_CHECKSTATE:
        CheckState();
        return 0;
    case UM_ADDTOPWINDOW:
        AddTopWindowFolder();
        return 0;
    case UM_MENULOOP:
        if (lParam)
            holdFlags |= HoldMenuLoop;
        else
            holdFlags &= ~static_cast<DWORD>(HoldMenuLoop);
        return 0;
    default:
        return NFrameWnd::WindowProc(message, wParam, lParam);
    }
}

void KivFrameWindow::OnCreate() {
    // The timer only wakes the message loop, so that the idle work runs at least this often.
    KivWinProperty defaults(dataDirectory);
    defaults.LoadParam(nullptr);
    // A hand-edited period outside reason would stop the idle work (a negative one becomes weeks).
    SetTimer(timerId, static_cast<UINT>(std::clamp(defaults.TimerTimeOut, 1, longestTimerPeriod)),
             nullptr);
    SetIcon(LoadIconA(application->instance, "MAINICON"), false);
    reloadPending = true;
}

void KivFrameWindow::OnDestroy() {
    KillTimer(timerId);
    NFrameWnd::OnDestroy();
}

void KivFrameWindow::OnPowerBroadcast(WPARAM event, LPARAM) {
    if (event == PBT_APMSUSPEND)
        holdFlags |= HoldSuspended;
    else if (event == PBT_APMRESUMECRITICAL || event == PBT_APMRESUMESUSPEND)
        holdFlags &= ~static_cast<DWORD>(HoldSuspended);
}

void KivFrameWindow::OnEndSession(WPARAM ending, LPARAM) {
    if (ending)
        holdFlags |= HoldSessionEnd;
}

int KivFrameWindow::OnIdle() {
    CheckState();
    return 0;
}

void KivFrameWindow::CheckState() {
    if (WaitForSingleObject(closeEvent, 0) == WAIT_OBJECT_0) {
        DestroyWindow();
        return;
    }
    if (holdFlags != 0)
        return;
    if (reloadPending) {
        reloadPending = false;
        RebuildTopWindows();
    }
    bool busy = false;
    for (const auto& topWindow : topWindows) {
        if (topWindow->Poll())
            busy = true;
    }
    if (!busy && changeNotification != INVALID_HANDLE_VALUE &&
        WaitForSingleObject(changeNotification, 0) == WAIT_OBJECT_0)
        RebuildTopWindows();
}

std::string KivFrameWindow::TopWindowFolder(size_t number) const {
    char suffix[32];
    std::snprintf(suffix, sizeof(suffix), "\\TopWindow%d", static_cast<int>(number));
    return std::string(dataDirectory) + suffix;
}

void KivFrameWindow::PruneStaleSettings() {
    for (const std::string& folder : GetParamFolders(dataDirectory)) {
        if (folder == "Default")
            continue;
        try {
            FolderItemOf(folder.c_str());
        } catch (const std::runtime_error&) {
            KivWinProperty property(dataDirectory);
            property.RemoveParam(folder.c_str());
            KivIconSortHelper<std::string> order(dataDirectory);
            order.RemoveParam(folder.c_str());
        }
    }
}

void KivFrameWindow::RebuildTopWindows() {
    DestroyTopWindows();
    {
        KivParameterMutex lock;
        PruneStaleSettings();
        // Each rebuild arms a new notification, so the pruning above does not count and every
        // change from here on does.
        if (changeNotification != INVALID_HANDLE_VALUE)
            FindCloseChangeNotification(changeNotification);
        changeNotification = FindFirstChangeNotificationA(dataDirectory, TRUE, watchedChanges);
    }

    size_t number = 1;
    for (;; ++number) {
        const std::string path = TopWindowFolder(number);
        if (GetPathType(path.c_str()) != PathFolder)
            break;
        const KivItem folder = FolderItemOf(path.c_str());
        // Owned before its window exists, so that a failing creation leaves nothing behind.
        topWindows.push_back(std::make_unique<KivTopWindow>(this, dataDirectory, folder));
        topWindows.back()->CreateWindow();
    }
    if (number == 1 && !AddTopWindowFolder())
        DestroyWindow();
}

void KivFrameWindow::DestroyTopWindows() {
    // The last first: a window's deletion may still send messages to those before it.
    while (!topWindows.empty())
        topWindows.pop_back();
}

bool KivFrameWindow::AddTopWindowFolder() {
    const std::string path = TopWindowFolder(topWindows.size() + 1);
    if (CreateDirectoryA(path.c_str(), nullptr))
        return true;
    MessageBox("トップウィンドウを追加できませんでした", "Kiv", MB_OK);
    return false;
}

void KivFrameWindow::HideAllTopWindows() {
    for (const auto& topWindow : topWindows)
        topWindow->Hide(false, false);
}

void KivFrameWindow::StartDrag(IDataObject* data, bool) {
    // The reference handed over with the message is released here. Running the drag loop needs
    // the drop source of the drag-and-drop work; until it exists a drag ends at once, as with
    // "DisableDragStart".
    if (data)
        data->Release();
}
