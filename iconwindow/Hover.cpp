// KivWindow's poll and hover processing: the frame polls every top window, each poll walks down
// the chain of open sub-folder windows to the window under the cursor, which highlights the item
// under it, scrolls itself when it reaches beyond the screen, and opens or hides sub-folder
// windows. The decisions are those of ShowHide.h; this file reads the cursor, the clock and the
// records, and carries the answers out.
#include "DebugMode.h"
#include "KivParameter.h"
#include "KivWindow.h"
#include "Layout.h"
#include "ShowHide.h"

namespace {

bool IsFolderType(unsigned char type) {
    return type == KivItem::ItemFolder || type == KivItem::ItemVirtualFolder ||
           type == KivItem::ItemFolderLink;
}

} // namespace

bool KivWindow::Poll() {
    if (!window)
        CreateWindow();
    DeletePendingSubFolderWindow();
    if (subWindow && (subWindow->GetStyle(false) & WS_VISIBLE) && subWindow->Poll())
        return true;
    return OnMouseOver(ScreenToClient(GetCursorPoint()));
}

bool KivWindow::OnMouseOver(POINT point) {
    // 1. The item under the cursor. The index changes before the two cells are repainted, so the
    // old one loses its highlight and the new one gets it.
    const int hit = HitTest(point);
    if (hit != hoverIndex) {
        const int old = hoverIndex;
        hoverIndex = hit;
        RepaintItem(old);
        RepaintItem(hit);
        hoverTick = GetTickCount();
    }

    // 2. Only a cursor on the window goes on.
    const POINT screenPoint = ClientToScreen(point);
    const RECT r = GetWindowRect(false);
    if (!KivShowHide::PointInRectInclusive(r, screenPoint))
        return false;

    // 3. A window that reaches beyond the screen scrolls while the cursor is at the screen edge.
    const KivLayout::LayoutProperties layout =
        KivLayout::SanitizeLayoutProperties(KivLayout::LayoutPropertiesOf(property));
    const SIZE screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const KivShowHide::EdgeScroll scroll = KivShowHide::EdgeScrollStep(
        KivLayout::ResolveItemArrange(layout.itemArrange, layout.windowSide), screenPoint, r,
        screen, property.WindowBorder);
    if (scroll.moved) {
        SetWindowRect(scroll.windowRect, SWP_NOOWNERZORDER, nullptr);
        HideSubFolderWindow();
        hoverTick = GetTickCount();
        return true;
    }

    // 4 to 7. Sub-folder windows by hovering.
    KivShowHide::HoverInput in;
    in.hoverIndex = hoverIndex;
    in.noHoverOpenIndex = noHoverOpenIndex;
    in.hoveredIsFolder = hoverIndex >= 0 && hoverIndex < static_cast<int>(items.size()) &&
                         IsFolderType(items[static_cast<size_t>(hoverIndex)].type);
    in.notShowSubFolder = property.NotShowSubFolder;
    if (in.hoveredIsFolder) {
        const KivWinProperty& sub = SubFolderProperty(hoverIndex);
        in.subNotShowWin = sub.NotShowWin;
        in.subClickOpen = sub.IsClickWinOpen();
        in.subShowTime = sub.ShowTime;
    }
    in.subWindowExists = subWindow != nullptr;
    in.subWindowIndex = subWindowIndex;
    in.subLoadInterrupted = subWindow && subWindow->IsLoadInterrupted();
    in.subOpenedByClick = subOpenedByClick;
    in.hoverTick = hoverTick;
    in.now = GetTickCount();
    const KivShowHide::HoverDecision decision = KivShowHide::DecideHover(in);
    noHoverOpenIndex = decision.noHoverOpenIndex;
    switch (decision.action) {
    case KivShowHide::SubFolderAction::Create:
        CreateSubFolderWindow(hoverIndex, true);
        break;
    case KivShowHide::SubFolderAction::Show:
        ShowSubFolderWindow();
        break;
    case KivShowHide::SubFolderAction::Hide:
        HideSubFolderWindow();
        break;
    case KivShowHide::SubFolderAction::None:
        break;
    }
    if (decision.restartHoverTick)
        hoverTick = GetTickCount();
    return true;
}

bool KivWindow::FileStamp::operator==(const FileStamp& other) const {
    return exists == other.exists && sizeLow == other.sizeLow &&
           lastWrite.dwLowDateTime == other.lastWrite.dwLowDateTime &&
           lastWrite.dwHighDateTime == other.lastWrite.dwHighDateTime;
}

KivWindow::FileStamp KivWindow::StampOf(const std::string& file) {
    FileStamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!file.empty() && GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data)) {
        stamp.exists = true;
        stamp.lastWrite = data.ftLastWriteTime;
        stamp.sizeLow = data.nFileSizeLow;
    }
    return stamp;
}

const KivWinProperty& KivWindow::SubFolderProperty(int index) {
    SubRecordCache& cache = subRecordCache;
    const std::string& folder = items[static_cast<size_t>(index)].folderPath;
    if (cache.property && cache.folderPath == folder) {
        bool same = cache.stamps.size() == cache.files.size();
        for (size_t i = 0; same && i < cache.files.size(); ++i)
            same = StampOf(cache.files[i]) == cache.stamps[i];
        if (same)
            return *cache.property;
    }

    // The files the record is read from: the hash file (which also changes when a record is
    // added), the default record and the folder's own record. Their stamps are taken before the
    // record is read, so that a write in between is seen by the next poll.
    cache.folderPath = folder;
    cache.files.clear();
    KivWinProperty names(dataDirectory);
    cache.files.push_back(names.GetHashFileName());
    for (const char* record : {static_cast<const char*>(nullptr), folder.c_str()}) {
        try {
            KivParameterMutex lock;
            names.SetParamKind(record);
            names.MakeParamHash(record, false);
            cache.files.push_back(names.GetParamFileName());
        } catch (const KivParameterException&) {
            cache.files.push_back(std::string()); // no record yet: the hash file tells when
        }
    }
    cache.stamps.clear();
    for (const std::string& file : cache.files)
        cache.stamps.push_back(StampOf(file));
    cache.property.emplace(dataDirectory);
    cache.property->LoadParam(folder.c_str());
    ++cache.loads;
    return *cache.property;
}
