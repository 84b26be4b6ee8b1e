#include "KivWinProperty.h"

#include <cstdio>

namespace {

const char allSection[] = "All";
const int writtenVersion = 201;
const int currentDataVersion = 202;
// Files of these data versions keep the click and text-width settings under older keys.
const int clickOpenDataVersion = 201;
const int textSizeWDataVersion = 200;

} // namespace

std::string ValueSectionName(bool eachScreen, int screenWidth, int screenHeight) {
    if (!eachScreen)
        return "AllResolution";
    char name[64];
    std::snprintf(name, sizeof(name), "Resolution(%d,%d)", screenWidth, screenHeight);
    return name;
}

KivWinProperty::KivWinProperty(const char* dataDirectory) : KivParameter(dataDirectory, "wpr") {
    // Defined values from the start, even for a caller that reads before it loads.
    KivWinProperty::SetDefaultValues();
}

void KivWinProperty::SetDefaultValues() {
    const bool top = kind == ParamKindTop;
    EachScreen = false;
    WindowSide = 0;
    WinSideOffset = 0;
    TrueHide = false;
    MaxLock = false;
    HideTime = 0;
    AnimateSH = false;
    NotShowWin = false;
    FolderOnly = false;
    ClickWinOpen = false;
    ClickWinClose = false;
    NeedSize = !top;
    ShowTime = 0;
    ItemArrange = top ? 2 : 1;
    ItemTextPlace = top ? 2 : 1;
    Column = 1;
    NormalBorder = false;
    NormalColor = false;
    SelectBorder = true;
    SelectColor = false;
    IconSize = top ? 32 : 16;
    TextSizeWMin = top ? 64 : 16;
    TextSizeWMax = top ? 64 : 96;
    TextSizeH = top ? 32 : 16;
    FontSize = 0;
    TurnScreen = false;
    ShowHiddenFile = false;
    ShowSeparator = false;
    NoOleDnD = false;
    NotHideOnIconClick = false;
    NotShowSubFolder = false;
    NoEmptySubFolder = true;
    ItemBorderWidth = 2;
    SeparatorWidth = 12;
    ItemBetweenIconText = 2;
    WindowBorder = 3;
    BetweenIcon = 2;
    TimerTimeOut = 100;
    SmallWindowWidth = 3;
    AnimateSHWait = 7;
    DisableDragStart = false;
}

std::string KivWinProperty::CurrentValueSection() const {
    return ValueSectionName(EachScreen, GetSystemMetrics(SM_CXSCREEN),
                            GetSystemMetrics(SM_CYSCREEN));
}

void KivWinProperty::WriteValues() {
    WritePrivateProfileInt(allSection, "Version", writtenVersion);
    WritePrivateProfileInt(allSection, "DataVersion", currentDataVersion);
    WritePrivateProfileInt(allSection, "EachScreen", EachScreen);

    const std::string sectionName = CurrentValueSection();
    const char* section = sectionName.c_str();
    if (kind == ParamKindTop || kind == ParamKindDefault) {
        WritePrivateProfileInt(section, "WindowSide", WindowSide);
        WritePrivateProfileInt(section, "WinSideOffset", WinSideOffset);
        WritePrivateProfileInt(section, "TrueHide", TrueHide);
        WritePrivateProfileInt(section, "MaxLock", MaxLock);
        WritePrivateProfileInt(section, "HideTime", HideTime);
        WritePrivateProfileInt(section, "AnimateSH", AnimateSH);
    }
    if (kind == ParamKindOther || kind == ParamKindDefault)
        WritePrivateProfileInt(section, "NotShowWin", NotShowWin);
    WritePrivateProfileInt(section, "FolderOnly", FolderOnly);
    WritePrivateProfileInt(section, "ClickWinOpen", ClickWinOpen);
    WritePrivateProfileInt(section, "ClickWinClose", ClickWinClose);
    WritePrivateProfileInt(section, "NeedSize", NeedSize);
    WritePrivateProfileInt(section, "ShowTime", ShowTime);
    WritePrivateProfileInt(section, "ItemArrange", ItemArrange);
    WritePrivateProfileInt(section, "ItemTextPlace", ItemTextPlace);
    WritePrivateProfileInt(section, "Column", Column);
    WritePrivateProfileInt(section, "NormalBorder", NormalBorder);
    WritePrivateProfileInt(section, "NormalColor", NormalColor);
    WritePrivateProfileInt(section, "SelectBorder", SelectBorder);
    WritePrivateProfileInt(section, "SelectColor", SelectColor);
    WritePrivateProfileInt(section, "IconSize", IconSize);
    WritePrivateProfileInt(section, "TextSizeWMin", TextSizeWMin);
    WritePrivateProfileInt(section, "TextSizeWMax", TextSizeWMax);
    WritePrivateProfileInt(section, "TextSizeH", TextSizeH);
    WritePrivateProfileInt(section, "FontSize", FontSize);
    WritePrivateProfileInt(section, "NoEmptySubFolder", NoEmptySubFolder);
    WritePrivateProfileInt(section, "TurnScreen", TurnScreen);
    WritePrivateProfileInt(section, "ShowHiddenFile", ShowHiddenFile);
    WritePrivateProfileInt(section, "ShowSeparator", ShowSeparator);
    WritePrivateProfileInt(section, "NoOleDnD", NoOleDnD);
    WritePrivateProfileInt(section, "NotHideOnIconClick", NotHideOnIconClick);
    WritePrivateProfileInt(section, "NotShowSubFolder", NotShowSubFolder);
    if (kind == ParamKindDefault) {
        WritePrivateProfileInt(section, "ItemBorderWidth", ItemBorderWidth);
        WritePrivateProfileInt(section, "SeparatorWidth", SeparatorWidth);
        WritePrivateProfileInt(section, "ItemBetweenIconText", ItemBetweenIconText);
        WritePrivateProfileInt(section, "WindowBorder", WindowBorder);
        WritePrivateProfileInt(section, "BetweenIcon", BetweenIcon);
        WritePrivateProfileInt(section, "TimerTimeOut", TimerTimeOut);
        WritePrivateProfileInt(section, "SmallWindowWidth", SmallWindowWidth);
        WritePrivateProfileInt(section, "AnimateSHWait", AnimateSHWait);
        WritePrivateProfileInt(section, "DisableDragStart", DisableDragStart);
    }
}

