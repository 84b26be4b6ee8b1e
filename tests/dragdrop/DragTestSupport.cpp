#include "DragTestSupport.h"

#include <stdexcept>

namespace dragtest {

int CellAt(POINTL point) {
    if (point.x < 100)
        return 0;
    if (point.x < 200)
        return 1;
    return -1;
}

int RecordingClient::DropHitTest(POINTL point) {
    return CellAt(point);
}

HRESULT RecordingClient::Record(const char* operation, IDataObject* data, DWORD keys, POINTL point,
                                DWORD* effect, int index) {
    calls.push_back({operation, index, keys, data, point});
    if (throwIn == operation)
        throw std::runtime_error("client failed");
    if (effect)
        *effect = effectOut;
    return result;
}

HRESULT RecordingClient::OnItemDragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect,
                                         int index) {
    return Record("enter", data, keys, point, effect, index);
}

HRESULT RecordingClient::OnItemDragOver(IDataObject* data, DWORD keys, POINTL point, DWORD* effect,
                                        int index) {
    return Record("over", data, keys, point, effect, index);
}

HRESULT RecordingClient::OnItemDragLeave() {
    return Record("leave", nullptr, 0, POINTL{}, nullptr, -9);
}

HRESULT RecordingClient::OnItemDrop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect,
                                    int index) {
    if (onDrop)
        onDrop(*this, data);
    return Record("drop", data, keys, point, effect, index);
}

void RecordingClient::KeepDropException(std::exception_ptr error) {
    errors.push_back(error);
}

std::string RecordingClient::Summary() const {
    std::string text;
    const ClientCall* previous = nullptr;
    for (const ClientCall& call : calls) {
        if (previous && call.operation == "over" && previous->operation == "over" &&
            previous->index == call.index)
            continue;
        if (!text.empty())
            text += ' ';
        text += call.operation;
        if (call.operation != "leave")
            text += std::to_string(call.index);
        previous = &call;
    }
    return text;
}

ULONG CountOf(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

MessageRecorder::MessageRecorder(UINT first, UINT last) : first(first), last(last) {
    static const char* const className = "KivDragTestRecorder";
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = className;
        RegisterClassA(&windowClass);
        registered = true;
    }
    window = CreateWindowExA(0, className, "recorder", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                             GetModuleHandleA(nullptr), this);
    if (!window)
        throw std::runtime_error("MessageRecorder: CreateWindowEx");
}

MessageRecorder::~MessageRecorder() {
    DestroyWindow(window);
}

LRESULT CALLBACK MessageRecorder::Procedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<MessageRecorder*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && message >= self->first && message <= self->last) {
        self->messages.push_back({message, wParam, lParam});
        return 0;
    }
    if (message == WM_NCDESTROY)
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    return DefWindowProcA(window, message, wParam, lParam);
}

namespace {

std::wstring Wide(const std::string& text) {
    const int count = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(count, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), count);
    wide.resize(count - 1);
    return wide;
}

} // namespace

IDataObject* ShellDataObject(HWND owner, const std::string& folder,
                             const std::vector<std::string>& names) {
    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop)))
        return nullptr;
    IDataObject* data = nullptr;
    LPITEMIDLIST folderList = nullptr;
    std::wstring folderName = Wide(folder);
    if (SUCCEEDED(desktop->ParseDisplayName(owner, nullptr, folderName.data(), nullptr, &folderList,
                                            nullptr))) {
        IShellFolder* parent = nullptr;
        if (SUCCEEDED(desktop->BindToObject(folderList, nullptr, IID_IShellFolder,
                                            reinterpret_cast<void**>(&parent)))) {
            std::vector<LPCITEMIDLIST> children;
            bool parsed = true;
            for (const std::string& name : names) {
                std::wstring wideName = Wide(name);
                LPITEMIDLIST child = nullptr;
                if (FAILED(parent->ParseDisplayName(owner, nullptr, wideName.data(), nullptr,
                                                    &child, nullptr))) {
                    parsed = false;
                    break;
                }
                children.push_back(child);
            }
            if (parsed)
                parent->GetUIObjectOf(owner, static_cast<UINT>(children.size()), children.data(),
                                      IID_IDataObject, nullptr, reinterpret_cast<void**>(&data));
            for (LPCITEMIDLIST child : children)
                CoTaskMemFree(const_cast<LPITEMIDLIST>(child));
            parent->Release();
        }
        CoTaskMemFree(folderList);
    }
    desktop->Release();
    return data;
}

} // namespace dragtest
