// The property dialog's decisions over plain values: the command line, the mappings between
// controls and record keys, and which controls are enabled.
#pragma once
#include <string>
#include <vector>

// "/QpuvaoTgduauaz5579", data directory, record key, caption name: exactly these four arguments.
struct PropCommandLine {
    bool valid = false;
    std::string dataDirectory;
    std::string folderKey;
    std::string captionName;
};
PropCommandLine ParsePropCommandLine(const std::vector<std::string>& arguments);

// "ItemTextPlace" <-> item of the icon-and-text radio group: 0 <-> 2, 1 <-> 1, 2 <-> 0, 3 <-> 3.
// A value without an item gives -1 (the group is left as it is), and so does no item.
int TextPlaceItem(int itemTextPlace);
int ItemTextPlace(int item);

// The layout radio buttons in their order V1, V2, H1, H2, window position.
enum LayoutButton { LayoutV1 = 0, LayoutV2, LayoutH1, LayoutH2, LayoutByPosition };
// "ItemArrange" 4, 1, 3, 0 choose V1, V2, H1, H2; every other value the window position.
int LayoutButtonOf(int itemArrange);
// The key for the checked layout button; none of the first four gives 2.
int ItemArrangeOf(int layoutButton);

struct EnablingInput {
    int textPlaceItem; // the chosen item of the icon-and-text group, -1 for none
    bool textSizeUnlimited;
    bool fontSizeDefault;
    bool clickWinOpen;
    bool clickWinClose;
    unsigned char kind; // of the record: 0 top folder, 1 other folder, 2 default record
};

struct Enabling {
    bool iconSize, textSizeH, textSizeWMin, textSizeWMax, fontSize, textSizeUnlimited,
        fontSizeDefault;
    bool windowShow, windowHide, notMaxLock, animate, trueHide, show;
    bool operator==(const Enabling&) const = default;
};
Enabling ComputeEnabling(const EnablingInput& input);

// The help context of each page: アイコン, レイアウト, ウィンドウの表示, ファイルリスト, その他.
unsigned long PageHelpContext(int page);