void KivWinProperty::ReadFlag(const char* section, const char* key, bool& field) {
    field = GetPrivateProfileInt(section, key, field) != 0;
}

void KivWinProperty::ReadSmall(const char* section, const char* key, signed char& field) {
    field = static_cast<signed char>(GetPrivateProfileInt(section, key, field) & 0xFF);
}

void KivWinProperty::ReadInt(const char* section, const char* key, int& field) {
    field = GetPrivateProfileInt(section, key, field);
}

void KivWinProperty::ReadValues() {
    ReadFlag(allSection, "EachScreen", EachScreen);
    const int dataVersion = GetPrivateProfileInt(allSection, "DataVersion", currentDataVersion);

    const std::string sectionName = CurrentValueSection();
    const char* section = sectionName.c_str();
    if (kind == ParamKindTop || kind == ParamKindDefault) {
        ReadSmall(section, "WindowSide", WindowSide);
        ReadInt(section, "WinSideOffset", WinSideOffset);
        ReadFlag(section, "TrueHide", TrueHide);
        ReadFlag(section, "MaxLock", MaxLock);
        ReadInt(section, "HideTime", HideTime);
        ReadFlag(section, "AnimateSH", AnimateSH);
    }
    if (kind == ParamKindOther || kind == ParamKindDefault)
        ReadFlag(section, "NotShowWin", NotShowWin);
    ReadFlag(section, "FolderOnly", FolderOnly);
    if (dataVersion == textSizeWDataVersion || dataVersion == clickOpenDataVersion) {
        ReadFlag(section, "ClickOpen", ClickWinOpen);
        ReadFlag(section, "ClickOpen", ClickWinClose);
    } else {
        ReadFlag(section, "ClickWinOpen", ClickWinOpen);
        ReadFlag(section, "ClickWinClose", ClickWinClose);
    }
    ReadFlag(section, "NeedSize", NeedSize);
    ReadInt(section, "ShowTime", ShowTime);
    ReadSmall(section, "ItemArrange", ItemArrange);
    ReadSmall(section, "ItemTextPlace", ItemTextPlace);
    ReadInt(section, "Column", Column);
    ReadFlag(section, "NormalBorder", NormalBorder);
    ReadFlag(section, "NormalColor", NormalColor);
    ReadFlag(section, "SelectBorder", SelectBorder);
    ReadFlag(section, "SelectColor", SelectColor);
    ReadInt(section, "IconSize", IconSize);
    if (dataVersion == textSizeWDataVersion) {
        if (GetPrivateProfileInt(section, "CalcTextSize", 0) != 0) {
            TextSizeWMin = 1;
            TextSizeWMax = 0;
        } else {
            const int width = GetPrivateProfileInt(section, "TextSizeW", 64);
            TextSizeWMin = width;
            TextSizeWMax = width;
        }
    } else {
        ReadInt(section, "TextSizeWMin", TextSizeWMin);
        ReadInt(section, "TextSizeWMax", TextSizeWMax);
    }
    ReadInt(section, "TextSizeH", TextSizeH);
    ReadInt(section, "FontSize", FontSize);
    ReadFlag(section, "TurnScreen", TurnScreen);
    ReadFlag(section, "ShowHiddenFile", ShowHiddenFile);
    ReadFlag(section, "ShowSeparator", ShowSeparator);
    ReadFlag(section, "NoOleDnD", NoOleDnD);
    ReadFlag(section, "NoEmptySubFolder", NoEmptySubFolder);
    ReadFlag(section, "NotHideOnIconClick", NotHideOnIconClick);
    ReadFlag(section, "NotShowSubFolder", NotShowSubFolder);
    if (kind == ParamKindDefault) {
        ReadInt(section, "ItemBorderWidth", ItemBorderWidth);
        ReadInt(section, "SeparatorWidth", SeparatorWidth);
        ReadInt(section, "ItemBetweenIconText", ItemBetweenIconText);
        ReadInt(section, "WindowBorder", WindowBorder);
        ReadInt(section, "BetweenIcon", BetweenIcon);
        ReadInt(section, "TimerTimeOut", TimerTimeOut);
        ReadInt(section, "SmallWindowWidth", SmallWindowWidth);
        ReadInt(section, "AnimateSHWait", AnimateSHWait);
        ReadFlag(section, "DisableDragStart", DisableDragStart);
    }
}

signed char KivWinProperty::GetItemArrange() const {
    if (ItemArrange != 2)
        return ItemArrange;
    return (WindowSide == 0 || WindowSide == 3) ? 0 : 1;
}

bool KivWinProperty::IsClickWinOpen() const {
    if (kind == ParamKindTop && TrueHide)
        return false;
    return ClickWinOpen;
}
