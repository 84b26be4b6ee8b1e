#include "KivWindow.h"

#include <algorithm>
#include <climits>
#include <span>

#include "DebugMode.h"
#include "FrameMessages.h"
#include "IconOrder.h"
#include "KivIconSortHelper.h"
#include "KivParameter.h"
#include "Layout.h"
#include "Ndc.h"

const RECT KivWindow::neverAbort = {INT_MIN, INT_MIN, INT_MAX, INT_MAX};

namespace {

const DWORD iconWindowStyle = WS_POPUP | WS_VISIBLE | WS_DLGFRAME;

bool Inside(POINT p, const RECT& r) {
    return std::min(r.left, r.right) <= p.x && p.x <= std::max(r.left, r.right) &&
           std::min(r.top, r.bottom) <= p.y && p.y <= std::max(r.top, r.bottom);
}

SIZE ScreenSize() {
    return SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

} // namespace

KivWindow::KivWindow(NWnd* parentWindow, const char* directory, const KivItem& folder)
    : NWnd(parentWindow), cellSize{0, 0}, separatorSize{0, 0}, clientSize{0, 0},
      windowRect{0, 0, 0, 0}, iconRect{0, 0, 0, 0}, textRect{0, 0, 0, 0},
      smallIcons(false), systemIconSize{0, 0}, loadInterrupted(false), subWindow(nullptr),
      subWindowIndex(-1), subOpenedByClick(false), toolTip(nullptr), pendingDelete(nullptr),
      dragSourceActive(false), dropOnFolder(false), menuPoint{-1, -1}, downPoint{-1, -1},
      hoverIndex(-1), pressedIndex(-1), noHoverOpenIndex(-1), hoverTick(0),
      dataDirectory(directory), folderItem(folder), property(directory), openDirection(0),
      moveSourceIndex(-1), menuIndex(-1), iconList(nullptr) {
    debugMode.Printf("KivWindow::KivWindow(this:%llx, TWindow*, const char*:%s,const KivItem& ):1",
                     TraceAddress(this), directory);
    property.LoadParam(folderItem.folderPath.c_str());
    debugMode.Printf("KivWindow::KivWindow(this:%llx):2", TraceAddress(this));
    SetStyle(iconWindowStyle);
    // The two are not combined: the older file drop needs a window that is not a tool window.
    SetExStyle(property.NoOleDnD ? WS_EX_ACCEPTFILES : (WS_EX_TOOLWINDOW | WS_EX_TOPMOST));
    debugMode.Printf("KivWindow::KivWindow(this:%llx):3", TraceAddress(this));
}

KivWindow::~KivWindow() {
    debugMode.Printf("KivWindow::~KivWindow(this:%llx):1", TraceAddress(this));
    DeleteSubFolderWindow();
    delete pendingDelete;
    pendingDelete = nullptr;
    delete toolTip;
    toolTip = nullptr;
    items.clear();
    iconIndexes.clear();
    // Destroyed while this object is whole, so that OnDestroy still reaches it.
    if (OwnsWindow())
        DestroyWindow();
    ForgetHandle();
    debugMode.Printf("KivWindow::~KivWindow(this:%llx):2", TraceAddress(this));
    dropTarget.Release();
    contextMenu.ReleaseAll();
}

LRESULT KivWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_INITMENUPOPUP:
        contextMenu.HandleMenuMsg(message, wParam, lParam);
        return 0;
    case WM_MENUCHAR: {
        LRESULT result = 0;
        contextMenu.HandleMenuMsg2(message, wParam, lParam, &result);
        return result;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        if (toolTip)
            toolTip->RelayEvent(message, wParam, lParam);
        return NWnd::WindowProc(message, wParam, lParam);
    default:
        return NWnd::WindowProc(message, wParam, lParam);
    }
}

void KivWindow::OnCreate() {
    if (property.NoOleDnD)
        DragAcceptFiles(true);
    RebuildToolTips();
}

