// KivWinProperty: the window-property record of one folder (type "wpr"): how its icon window
// looks and behaves, plus the global tuning values that only the default record carries.
#pragma once
#include <string>

#include "KivParameter.h"

// The section that holds the values: one for all screens, or one per screen size.
std::string ValueSectionName(bool eachScreen, int screenWidth, int screenHeight);

class KivWinProperty : public KivParameter {
public:
    // Every field bears the name of its key.
    bool EachScreen;
    signed char WindowSide;
    int WinSideOffset;
    bool TrueHide;
    bool MaxLock;
    int HideTime;
    bool AnimateSH;
    bool NotShowWin;
    bool FolderOnly;
    bool ClickWinOpen;
    bool ClickWinClose;
    bool NeedSize;
    int ShowTime;
    signed char ItemArrange;
    signed char ItemTextPlace;
    int Column;
    bool NormalBorder;
    bool NormalColor;
    bool SelectBorder;
    bool SelectColor;
    int IconSize;
    int TextSizeWMin;
    int TextSizeWMax;
    int TextSizeH;
    int FontSize;
    bool TurnScreen;
    bool ShowHiddenFile;
    bool ShowSeparator;
    bool NoOleDnD;
    bool NotHideOnIconClick;
    bool NotShowSubFolder;
    bool NoEmptySubFolder;
    // Global values: written to and read from the default record only.
    int ItemBorderWidth;
    int SeparatorWidth;
    int ItemBetweenIconText;
    int WindowBorder;
    int BetweenIcon;
    int TimerTimeOut;
    int SmallWindowWidth;
    int AnimateSHWait;
    bool DisableDragStart;

    explicit KivWinProperty(const char* dataDirectory);

    void WriteValues() override;
    void ReadValues() override;
    void SetDefaultValues() override;

    // The arrangement in force: 2 follows the window's screen edge.
    signed char GetItemArrange() const;
    // A top window hidden completely cannot be clicked open.
    bool IsClickWinOpen() const;

private:
    std::string CurrentValueSection() const;
    void ReadFlag(const char* section, const char* key, bool& field);
    void ReadSmall(const char* section, const char* key, signed char& field);
    void ReadInt(const char* section, const char* key, int& field);
};
