#include "PropertyLogic.h"

PropCommandLine ParsePropCommandLine(const std::vector<std::string>& arguments) {
    PropCommandLine line;
    if (arguments.size() != 4 || arguments[0] != "/QpuvaoTgduauaz5579")
        return line;
    line.valid = true;
    line.dataDirectory = arguments[1];
    line.folderKey = arguments[2];
    line.captionName = arguments[3];
    return line;
}

int TextPlaceItem(int itemTextPlace) {
    switch (itemTextPlace) {
    case 0:
        return 2;
    case 1:
        return 1;
    case 2:
        return 0;
    case 3:
        return 3;
    default:
        return -1;
    }
}

int ItemTextPlace(int item) {
    return TextPlaceItem(item); // the mapping is its own inverse
}

int LayoutButtonOf(int itemArrange) {
    switch (itemArrange) {
    case 4:
        return LayoutV1;
    case 1:
        return LayoutV2;
    case 3:
        return LayoutH1;
    case 0:
        return LayoutH2;
    default:
        return LayoutByPosition;
    }
}

int ItemArrangeOf(int layoutButton) {
    switch (layoutButton) {
    case LayoutV1:
        return 4;
    case LayoutV2:
        return 1;
    case LayoutH1:
        return 3;
    case LayoutH2:
        return 0;
    default:
        return 2;
    }
}

Enabling ComputeEnabling(const EnablingInput& in) {
    Enabling e{};
    const bool iconOnly = in.textPlaceItem == 2;
    e.iconSize = in.textPlaceItem != 3 && in.textPlaceItem != -1;
    e.textSizeH = e.textSizeWMin = e.textSizeUnlimited = e.fontSizeDefault = !iconOnly;
    e.textSizeWMax = !iconOnly && !in.textSizeUnlimited;
    e.fontSize = !iconOnly && !in.fontSizeDefault;
    e.windowShow = !in.clickWinOpen;
    switch (in.kind) {
    case 0:
        e.notMaxLock = e.animate = e.trueHide = true;
        e.show = false;
        e.windowHide = !in.clickWinClose;
        break;
    case 1:
        e.windowHide = e.notMaxLock = e.animate = e.trueHide = false;
        e.show = true;
        break;
    default:
        e.notMaxLock = e.animate = e.trueHide = e.show = true;
        e.windowHide = !in.clickWinClose;
        break;
    }
    return e;
}

unsigned long PageHelpContext(int page) {
    static const unsigned long contexts[] = {6, 2, 37, 5, 38};
    return page >= 0 && page < 5 ? contexts[page] : contexts[0];
}
