// KivOleDropSource: the OLE drop source of the frame's drag loop. It decides when the drag drops
// or is cancelled, and on every feedback call posts a message to the frame so that the frame's
// periodic work goes on inside the modal loop.
#pragma once
#include <windows.h>
#include <ole2.h>

#include "ComObject.h"

// The drag's fate from the escape key and the mouse buttons: the other button or Escape cancels,
// releasing the dragging button drops, anything else goes on (S_OK).
HRESULT QueryContinueDragResult(bool escapePressed, DWORD keys, bool leftButton);

class KivOleDropSource : public ComObject<IDropSource, &IID_IDropSource> {
public:
    KivOleDropSource(HWND notifyWindow, UINT notifyMessage, bool leftButton)
        : leftButton(leftButton), notifyWindow(notifyWindow), notifyMessage(notifyMessage) {}

    STDMETHODIMP QueryContinueDrag(BOOL escapePressed, DWORD keys) override;
    // Posts notifyMessage (wParam 0, lParam 0) to notifyWindow; the system's drag cursors stay.
    STDMETHODIMP GiveFeedback(DWORD effect) override;

protected:
    ~KivOleDropSource() override = default;

private:
    bool leftButton;
    HWND notifyWindow;
    UINT notifyMessage;
};
