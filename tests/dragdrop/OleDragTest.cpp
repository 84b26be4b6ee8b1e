// Real OLE drags inside this process, driven by xdotool on the virtual display: the mouse is
// pressed on a source window, whose handler hands the shell's data object to a frame window as an
// icon window does; the frame runs StartDrag, and a window with a registered KivOleDropTarget over
// a recording client receives the drag.
#include <gtest/gtest.h>

#include <string>

#include "DragLoop.h"
#include "DragTestSupport.h"
#include "DroppedFiles.h"
#include "FrameMessages.h"
#include "KivOleDropTarget.h"
#include "TestSupport.h"

using dragtest::RecordingClient;

namespace {

const ::testing::Environment* const oleEnvironment =
    ::testing::AddGlobalTestEnvironment(new kivtest::OleEnvironment);

const char* const sourceTitle = "KivDragSourceTest";
const RECT sourceRect = {100, 100, 300, 300};
const RECT targetRect = {500, 100, 800, 300};

// The host path of a Windows path, or empty when not running under Wine.
std::string HostPath(const std::string& windowsPath) {
    using UnixName = char*(CDECL*)(const wchar_t*);
    const FARPROC export_ =
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(export_));
    if (!unixName)
        return {};
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH);
    char* name = unixName(wide);
    if (!name)
        return {};
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Runs a shell script on the host (Wine starts host programs given by their path) in the folder
// dir. The process cannot be waited for; the script waits for the marker files that the test
// writes into dir ("wait_for NAME") instead of sleeping for fixed times.
bool RunHostScript(const std::string& dir, const std::string& script) {
    const std::string hostDir = HostPath(dir);
    if (hostDir.empty())
        return false;
    kivtest::WriteTextFile(dir + "\\drag.sh",
                           "cd '" + hostDir +
                               "'\n"
                               "wait_for() { i=0; while [ ! -e \"$1\" ] && [ $i -lt 600 ]; do "
                               "sleep 0.05; i=$((i+1)); done; }\n" +
                               script + "\n");
    std::string commandLine = "/bin/sh \"" + hostDir + "/drag.sh\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return false;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return true;
}

bool HostHasXdotool() {
    return GetFileAttributesA("Z:\\usr\\bin\\xdotool") != INVALID_FILE_ATTRIBUTES;
}

class DragScene;
DragScene* scene = nullptr;

// The three windows of a drag: the source pressed by the mouse, the frame that runs the loop, and
// the target that is registered for drops.
class DragScene : public RecordingClient {
public:
    DragScene(IDataObject* data, const std::string& markers) : markers(markers), data(data) {
        scene = this;
        static bool registered = false;
        if (!registered) {
            WNDCLASSA windowClass{};
            windowClass.lpfnWndProc = Procedure;
            windowClass.hInstance = GetModuleHandleA(nullptr);
            windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
            windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
            windowClass.lpszClassName = "KivDragScene";
            RegisterClassA(&windowClass);
            registered = true;
        }
        frame = Make("KivDragFrameTest", RECT{0, 0, 0, 0}, false);
        source = Make(sourceTitle, sourceRect, true);
        target = Make("KivDropTargetTest", targetRect, true);
        dropTarget = new KivOleDropTarget(this);
        // The registration takes the first reference, as in an icon window.
        registeredTarget = SUCCEEDED(RegisterDragDrop(target, dropTarget));
        if (!registeredTarget) {
            dropTarget->AddRef();
            dropTarget->Release();
        }
        onDrop = [](RecordingClient& client, IDataObject* dropped) {
            if (auto files = GetDroppedFiles(dropped))
                client.droppedFiles = *files;
        };
    }
    ~DragScene() {
        if (registeredTarget)
            RevokeDragDrop(target);
        DestroyWindow(target);
        DestroyWindow(source);
        DestroyWindow(frame);
        scene = nullptr;
    }

    // Each first enter of a cell leaves a marker ("enter0", "enter-1") for the script.
    HRESULT OnItemDragEnter(IDataObject* dropped, DWORD keys, POINTL point, DWORD* effect,
                            int index) override {
        Mark("enter" + std::to_string(index));
        return RecordingClient::OnItemDragEnter(dropped, keys, point, effect, index);
    }