void KivWindow::OnDestroy() {
    RevokeDragDrop();
    if (property.NoOleDnD)
        DragAcceptFiles(false);
}

void KivWindow::OnSysColorChange() {
    SetClassBackground(GetSysColorBrush(COLOR_BTNFACE));
}

void KivWindow::OnEnterMenuLoop(WPARAM) {
    if (application && application->mainWindow)
        application->mainWindow->SendMessage(UM_MENULOOP, 0, 1);
}

void KivWindow::OnExitMenuLoop(WPARAM) {
    if (application && application->mainWindow)
        application->mainWindow->SendMessage(UM_MENULOOP, 0, 0);
}

void KivWindow::LoadAndLayout(const RECT& abortRect) {
    debugMode.Printf("KivWindow::LoadAndLayout(this:%llx, NRect):1", TraceAddress(this));
    if (!LoadItems(abortRect))
        return;
    debugMode.Printf("KivWindow::LoadAndLayout(this:%llx, NRect):2", TraceAddress(this));
    Layout();
    debugMode.Printf("KivWindow::LoadAndLayout(this:%llx, NRect):3", TraceAddress(this));
}

bool KivWindow::LoadItems(const RECT& abortRect) {
    items.clear();
    ForgetIcons();
    DWORD flags = SHCONTF_FOLDERS;
    if (property.ShowHiddenFile)
        flags |= SHCONTF_INCLUDEHIDDEN;
    if (!property.FolderOnly)
        flags |= SHCONTF_NONFOLDERS;

    OleWrapper<IEnumIDList> enumerator;
    try {
        enumerator = folderItem.GetEnumIDList(window, flags);
    } catch (const std::exception&) {
        // A folder that cannot be listed is shown empty.
        return true;
    }
    if (!enumerator)
        return true;
    // No cursor can leave the rectangle that spans every point; reading the cursor costs a
    // round trip to the window system per item, so it is not read then.
    const RECT spanned = NormalizeRect(abortRect);
    const bool canAbort = !(spanned.left == INT_MIN && spanned.top == INT_MIN &&
                            spanned.right == INT_MAX && spanned.bottom == INT_MAX);
    for (;;) {
        if (canAbort && !Inside(GetCursorPoint(), abortRect)) {
            clientSize = SIZE{0, 0};
            items.clear();
            loadInterrupted = true;
            return false;
        }
        KivPidl child;
        ULONG fetched = 0;
        if (enumerator->Next(1, child.Put(), &fetched) != S_OK || child.IsNull())
            break;
        // Built in place: a copy would clone every list of the item once more.
        items.emplace_back();
        try {
            items.back().SetPathId(folderItem, child);
        } catch (const std::exception&) {
            // An item that cannot be built is left out.
            items.pop_back();
        }
    }
    loadInterrupted = false;
    return true;
}

void KivWindow::ApplyIconOrder() {
    ::ApplyIconOrder(items, folderItem.folderPath, dataDirectory);
}

void KivWindow::MeasureCells() {
    const KivLayout::LayoutProperties layout =
        KivLayout::SanitizeLayoutProperties(KivLayout::LayoutPropertiesOf(property));
    int textWidth = layout.textSizeWMin;
    if (KivLayout::TextWidthNeedsMeasuring(layout.textSizeWMin, layout.textSizeWMax)) {
        std::vector<int> widths;
        widths.reserve(items.size());
        NWindowDc screen(nullptr);
        screen.SelectObject(NFont(property.FontSize));
        for (const KivItem& item : items) {
            if (item.type == KivItem::ItemSeparator)
                continue;
            widths.push_back(static_cast<int>(
                screen
                    .GetTextExtentPoint32(item.displayName.c_str(),
                                          static_cast<int>(item.displayName.size()))
                    .cx));
        }
        textWidth = KivLayout::ChooseTextWidth(layout.textSizeWMin, layout.textSizeWMax, widths);
    }
    const KivLayout::CellGeometry cell = KivLayout::CalcCellGeometry(layout, textWidth);
    cellSize = cell.cellSize;
    iconRect = cell.iconRect;
    textRect = cell.textRect;
}

