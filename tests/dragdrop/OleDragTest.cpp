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

// Runs a shell command line of the host (Wine starts host programs given by their path). The
// process cannot be waited for, so scripts end by writing a marker file when a test needs one.
bool RunHostCommand(const std::string& script) {
    std::string commandLine = "/bin/sh -c \"" + script + "\"";
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
    explicit DragScene(IDataObject* data) : data(data) {
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
        registeredTarget = SUCCEEDED(RegisterDragDrop(target, dropTarget));
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

    IDataObject* data;
    KivOleDropTarget* dropTarget = nullptr;
    POINT downPoint{};
    bool pressed = false;
};

// Moves from the middle of the source to (x, y) in steps of about 28 pixels.
std::string MovesTo(int fromX, int x, int y) {
    std::string script;
    for (int at = fromX + 28; at < x; at += 28)
        script +=
            "xdotool mousemove " + std::to_string(at) + " " + std::to_string(y) + "; sleep 0.05; ";
    script += "xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + "; sleep 0.1; ";
    return script;
}

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
        RunHostCommand("xdotool mouseup 3; xdotool mouseup 1");
        if (data) {
            EXPECT_EQ(data->Release(), 0u) << "a reference to the dragged object was kept";
        }
    }

    kivtest::TempDir dir{"kivdrag"};
    IDataObject* data = nullptr;
};

} // namespace

TEST_F(OleDrag, StartDragDeliversEnterOverAndDropToTheTarget) {
    DragScene drag(data);
    ASSERT_TRUE(drag.registeredTarget);
    // Into cell 0 of the target (client x 50), on to the background (client x 260), then release.
    const std::string script = "sleep 0.5; xdotool mousemove 200 200; sleep 0.2; "
                               "xdotool mousedown 1; sleep 0.2; " +
                               MovesTo(200, 550, 200) + "xdotool mousemove 551 201; sleep 0.1; " +
                               MovesTo(551, 760, 200) +
                               "xdotool mousemove 761 201; sleep 0.1; "
                               "xdotool mousemove 762 200; sleep 0.3; xdotool mouseup 1";
    ASSERT_TRUE(RunHostCommand(script));
    ASSERT_TRUE(drag.WaitForLoop(30000)) << "started: " << drag.loopStarted;
    EXPECT_EQ(drag.loopResult, DRAGDROP_S_DROP);
    // Cell 0, possibly cell 1 on the way, then the background where the drop happens.
    const std::string summary = drag.Summary();
    EXPECT_EQ(summary.rfind("enter0 over0 leave enter", 0), 0u) << summary;
    EXPECT_NE(summary.find("leave enter-1 over-1 drop-1"), std::string::npos) << summary;
    ASSERT_FALSE(drag.calls.empty());
    EXPECT_TRUE(drag.calls.front().keys & MK_LBUTTON) << "a left-button drag";
    EXPECT_EQ(drag.calls.back().point.x, 762) << "screen coordinates";
    EXPECT_EQ(drag.calls.back().point.y, 200);
    EXPECT_EQ(drag.droppedFiles, std::vector<std::string>{dir / "dragged.txt"});
    EXPECT_GT(drag.checkStatesInLoop, 0) << "GiveFeedback posted UM_CHECKSTATE during the loop";
    EXPECT_TRUE(drag.errors.empty());
}

TEST_F(OleDrag, EscapeCancelsWhenTheDraggingWindowHasTheFocus) {
    DragScene drag(data);
    ASSERT_TRUE(drag.registeredTarget);
    // Without a window manager keys go to the window under the pointer unless the focus is set.
    const std::string script =
        std::string("sleep 0.5; xdotool windowfocus $(xdotool search --name '^") + sourceTitle +
        "$'); xdotool mousemove 200 200; sleep 0.2; xdotool mousedown 1; sleep 0.2; " +
        MovesTo(200, 650, 200) + "xdotool mousemove 651 201; sleep 0.3; xdotool key Escape; " +
        "sleep 0.5; xdotool mousemove 652 200; sleep 0.2; xdotool mouseup 1";
    ASSERT_TRUE(RunHostCommand(script));
    ASSERT_TRUE(drag.WaitForLoop(30000)) << "started: " << drag.loopStarted;
    EXPECT_EQ(drag.loopResult, DRAGDROP_S_CANCEL);
    const std::string summary = drag.Summary();
    EXPECT_EQ(summary.find("drop"), std::string::npos) << summary;
    EXPECT_EQ(summary.rfind("enter", 0), 0u) << summary;
    EXPECT_EQ(summary.substr(summary.size() - 5), "leave") << summary;
    EXPECT_TRUE(drag.droppedFiles.empty());
}

TEST_F(OleDrag, TheOtherButtonCancels) {
    DragScene drag(data);
    ASSERT_TRUE(drag.registeredTarget);
    const std::string script = "sleep 0.5; xdotool mousemove 200 200; sleep 0.2; "
                               "xdotool mousedown 1; sleep 0.2; " +
                               MovesTo(200, 760, 200) +
                               "xdotool mousedown 3; sleep 0.5; xdotool mouseup 3; "
                               "sleep 0.1; xdotool mouseup 1";
    ASSERT_TRUE(RunHostCommand(script));
    ASSERT_TRUE(drag.WaitForLoop(30000)) << "started: " << drag.loopStarted;
    EXPECT_EQ(drag.loopResult, DRAGDROP_S_CANCEL);
    const std::string summary = drag.Summary();
    EXPECT_EQ(summary.find("drop"), std::string::npos) << summary;
    EXPECT_EQ(summary.substr(summary.size() - 5), "leave") << summary;
}