    void Mark(const std::string& name) {
        if (!kivtest::Exists(markers + "\\" + name))
            kivtest::WriteTextFile(markers + "\\" + name, name);
    }

    // The client's hit test in the target's client coordinates, as an icon window does it.
    int DropHitTest(POINTL screenPoint) override {
        POINT point = {screenPoint.x, screenPoint.y};
        ScreenToClient(target, &point);
        return dragtest::CellAt(POINTL{point.x, point.y});
    }

    // Pumps messages until the drag loop has run and ended, or the time is up.
    bool WaitForLoop(DWORD milliseconds) {
        const DWORD start = GetTickCount();
        while (!loopEnded && GetTickCount() - start < milliseconds) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
        return loopEnded;
    }

    bool registeredTarget = false;
    bool loopStarted = false;
    bool loopEnded = false;
    HRESULT loopResult = E_PENDING;
    int checkStatesInLoop = 0;
    HWND frame = nullptr, source = nullptr, target = nullptr;

private:
    static HWND Make(const char* title, RECT rect, bool visible) {
        return CreateWindowExA(WS_EX_TOPMOST, "KivDragScene", title,
                               WS_POPUP | (visible ? WS_VISIBLE : 0), rect.left, rect.top,
                               rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        DragScene* self = scene;
        if (!self)
            return DefWindowProcA(window, message, wParam, lParam);
        if (window == self->source)
            return self->SourceMessage(message, wParam, lParam);
        if (window == self->frame && message == UM_STARTDRAG) {
            self->loopStarted = true;
            self->Mark("loop");
            self->loopResult =
                StartDrag(window, reinterpret_cast<IDataObject*>(wParam), lParam != 0, false);
            self->loopEnded = true;
            return 0;
        }
        if (window == self->frame && message == UM_CHECKSTATE) {
            if (self->loopStarted && !self->loopEnded)
                ++self->checkStatesInLoop;
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    // Press, threshold and hand-over, as an icon window starts a drag of an item.
    LRESULT SourceMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        const POINT point = {static_cast<short>(LOWORD(lParam)),
                             static_cast<short>(HIWORD(lParam))};
        switch (message) {
        case WM_LBUTTONDOWN:
            downPoint = point;
            pressed = true;
            SetCapture(source);
            return 0;
        case WM_MOUSEMOVE:
            if (pressed && (wParam & MK_LBUTTON) &&
                (abs(point.x - downPoint.x) > 16 || abs(point.y - downPoint.y) > 16)) {
                pressed = false;
                ReleaseCapture();
                data->AddRef(); // the reference handed to the frame
                SendMessageA(frame, UM_STARTDRAG, reinterpret_cast<WPARAM>(data), 1);
            }
            return 0;
        case WM_LBUTTONUP:
            pressed = false;
            ReleaseCapture();
            return 0;
        }
        return DefWindowProcA(source, message, wParam, lParam);
    }

    std::string markers;
    IDataObject* data;
    KivOleDropTarget* dropTarget = nullptr;
    POINT downPoint{};
    bool pressed = false;
};

// Moves along y from fromX to x in steps of about 28 pixels.
std::string MovesTo(int fromX, int x, int y) {
    std::string script;
    for (int at = fromX + 28; at < x; at += 28)
        script +=
            "xdotool mousemove " + std::to_string(at) + " " + std::to_string(y) + "; sleep 0.05\n";
    script += "xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + "\n";
    return script;
}

// Presses the left button in the source and moves until the frame's loop has started.
const std::string pressAndStart = "xdotool mousemove 200 200; sleep 0.2; xdotool mousedown 1\n" +
                                  MovesTo(200, 290, 200) + "wait_for loop\n";

class OleDrag : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HostHasXdotool())
            GTEST_SKIP() << "xdotool is not installed on the host";
        kivtest::WriteTextFile(dir / "dragged.txt", "dragged");
        data = dragtest::ShellDataObject(nullptr, dir.Path(), {"dragged.txt"});
        ASSERT_NE(data, nullptr);
    }
    void TearDown() override {
        // Whatever happened, no button stays down on the shared display.
        RunHostScript(dir.Path(), "xdotool mouseup 3; xdotool mouseup 1");
        if (data) {
            EXPECT_EQ(data->Release(), 0u) << "a reference to the dragged object was kept";
        }
    }

    kivtest::TempDir dir{"kivdrag"};
    IDataObject* data = nullptr;
};

} // namespace