void KivWindow::Layout() {
    debugMode.Printf("KivWindow::Layout(this:%llx):1", TraceAddress(this));
    ApplyIconOrder();
    // The order may have changed: the icons are asked again when they are painted.
    ForgetIcons();
    debugMode.Printf("KivWindow::Layout(this:%llx):2", TraceAddress(this));
    MeasureCells();
    debugMode.Printf("KivWindow::Layout(this:%llx):3", TraceAddress(this));
    smallIcons = property.IconSize < KivLayout::LargeIconSize;

    SHFILEINFOA info{};
    const KivPidl& shown = folderItem.folderPidl.IsNull() ? folderItem.pidl : folderItem.folderPidl;
    UINT flags = SHGFI_SYSICONINDEX | SHGFI_PIDL;
    if (smallIcons)
        flags |= SHGFI_SMALLICON;
    const auto list = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA(reinterpret_cast<LPCSTR>(shown.Get()), 0, &info, sizeof(info), flags));
    int iconWidth = 0, iconHeight = 0;
    if (list && ImageList_GetIconSize(list, &iconWidth, &iconHeight))
        systemIconSize = SIZE{iconWidth, iconHeight};
    else
        systemIconSize = SIZE{0, 0};

    const KivLayout::LayoutProperties layout =
        KivLayout::SanitizeLayoutProperties(KivLayout::LayoutPropertiesOf(property));
    const SIZE screen = ScreenSize();
    if (items.empty()) {
        clientSize = KivLayout::LayoutEmptyFolder(layout, cellSize, screen);
        debugMode.Printf("KivWindow::Layout(this:%llx):4", TraceAddress(this));
        return;
    }
    std::vector<bool> isSeparator(items.size());
    for (size_t i = 0; i < items.size(); ++i)
        isSeparator[i] = items[i].type == KivItem::ItemSeparator;
    KivLayout::ArrangeResult result;
    switch (KivLayout::ResolveItemArrange(layout.itemArrange, layout.windowSide)) {
    case 0:
        result = KivLayout::LayoutWrappedRows(layout, cellSize, isSeparator, screen);
        break;
    case 1:
        result = KivLayout::LayoutWrappedColumns(layout, cellSize, isSeparator, screen);
        break;
    case 3:
        result = KivLayout::LayoutFixedRows(layout, cellSize, isSeparator, screen);
        break;
    default:
        result = KivLayout::LayoutFixedColumns(layout, cellSize, isSeparator, screen);
        break;
    }
    clientSize = result.clientSize;
    separatorSize = result.separatorSize;
    for (size_t i = 0; i < items.size(); ++i) {
        const POINT p = i < result.positions.size() ? result.positions[i] : POINT{-1, -1};
        items[i].x = p.x;
        items[i].y = p.y;
    }
    debugMode.Printf("KivWindow::Layout(this:%llx):5", TraceAddress(this));
    RebuildToolTips();
    debugMode.Printf("KivWindow::Layout(this:%llx):6", TraceAddress(this));
}

void KivWindow::SaveIconOrder() {
    KivIconSortHelper<std::string> order(dataDirectory);
    order.names.reserve(items.size());
    for (const KivItem& item : items)
        order.names.push_back(item.parsingName);
    order.SaveParam(folderItem.folderPath.c_str());
}

void KivWindow::SwapItems(int a, int b) {
    const int n = static_cast<int>(items.size());
    if (a < 0 || a >= n || b < 0 || b >= n)
        return;
    std::swap(items[a], items[b]);
    if (static_cast<int>(iconIndexes.size()) == n)
        std::swap(iconIndexes[a], iconIndexes[b]);
    SaveIconOrder();
}

