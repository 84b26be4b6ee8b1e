#include "RenamePlacement.h"

POINT PlaceInWorkArea(POINT cursor, SIZE form, const RECT& workArea) {
    POINT corner = cursor;
    if (corner.x + form.cx > workArea.right)
        corner.x = workArea.right - form.cx;
    if (corner.x < workArea.left)
        corner.x = workArea.left;
    if (corner.y + form.cy > workArea.bottom)
        corner.y = workArea.bottom - form.cy;
    if (corner.y < workArea.top)
        corner.y = workArea.top;
    return corner;
}
