// Layout: the pure geometry of an icon window. Turns the window properties, the kinds of the
// items (separator or not), the text width and the screen size into the cell size, the icon and
// text rectangles inside a cell, the separator size, the client size and every item's position.
// Also the item rectangle, hit testing, the insertion index for a point and the index arithmetic
// of moving one item. No window, no device context: the window measures the names and asks the
// system image list, then hands plain values in here.
#pragma once
#include <windows.h>

#include <span>
#include <vector>

class KivWinProperty;

namespace KivLayout {

// The largest width or height a window is given.
constexpr int MaxWindowSize = 30000;
// IconSize from which the large system image list is used.
constexpr int LargeIconSize = 24;

// ItemTextPlace values.
constexpr int TextPlaceIconOnly = 0;
constexpr int TextPlaceRight = 1;
constexpr int TextPlaceBelow = 2;
constexpr int TextPlaceTextOnly = 3;

// The property values the layout uses, named after their ini keys.
struct LayoutProperties {
    int iconSize = 16;
    int itemTextPlace = TextPlaceRight;
    int textSizeWMin = 16;
    int textSizeWMax = 96;
    int textSizeH = 16;
    int itemBorderWidth = 2;
    int itemBetweenIconText = 2;
    int separatorWidth = 12;
    int betweenIcon = 2;
    int windowBorder = 3;
    int itemArrange = 1;
    int windowSide = 0;
    int column = 1;
    bool turnScreen = false;
    bool needSize = true;
};

// The layout values of a window-property record.
LayoutProperties LayoutPropertiesOf(const KivWinProperty& property);

// The values the routines really use: every size is kept within 0 .. MaxWindowSize, Column is at
// least 1 (it divides), ItemTextPlace is kept within 0 .. 3 and ItemArrange within 0 .. 4 (a value
// outside takes the nearest one). Hand-edited records cannot make the layout divide by zero,
// overflow or produce cells of negative size.
LayoutProperties SanitizeLayoutProperties(const LayoutProperties& properties);

// The arrangement in force: 0 wrapped rows, 1 wrapped columns, 3 fixed rows, 4 fixed columns.
// ItemArrange 2 follows the screen edge: 0 for the top and bottom edges (WindowSide 0 and 3),
// 1 for the left and right ones and for any other WindowSide (placed like the left edge).
// A value outside 0 .. 4 is first taken to the nearest one (below 0 -> 0, above 4 -> 4).
int ResolveItemArrange(int itemArrange, int windowSide);
// Arrangements 0 and 3 fill horizontally, 1 and 4 vertically; any other value is neither.
bool IsHorizontalArrange(int arrange);
bool IsVerticalArrange(int arrange);

// Whether the names need measuring: not when TextSizeWMax equals TextSizeWMin and is not 0.
bool TextWidthNeedsMeasuring(int textSizeWMin, int textSizeWMax);
// The text width T from the widths measured of the names of the items that are not separators:
// TextSizeWMin when no measuring is needed; else the largest of TextSizeWMin and the widths,
// limited to TextSizeWMax unless that is 0 (no upper bound).
int ChooseTextWidth(int textSizeWMin, int textSizeWMax, std::span<const int> measuredWidths);

// A cell: its size, and the icon and text rectangles in cell coordinates.
struct CellGeometry {
    SIZE cellSize{};
    RECT iconRect{};
    RECT textRect{};
};
// The cell for the (sanitized) properties and text width T, by ItemTextPlace.
CellGeometry CalcCellGeometry(const LayoutProperties& properties, int textWidth);

// What an arrangement routine gives.
struct ArrangeResult {
    SIZE clientSize{};
    SIZE separatorSize{};
    // One per item, in list order; (-1, -1) for an item without a cell.
    std::vector<POINT> positions;
};

// The four arrangements over the items' kinds (true: separator), with the cell size and the
// screen size. Each sanitizes the properties itself; with no items each gives the start point's
// box only (use LayoutEmptyFolder for an empty window).
ArrangeResult LayoutWrappedRows(const LayoutProperties& properties, SIZE cellSize,
                                const std::vector<bool>& isSeparator, SIZE screen);
ArrangeResult LayoutWrappedColumns(const LayoutProperties& properties, SIZE cellSize,
                                   const std::vector<bool>& isSeparator, SIZE screen);
// Arrangements 3 and 4 search the smallest column (row) length k >= Column that fits; k stops
// growing at the longest run of items between separators, beyond which nothing changes.
ArrangeResult LayoutFixedRows(const LayoutProperties& properties, SIZE cellSize,
                              const std::vector<bool>& isSeparator, SIZE screen);
ArrangeResult LayoutFixedColumns(const LayoutProperties& properties, SIZE cellSize,
                                 const std::vector<bool>& isSeparator, SIZE screen);

// The client size of a window without items: one cell with the window border around it,
// stretched to the screen width (horizontal arrangement) or height (vertical) unless NeedSize.
SIZE LayoutEmptyFolder(const LayoutProperties& properties, SIZE cellSize, SIZE screen);

// The whole layout of one window.
struct LayoutResult {
    int arrange = 0; // the arrangement in force
    int textWidth = 0;
    SIZE cellSize{};
    RECT iconRect{};
    RECT textRect{};
    SIZE separatorSize{}; // (0, 0) for an empty window
    SIZE clientSize{};
    bool smallIcons = false;      // IconSize below 24: the small system image list
    std::vector<POINT> positions; // one per item
};
// Lays out the items (true: separator) with the text width already chosen (ChooseTextWidth).
LayoutResult LayoutItems(const LayoutProperties& properties, const std::vector<bool>& isSeparator,
                         int textWidth, SIZE screen);

// One item as hit testing and the order operations see it.
struct PlacedItem {
    POINT position{-1, -1};
    bool separator = false;
};

// The client rectangle of an item: (x, y, x + w, y + h) with the separator size for a separator
// and the cell size otherwise; (-1, -1, -1, -1) when the position is (-1, -1).
RECT GetItemRect(PlacedItem item, SIZE cellSize, SIZE separatorSize);
// The same for item `index` of a list; (-1, -1, -1, -1) also for an index outside the list.
RECT GetItemRect(std::span<const PlacedItem> items, int index, SIZE cellSize, SIZE separatorSize);

// The item under a client point: the last item whose rectangle holds it (edges included), -1 when
// none. itemAt(i) gives the PlacedItem of item i.
template <class ItemAt>
int HitTest(int count, POINT p, SIZE cellSize, SIZE separatorSize, ItemAt itemAt) {
    for (int i = count - 1; i >= 0; --i) {
        const PlacedItem item = itemAt(i);
        if (item.position.x == -1 && item.position.y == -1)
            continue;
        const RECT r = GetItemRect(item, cellSize, separatorSize);
        if (r.left <= p.x && p.x <= r.right && r.top <= p.y && p.y <= r.bottom)
            return i;
    }
    return -1;
}
int HitTest(std::span<const PlacedItem> items, POINT p, SIZE cellSize, SIZE separatorSize);

// The insertion index for a client point: of the items whose position lies strictly above and
// left of p (separators and items without a cell included), the one nearest in (p.x - x) +
// (p.y - y), the lowest index on a tie; its index + 1, or 0 when there is none. positionAt(i)
// gives the position of item i.
template <class PositionAt> int GetInsertIndex(int count, POINT p, PositionAt positionAt) {
    int best = -1;
    long long bestDistance = 0;
    for (int i = 0; i < count; ++i) {
        const POINT q = positionAt(i);
        if (!(q.x < p.x && q.y < p.y))
            continue;
        const long long distance =
            (static_cast<long long>(p.x) - q.x) + (static_cast<long long>(p.y) - q.y);
        if (best < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best + 1;
}
int GetInsertIndex(std::span<const POINT> positions, POINT p);

// Where MoveItem puts item `index` of a list of `count` items for the insertion index `insert`
// (an index of the list before the removal, clamped to 0 .. count): the index it has in the list
// after the move. -1 when `index` is not an item of the list (nothing is to move).
int MoveItemTarget(int insert, int index, int count);

} // namespace KivLayout