void KivWindow::MoveItem(int insert, int index) {
    const int n = static_cast<int>(items.size());
    const int target = KivLayout::MoveItemTarget(insert, index, n);
    if (target < 0)
        return;
    // Rotating moves the item and keeps the others in their order.
    auto rotate = [&](auto& list) {
        if (target < index)
            std::rotate(list.begin() + target, list.begin() + index, list.begin() + index + 1);
        else if (target > index)
            std::rotate(list.begin() + index, list.begin() + index + 1, list.begin() + target + 1);
    };
    rotate(items);
    if (static_cast<int>(iconIndexes.size()) == n)
        rotate(iconIndexes);
    SaveIconOrder();
}

void KivWindow::ReserveOrderSlots(POINT point, int count, const char* name) {
    // One lock for the test and the write, so that no other program's order slips in between.
    KivParameterMutex lock;
    KivIconSortHelper<std::string> order(dataDirectory);
    if (!order.ExistsParam(folderItem.folderPath.c_str()))
        return;
    for (const KivItem& item : items)
        order.names.push_back(item.parsingName);
    const int k = std::clamp(GetInsertIndex(point), 0, static_cast<int>(order.names.size()));
    order.names.insert(order.names.begin() + k, static_cast<size_t>(std::max(count, 0)),
                       std::string(name ? name : ""));
    order.SaveParam(folderItem.folderPath.c_str());
}

int KivWindow::GetInsertIndex(POINT point) const {
    return KivLayout::GetInsertIndex(static_cast<int>(items.size()), point, [&](int i) {
        return POINT{items[static_cast<size_t>(i)].x, items[static_cast<size_t>(i)].y};
    });
}

void KivWindow::RebuildToolTips() {
    delete toolTip;
    toolTip = nullptr;
    toolTip = new NToolTip(this);
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].type == KivItem::ItemSeparator)
            continue;
        toolTip->AddTool(GetItemRect(static_cast<int>(i)), i, items[i].displayName.c_str());
    }
}

RECT KivWindow::GetItemRect(int index) const {
    if (index < 0 || index >= static_cast<int>(items.size()))
        return RECT{-1, -1, -1, -1};
    const KivItem& item = items[static_cast<size_t>(index)];
    return KivLayout::GetItemRect(
        KivLayout::PlacedItem{POINT{item.x, item.y}, item.type == KivItem::ItemSeparator}, cellSize,
        separatorSize);
}

int KivWindow::HitTest(POINT point) const {
    return KivLayout::HitTest(static_cast<int>(items.size()), point, cellSize, separatorSize,
                              [&](int i) {
                                  const KivItem& item = items[static_cast<size_t>(i)];
                                  return KivLayout::PlacedItem{POINT{item.x, item.y},
                                                               item.type == KivItem::ItemSeparator};
                              });
}

int KivWindow::FindItemByPath(const char* path) const {
    KivPidl wanted;
    try {
        wanted = KivPidl(path);
    } catch (const std::exception&) {
        return -1;
    }
    for (int i = static_cast<int>(items.size()) - 1; i >= 0; --i) {
        if (items[static_cast<size_t>(i)].pidl == wanted)
            return i;
    }
    return -1;
}

int KivWindow::GetCachedIconCount() const {
    return static_cast<int>(
        std::count_if(iconIndexes.begin(), iconIndexes.end(), [](int i) { return i >= 0; }));
}

int KivWindow::CachedIconIndex(int index, HIMAGELIST& list) {
    if (iconIndexes.size() != items.size())
        iconIndexes.assign(items.size(), -1);
    int& cached = iconIndexes[static_cast<size_t>(index)];
    if (cached < 0 || !iconList) {
        HIMAGELIST asked = nullptr;
        cached = items[static_cast<size_t>(index)].GetIconImage(asked, smallIcons);
        if (asked)
            iconList = asked;
    }
    list = iconList;
    return cached;
}

void KivWindow::ForgetIcons() {
    iconIndexes.clear();
    iconList = nullptr;
}
