#include "Layout.h"

#include <algorithm>
#include <climits>

#include "KivWinProperty.h"

namespace KivLayout {

namespace {

int ClampInt(long long value, long long low, long long high) {
    return static_cast<int>(std::clamp(value, low, high));
}

// Coordinates are worked out in 64 bits and only then narrowed, so no sum of sizes can wrap.
LONG Narrow(long long value) {
    return static_cast<LONG>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// The smallest rectangle holding the start point (WB, WB) and every rectangle added.
class BoundingBox {
public:
    explicit BoundingBox(long long border)
        : left(border), top(border), right(border), bottom(border) {}
    void Add(long long l, long long t, long long r, long long b) {
        left = std::min(left, l);
        top = std::min(top, t);
        right = std::max(right, r);
        bottom = std::max(bottom, b);
    }
    long long Width() const { return right - left; }
    long long Height() const { return bottom - top; }

private:
    long long left, top, right, bottom;
};

// The cell of an item along the direction a routine fills.
struct Sizes {
    long long cw, ch, s, bi, wb, sw, sh;
};

Sizes SizesOf(const LayoutProperties& p, SIZE cellSize, SIZE screen) {
    return {cellSize.cx,    cellSize.cy, p.separatorWidth, p.betweenIcon,
            p.windowBorder, screen.cx,   screen.cy};
}

// The longest run of items between separators: from this column (row) length on, a larger one
// lays the items out the same way.
int LongestRun(const std::vector<bool>& isSeparator) {
    int longest = 0;
    int run = 0;
    for (bool separator : isSeparator) {
        run = separator ? 0 : run + 1;
        longest = std::max(longest, run);
    }
    return longest;
}

std::vector<POINT> Unplaced(size_t count) {
    return std::vector<POINT>(count, POINT{-1, -1});
}

} // namespace

LayoutProperties LayoutPropertiesOf(const KivWinProperty& property) {
    LayoutProperties p;
    p.iconSize = property.IconSize;
    p.itemTextPlace = property.ItemTextPlace;
    p.textSizeWMin = property.TextSizeWMin;
    p.textSizeWMax = property.TextSizeWMax;
    p.textSizeH = property.TextSizeH;
    p.itemBorderWidth = property.ItemBorderWidth;
    p.itemBetweenIconText = property.ItemBetweenIconText;
    p.separatorWidth = property.SeparatorWidth;
    p.betweenIcon = property.BetweenIcon;
    p.windowBorder = property.WindowBorder;
    p.itemArrange = property.ItemArrange;
    p.windowSide = property.WindowSide;
    p.column = property.Column;
    p.turnScreen = property.TurnScreen;
    p.needSize = property.NeedSize;
    return p;
}

LayoutProperties SanitizeLayoutProperties(const LayoutProperties& properties) {
    LayoutProperties p = properties;
    for (int* size :
         {&p.iconSize, &p.textSizeWMin, &p.textSizeWMax, &p.textSizeH, &p.itemBorderWidth,
          &p.itemBetweenIconText, &p.separatorWidth, &p.betweenIcon, &p.windowBorder})
        *size = ClampInt(*size, 0, MaxWindowSize);
    p.itemTextPlace = ClampInt(p.itemTextPlace, TextPlaceIconOnly, TextPlaceTextOnly);
    p.itemArrange = ClampInt(p.itemArrange, 0, 4);
    p.column = std::max(p.column, 1);
    return p;
}

int ResolveItemArrange(int itemArrange, int windowSide) {
    const int arrange = ClampInt(itemArrange, 0, 4);
    if (arrange != 2)
        return arrange;
    return (windowSide == 0 || windowSide == 3) ? 0 : 1;
}

bool IsHorizontalArrange(int arrange) {
    return arrange == 0 || arrange == 3;
}

bool IsVerticalArrange(int arrange) {
    return arrange == 1 || arrange == 4;
}

bool TextWidthNeedsMeasuring(int textSizeWMin, int textSizeWMax) {
    return !(textSizeWMax == textSizeWMin && textSizeWMax != 0);
}

int ChooseTextWidth(int textSizeWMin, int textSizeWMax, std::span<const int> measuredWidths) {
    if (!TextWidthNeedsMeasuring(textSizeWMin, textSizeWMax))
        return textSizeWMin;
    int width = textSizeWMin;
    for (int measured : measuredWidths)
        width = std::max(width, measured);
    if (textSizeWMax != 0)
        width = std::min(width, textSizeWMax);
    return width;
}

CellGeometry CalcCellGeometry(const LayoutProperties& properties, int textWidth) {
    const LayoutProperties p = SanitizeLayoutProperties(properties);
    const int i = p.iconSize;
    const int t = ClampInt(textWidth, 0, MaxWindowSize);
    const int th = p.textSizeH;
    const int b = p.itemBorderWidth;
    const int g = p.itemBetweenIconText;
    CellGeometry cell;
    switch (p.itemTextPlace) {
    case TextPlaceIconOnly:
        cell.cellSize = {i + 2 * b, i + 2 * b};
        cell.iconRect = {b, b, b + i, b + i};
        cell.textRect = {0, 0, 0, 0};
        break;
    case TextPlaceRight: {
        cell.cellSize = {i + t + g + 2 * b, std::max(i, th) + 2 * b};
        const int iconTop = i < th ? b + (th - i) / 2 : b;
        const int textTop = i < th ? b : b + (i - th) / 2;
        cell.iconRect = {b, iconTop, b + i, iconTop + i};
        cell.textRect = {b + i + g, textTop, b + i + g + t, textTop + th};
        break;
    }
    case TextPlaceBelow: {
        cell.cellSize = {std::max(i, t) + 2 * b, i + th + g + 2 * b};
        const int iconLeft = i < t ? b + (t - i) / 2 : b;
        const int textLeft = i < t ? b : b + (i - t) / 2;
        cell.iconRect = {iconLeft, b, iconLeft + i, b + i};
        cell.textRect = {textLeft, b + i + g, textLeft + t, b + i + g + th};
        break;
    }
    default: // TextPlaceTextOnly
        cell.cellSize = {t + 2 * b, th + 2 * b};
        cell.iconRect = {0, 0, 0, 0};
        cell.textRect = {b, b, b + t, b + th};
        break;
    }
    return cell;
}

ArrangeResult LayoutWrappedRows(const LayoutProperties& properties, SIZE cellSize,
                                const std::vector<bool>& isSeparator, SIZE screen) {
    const LayoutProperties p = SanitizeLayoutProperties(properties);
    const Sizes z = SizesOf(p, cellSize, screen);
    long long sum = 0;
    for (bool separator : isSeparator)
        sum += (separator ? z.s : z.cw) + z.bi;
    long long limit = 2 * z.wb + sum / p.column;
    limit = std::min<long long>(limit, p.turnScreen ? z.sw : MaxWindowSize);

    ArrangeResult result;
    result.positions = Unplaced(isSeparator.size());
    BoundingBox box(z.wb);
    long long x = z.wb, y = z.wb;
    for (size_t n = 0; n < isSeparator.size(); ++n) {
        const long long w = isSeparator[n] ? z.s : z.cw;
        if (x + w >= limit - z.wb) {
            x = z.wb;
            y += z.ch + z.bi;
            if (y >= z.sh - z.wb)
                break; // this item and all after it stay without a cell
        }
        if (isSeparator[n]) {
            result.positions[n] = {Narrow(x), Narrow(y - z.bi / 2)};
            box.Add(x, y, x + z.s, y + z.ch);
            x += z.s + z.bi;
        } else {
            result.positions[n] = {Narrow(x), Narrow(y)};
            box.Add(x, y, x + z.cw, y + z.ch);
            x += z.cw + z.bi;
        }
    }
    long long width = box.Width() + 2 * z.wb;
    const long long height = box.Height() + 2 * z.wb;
    if (!p.needSize)
        width = std::max(width, z.sw);
    result.clientSize = {Narrow(width), Narrow(height)};
    result.separatorSize = {Narrow(z.s), Narrow(z.ch + z.bi)};
    return result;
}

ArrangeResult LayoutWrappedColumns(const LayoutProperties& properties, SIZE cellSize,
                                   const std::vector<bool>& isSeparator, SIZE screen) {
    const LayoutProperties p = SanitizeLayoutProperties(properties);
    const Sizes z = SizesOf(p, cellSize, screen);
    long long sum = 0;
    for (bool separator : isSeparator)
        sum += (separator ? z.s : z.ch) + z.bi;
    long long limit = 2 * z.wb + sum / p.column;
    limit = std::min<long long>(limit, p.turnScreen ? z.sh : MaxWindowSize);

    ArrangeResult result;
    result.positions = Unplaced(isSeparator.size());
    BoundingBox box(z.wb);
    long long x = z.wb, y = z.wb;
    for (size_t n = 0; n < isSeparator.size(); ++n) {
        const long long h = isSeparator[n] ? z.s : z.ch;
        if (y + h >= limit - z.wb) {
            y = z.wb;
            x += z.cw + z.bi;
            if (x >= z.sw - z.wb)
                break;
        }
        if (isSeparator[n]) {
            result.positions[n] = {Narrow(x - z.bi / 2), Narrow(y)};
            box.Add(x, y, x + z.cw, y + z.s);
            y += z.s + z.bi;
        } else {
            result.positions[n] = {Narrow(x), Narrow(y)};
            box.Add(x, y, x + z.cw, y + z.ch);
            y += z.ch + z.bi;
        }
    }
    const long long width = box.Width() + 2 * z.wb;
    long long height = box.Height() + 2 * z.wb;
    if (!p.needSize)
        height = std::max(height, z.sh);
    result.clientSize = {Narrow(width), Narrow(height)};
    result.separatorSize = {Narrow(z.cw + z.bi), Narrow(z.s)};
    return result;
}

ArrangeResult LayoutFixedRows(const LayoutProperties& properties, SIZE cellSize,
                              const std::vector<bool>& isSeparator, SIZE screen) {
    const LayoutProperties p = SanitizeLayoutProperties(properties);
    const Sizes z = SizesOf(p, cellSize, screen);
    const int lastK = std::max(p.column, LongestRun(isSeparator));

    ArrangeResult result;
    result.positions = Unplaced(isSeparator.size());
    long long width = 0, height = 0;
    for (int k = p.column;; ++k) {
        BoundingBox box(z.wb);
        long long x = z.wb, y = z.wb;
        int c = 0;
        for (size_t n = 0; n < isSeparator.size(); ++n) {
            if (isSeparator[n]) {
                if (c != 0) {
                    x += z.cw + z.bi;
                    y = z.wb;
                }
                result.positions[n] = {Narrow(x), Narrow(y)};
                box.Add(x, y, x + z.s, y + 1);
                c = 0;
                x += z.s; // the next column starts right after the separator
            } else {
                result.positions[n] = {Narrow(x), Narrow(y)};
                box.Add(x, y, x + z.cw, y + z.ch);
                if (++c < k) {
                    y += z.ch + z.bi;
                } else {
                    c = 0;
                    x += z.cw + z.bi;
                    y = z.wb;
                }
            }
        }
        width = box.Width() + 2 * z.wb;
        height = box.Height() + 2 * z.wb;
        if (height > z.sh)
            break;
        if (width <= (p.turnScreen ? z.sw : MaxWindowSize))
            break;
        if (k >= lastK)
            break; // a longer column changes nothing
    }
    if (!p.needSize)
        width = std::max(width, z.sw);
    width = std::min<long long>(width, MaxWindowSize);
    height = std::min<long long>(height, MaxWindowSize);
    result.clientSize = {Narrow(width), Narrow(height)};
    result.separatorSize = {Narrow(z.s), Narrow(height - 2 * z.wb)};
    return result;
}

ArrangeResult LayoutFixedColumns(const LayoutProperties& properties, SIZE cellSize,
                                 const std::vector<bool>& isSeparator, SIZE screen) {
    const LayoutProperties p = SanitizeLayoutProperties(properties);
    const Sizes z = SizesOf(p, cellSize, screen);
    const int lastK = std::max(p.column, LongestRun(isSeparator));

    ArrangeResult result;
    result.positions = Unplaced(isSeparator.size());
    long long width = 0, height = 0;
    for (int k = p.column;; ++k) {
        BoundingBox box(z.wb);
        long long x = z.wb, y = z.wb;
        int c = 0;
        for (size_t n = 0; n < isSeparator.size(); ++n) {
            if (isSeparator[n]) {
                if (c != 0) {
                    x = z.wb;
                    y += z.ch + z.bi;
                }
                result.positions[n] = {Narrow(x), Narrow(y)};
                box.Add(x, y, x + 1, y + z.s);
                c = 0;
                y += z.s; // the next row starts right below the separator
            } else {
                result.positions[n] = {Narrow(x), Narrow(y)};
                box.Add(x, y, x + z.cw, y + z.ch);
                if (++c < k) {
                    x += z.cw + z.bi;
                } else {
                    c = 0;
                    x = z.wb;
                    y += z.ch + z.bi;
                }
            }
        }
        width = box.Width() + 2 * z.wb;
        height = box.Height() + 2 * z.wb;
        if (width > z.sw)
            break;
        if (height <= (p.turnScreen ? z.sh : MaxWindowSize))
            break;
        if (k >= lastK)
            break; // a longer row changes nothing
    }
    if (!p.needSize)
        height = std::max(height, z.sh);
    width = std::min<long long>(width, MaxWindowSize);
    height = std::min<long long>(height, MaxWindowSize);
    result.clientSize = {Narrow(width), Narrow(height)};
    result.separatorSize = {Narrow(width - 2 * z.wb), Narrow(z.s)};
    return result;
}

SIZE LayoutEmptyFolder(const LayoutProperties& properties, SIZE cellSize, SIZE screen) {
    const LayoutProperties p = SanitizeLayoutProperties(properties);
    long long width = static_cast<long long>(cellSize.cx) + 2 * p.windowBorder;
    long long height = static_cast<long long>(cellSize.cy) + 2 * p.windowBorder;
    if (!p.needSize) {
        const int arrange = ResolveItemArrange(p.itemArrange, p.windowSide);
        if (IsHorizontalArrange(arrange))
            width = std::max<long long>(width, screen.cx);
        else
            height = std::max<long long>(height, screen.cy);
    }
    return {Narrow(width), Narrow(height)};
}

LayoutResult LayoutItems(const LayoutProperties& properties, const std::vector<bool>& isSeparator,
                         int textWidth, SIZE screen) {
    const LayoutProperties p = SanitizeLayoutProperties(properties);
    LayoutResult result;
    result.arrange = ResolveItemArrange(p.itemArrange, p.windowSide);
    result.textWidth = ClampInt(textWidth, 0, MaxWindowSize);
    const CellGeometry cell = CalcCellGeometry(p, result.textWidth);
    result.cellSize = cell.cellSize;
    result.iconRect = cell.iconRect;
    result.textRect = cell.textRect;
    result.smallIcons = p.iconSize < LargeIconSize;
    if (isSeparator.empty()) {
        result.clientSize = LayoutEmptyFolder(p, result.cellSize, screen);
        return result;
    }
    ArrangeResult arranged;
    switch (result.arrange) {
    case 0:
        arranged = LayoutWrappedRows(p, result.cellSize, isSeparator, screen);
        break;
    case 1:
        arranged = LayoutWrappedColumns(p, result.cellSize, isSeparator, screen);
        break;
    case 3:
        arranged = LayoutFixedRows(p, result.cellSize, isSeparator, screen);
        break;
    default: // 4; ResolveItemArrange gives nothing else
        arranged = LayoutFixedColumns(p, result.cellSize, isSeparator, screen);
        break;
    }
    result.clientSize = arranged.clientSize;
    result.separatorSize = arranged.separatorSize;
    result.positions = std::move(arranged.positions);
    return result;
}

RECT GetItemRect(PlacedItem item, SIZE cellSize, SIZE separatorSize) {
    if (item.position.x == -1 && item.position.y == -1)
        return {-1, -1, -1, -1};
    const SIZE size = item.separator ? separatorSize : cellSize;
    return {item.position.x, item.position.y,
            Narrow(static_cast<long long>(item.position.x) + size.cx),
            Narrow(static_cast<long long>(item.position.y) + size.cy)};
}

RECT GetItemRect(std::span<const PlacedItem> items, int index, SIZE cellSize, SIZE separatorSize) {
    if (index < 0 || static_cast<size_t>(index) >= items.size())
        return {-1, -1, -1, -1};
    return GetItemRect(items[index], cellSize, separatorSize);
}

int HitTest(std::span<const PlacedItem> items, POINT p, SIZE cellSize, SIZE separatorSize) {
    return HitTest(static_cast<int>(items.size()), p, cellSize, separatorSize,
                   [&](int i) { return items[i]; });
}

int GetInsertIndex(std::span<const POINT> positions, POINT p) {
    return GetInsertIndex(static_cast<int>(positions.size()), p,
                          [&](int i) { return positions[i]; });
}

int MoveItemTarget(int insert, int index, int count) {
    if (index < 0 || index >= count)
        return -1;
    insert = std::clamp(insert, 0, count);
    return index < insert ? insert - 1 : insert;
}

} // namespace KivLayout