TEST_F(OleDrag, StartDragDeliversEnterOverAndDropToTheTarget) {
    DragScene drag(data, dir.Path());
    ASSERT_TRUE(drag.registeredTarget);
    // Into cell 0 of the target (client x 50), on to the background (client x 260), then release.
    const std::string script = pressAndStart + MovesTo(290, 550, 200) + "wait_for enter0\n" +
                               MovesTo(550, 760, 200) +
                               "wait_for enter-1\n"
                               "xdotool mousemove 761 201; sleep 0.1; xdotool mousemove 762 200\n"
                               "sleep 0.2; xdotool mouseup 1";
    ASSERT_TRUE(RunHostScript(dir.Path(), script));
    ASSERT_TRUE(drag.WaitForLoop(60000)) << "started: " << drag.loopStarted;
    EXPECT_EQ(drag.loopResult, DRAGDROP_S_DROP);
    // Cell 0, cell 1 on the way, then the background where the drop happens.
    EXPECT_EQ(drag.Summary(), "enter0 over0 leave enter1 over1 leave enter-1 over-1 drop-1");
    ASSERT_FALSE(drag.calls.empty());
    EXPECT_TRUE(drag.calls.front().keys & MK_LBUTTON) << "a left-button drag";
    EXPECT_EQ(drag.calls.back().point.x, 762) << "screen coordinates";
    EXPECT_EQ(drag.calls.back().point.y, 200);
    EXPECT_EQ(drag.droppedFiles, std::vector<std::string>{dir / "dragged.txt"});
    EXPECT_GT(drag.checkStatesInLoop, 0) << "GiveFeedback posted UM_CHECKSTATE during the loop";
    EXPECT_TRUE(drag.errors.empty());
}

TEST_F(OleDrag, EscapeCancelsWhenTheDraggingWindowHasTheFocus) {
    DragScene drag(data, dir.Path());
    ASSERT_TRUE(drag.registeredTarget);
    // Without a window manager keys go to the window under the pointer unless the focus is set.
    const std::string script = std::string("xdotool windowfocus $(xdotool search --name '^") +
                               sourceTitle + "$')\n" + pressAndStart + MovesTo(290, 650, 200) +
                               "wait_for enter1\nxdotool key Escape; sleep 0.5\n"
                               "xdotool mousemove 652 200; sleep 0.2; xdotool mouseup 1";
    ASSERT_TRUE(RunHostScript(dir.Path(), script));
    ASSERT_TRUE(drag.WaitForLoop(60000)) << "started: " << drag.loopStarted;
    EXPECT_EQ(drag.loopResult, DRAGDROP_S_CANCEL);
    const std::string summary = drag.Summary();
    EXPECT_EQ(summary.rfind("enter0 over0 leave enter1", 0), 0u) << summary;
    EXPECT_EQ(summary.find("drop"), std::string::npos) << summary;
    EXPECT_EQ(summary.substr(summary.size() - 5), "leave") << summary;
    EXPECT_TRUE(drag.droppedFiles.empty());
}

TEST_F(OleDrag, TheOtherButtonCancels) {
    DragScene drag(data, dir.Path());
    ASSERT_TRUE(drag.registeredTarget);
    const std::string script = pressAndStart + MovesTo(290, 760, 200) +
                               "wait_for enter-1\n"
                               "xdotool mousedown 3; sleep 0.5; xdotool mouseup 3\n"
                               "sleep 0.1; xdotool mouseup 1";
    ASSERT_TRUE(RunHostScript(dir.Path(), script));
    ASSERT_TRUE(drag.WaitForLoop(60000)) << "started: " << drag.loopStarted;
    EXPECT_EQ(drag.loopResult, DRAGDROP_S_CANCEL);
    const std::string summary = drag.Summary();
    EXPECT_EQ(summary.find("drop"), std::string::npos) << summary;
    EXPECT_EQ(summary.substr(summary.size() - 5), "leave") << summary;
}
