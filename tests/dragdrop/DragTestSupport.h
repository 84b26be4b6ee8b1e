// Fakes shared by the drag and drop tests: a window client that records what the drop target
// asks of it, placeholders whose deletion shows, a window that records the frame's messages, and
// the shell's own data object for real files.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>
#include <string>
#include <vector>

#include "DummyDataObject.h"
#include "KivDropClient.h"

namespace dragtest {

struct ClientCall {
    std::string operation; // "enter", "over", "leave", "drop"
    int index;             // -9 for leave
    DWORD keys;
    IDataObject* data;
    POINTL point;
};

// Cells: x < 100 is item 0, 100 <= x < 200 item 1, anything else the background (-1).
int CellAt(POINTL point);

class RecordingClient : public KivDropClient {
public:
    int DropHitTest(POINTL point) override;
    HRESULT OnItemDragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect,
                            int index) override;
    HRESULT OnItemDragOver(IDataObject* data, DWORD keys, POINTL point, DWORD* effect,
                           int index) override;
    HRESULT OnItemDragLeave() override;
    HRESULT OnItemDrop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect,
                       int index) override;
    void KeepDropException(std::exception_ptr error) override;

    // What every operation answers, and the effect it leaves.
    HRESULT result = S_OK;
    DWORD effectOut = DROPEFFECT_COPY;
    // The operation ("enter", ...) that throws std::runtime_error("client failed"), if any.
    std::string throwIn;
    std::vector<ClientCall> calls;
    std::vector<std::exception_ptr> errors;
    // Called during a drop, e.g. to read the files while the object is still valid.
    void (*onDrop)(RecordingClient&, IDataObject*) = nullptr;
    std::vector<std::string> droppedFiles;

    // The operations in order, with repeated "over" calls at one index counted once.
    std::string Summary() const;

private:
    HRESULT Record(const char* operation, IDataObject* data, DWORD keys, POINTL point,
                   DWORD* effect, int index);
};

class ObservedDataObject : public DummyDataObject {
public:
    explicit ObservedDataObject(bool& deleted) : deleted(deleted) {}
    ~ObservedDataObject() override { deleted = true; }

private:
    bool& deleted;
};

// The reference count of a COM object, read through its own AddRef and Release.
ULONG CountOf(IUnknown* object);

// A top-level window whose procedure records the messages in [first, last] (wParam, lParam).
class MessageRecorder {
public:
    MessageRecorder(UINT first, UINT last);
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;
    ~MessageRecorder();
    HWND Handle() const { return window; }
    struct Message {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Message> messages;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window = nullptr;
    UINT first, last;
};

// The shell's own data object for files of one folder (names relative to it); null on failure.
IDataObject* ShellDataObject(HWND owner, const std::string& folder,
                             const std::vector<std::string>& names);

} // namespace dragtest
