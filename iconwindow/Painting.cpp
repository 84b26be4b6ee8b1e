// KivWindow::OnPaint: the item cells (border, highlight, text, icon) and the separator lines.
#include "KivWindow.h"

#include <algorithm>

#include "Layout.h"
#include "Ndc.h"

namespace {

// Rectangles touching at an edge count as meeting.
bool Meet(const RECT& a, const RECT& b) {
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

const UINT textBesideFormat =
    DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_EDITCONTROL | DT_END_ELLIPSIS;
const UINT textBelowFormat =
    DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL | DT_END_ELLIPSIS;

// The etched line across the middle of a separator cell, along its long side.
void DrawSeparatorLine(Ndc& dc, bool horizontalArrange, SIZE size) {
    if (horizontalArrange) {
        RECT line{size.cx / 2, 0, size.cx / 2, size.cy};
        dc.DrawEdge(&line, BDR_RAISEDINNER, BF_LEFT);
        dc.DrawEdge(&line, BDR_RAISEDOUTER, BF_RIGHT);
    } else {
        RECT line{0, size.cy / 2, size.cx, size.cy / 2};
        dc.DrawEdge(&line, BDR_RAISEDINNER, BF_TOP);
        dc.DrawEdge(&line, BDR_RAISEDOUTER, BF_BOTTOM);
    }
}

} // namespace

void KivWindow::OnPaint(NPaintDc& dc) {
    const RECT paintRect = dc.GetPaintRect();
    if (dc.MustErase())
        dc.FillRect(&paintRect, NSolidBrush(GetSysColor(COLOR_BTNFACE)));

    // The values the layout used, so that a hand-edited record paints the cells it laid out.
    const KivLayout::LayoutProperties layout =
        KivLayout::SanitizeLayoutProperties(KivLayout::LayoutPropertiesOf(property));
    const int textPlace = layout.itemTextPlace;
    // One icon of the system image list covers IconSize x IconSize pixels of the icon context.
    const int iconSize = layout.iconSize;
    const bool drawIcons = textPlace != KivLayout::TextPlaceTextOnly && iconSize > 0;
    NWindowDc icons(this);
    if (drawIcons) {
        const SIZE source = systemIconSize.cx > 0 && systemIconSize.cy > 0
                                ? systemIconSize
                                : SIZE{iconSize, iconSize};
        icons.SetMapMode(MM_ANISOTROPIC);
        icons.SetWindowExtEx(source);
        icons.SetViewportExtEx(SIZE{iconSize, iconSize});
    }
    dc.SelectObject(NFont(property.FontSize));
    dc.SetBkMode(TRANSPARENT);

    const int arrange = KivLayout::ResolveItemArrange(layout.itemArrange, layout.windowSide);
    const RECT frame{0, 0, cellSize.cx, cellSize.cy};
    const RECT fill{2, 2, cellSize.cx - 2, cellSize.cy - 2};

    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        const KivItem& item = items[static_cast<size_t>(i)];
        if (item.x == -1 && item.y == -1)
            continue;
        const RECT r = GetItemRect(i);
        if (!Meet(r, paintRect))
            continue;
        dc.SetViewportOrgEx(POINT{item.x, item.y});

        if (item.type == KivItem::ItemSeparator) {
            if (property.ShowSeparator)
                DrawSeparatorLine(dc, KivLayout::IsHorizontalArrange(arrange), separatorSize);
            continue;
        }

        if (drawIcons)
            icons.SetViewportOrgEx(POINT{item.x + std::min(iconRect.left, iconRect.right),
                                         item.y + std::min(iconRect.top, iconRect.bottom)});

        int state = 0;
        if (i == moveSourceIndex)
            state = 3;
        else if (i == hoverIndex && hoverIndex == pressedIndex)
            state = 2;
        else if (i == hoverIndex)
            state = 1;
        const bool selected = state != 0;

        RECT edge = frame;
        if ((state == 0 && property.NormalBorder) || (state == 1 && property.SelectBorder)) {
            dc.DrawEdge(&edge, BDR_RAISEDOUTER, BF_MIDDLE | BF_BOTTOMRIGHT);
            edge = frame;
            dc.DrawEdge(&edge, BDR_RAISEDINNER, BF_TOPLEFT);
        } else if (state >= 2 && property.SelectBorder) {
            dc.DrawEdge(&edge, BDR_RAISEDOUTER, BF_FLAT | BF_MIDDLE | BF_RECT);
        }

        if (state >= 2) {
            dc.OffsetViewportOrgEx(POINT{1, 1});
            if (drawIcons)
                icons.OffsetViewportOrgEx(POINT{1, 1});
        }

        const bool coloured = selected ? property.SelectColor : property.NormalColor;
        if (coloured && fill.right > fill.left && fill.bottom > fill.top)
            dc.FillRect(&fill, NSolidBrush(GetSysColor(COLOR_HIGHLIGHT)));
        dc.SetTextColor(GetSysColor(coloured ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));

        RECT text = textRect;
        switch (textPlace) {
        case KivLayout::TextPlaceRight:
        case KivLayout::TextPlaceTextOnly:
            dc.DrawTextEx(item.displayName.c_str(), -1, &text, textBesideFormat, nullptr);
            break;
        case KivLayout::TextPlaceBelow:
            dc.DrawTextEx(item.displayName.c_str(), -1, &text, textBelowFormat, nullptr);
            break;
        default:
            break;
        }

        if (drawIcons) {
            HIMAGELIST list = nullptr;
            const int index = CachedIconIndex(i, list);
            if (list)
                ImageList_Draw(list, index, icons.GetHandle(), 0, 0, ILD_TRANSPARENT);
        }
    }
}
