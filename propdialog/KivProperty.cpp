#include "KivProperty.h"

#include "PathUtility.h"
#include "PropertyLogic.h"

using forms::ControlDesc;
using forms::Kind;

namespace {

const std::vector<ControlDesc>& FormDescription() {
    static const std::vector<ControlDesc> description = {
        {Kind::PageControl, "PageControl", nullptr, 8, 8, 441, 313, nullptr},
        {Kind::Page, "TabSheetIcon", "PageControl", 0, 0, 0, 0, "アイコン"},
        {Kind::Page, "TabSheetLayout", "PageControl", 0, 0, 0, 0, "レイアウト"},
        {Kind::Page, "TabSheetWindow", "PageControl", 0, 0, 0, 0, "ウィンドウの表示"},
        {Kind::Page, "TabSheetFileList", "PageControl", 0, 0, 0, 0, "ファイルリスト"},
        {Kind::Page, "TabSheetOther", "PageControl", 0, 0, 0, 0, "その他"},

        // Page アイコン
        {Kind::RadioGroup, "RadioGroupIconText", "TabSheetIcon", 8, 8, 201, 105,
         "アイコンとテキストの位置\nアイコンの下にテキスト\nアイコンの右にテキスト\n"
         "アイコンのみ\nテキストのみ"},
        {Kind::GroupBox, "GroupBoxNonSelect", "TabSheetIcon", 216, 8, 209, 49, "非選択時"},
        {Kind::CheckBox, "CheckBoxNonSelectBorder", "GroupBoxNonSelect", 12, 24, 81, 17,
         "枠をつける"},
        {Kind::CheckBox, "CheckBoxNonSelectColor", "GroupBoxNonSelect", 112, 24, 81, 17,
         "色をつける"},
        {Kind::GroupBox, "GroupBoxSelect", "TabSheetIcon", 216, 64, 209, 49, "選択時"},
        {Kind::CheckBox, "CheckBoxSelectBorder", "GroupBoxSelect", 12, 24, 81, 17, "枠をつける"},
        {Kind::CheckBox, "CheckBoxSelectColor", "GroupBoxSelect", 108, 24, 81, 17, "色をつける"},
        {Kind::GroupBox, "GroupBoxSize", "TabSheetIcon", 8, 120, 417, 113,
         "アイコンとテキストのサイズ"},
        {Kind::Label, "LabelIconSize", "GroupBoxSize", 12, 26, 0, 0, "アイコンサイズ"},
        {Kind::Edit, "IconSizeEdit", "GroupBoxSize", 124, 22, 57, 20, "0"},
        {Kind::Label, "LabelTextSize", "GroupBoxSize", 12, 54, 0, 0, "テキストサイズ"},
        {Kind::Label, "LabelTextSizeH", "GroupBoxSize", 99, 54, 0, 0, "縦："},
        {Kind::Edit, "TextSizeHEdit", "GroupBoxSize", 124, 50, 57, 20, "0"},
        {Kind::Label, "LabelTextSizeW", "GroupBoxSize", 184, 55, 0, 0, "横："},
        {Kind::Edit, "TextSizeWMinEdit", "GroupBoxSize", 209, 51, 57, 20, "0"},
        {Kind::Label, "LabelTextSizeWTo", "GroupBoxSize", 271, 55, 0, 0, "～"},
        {Kind::Edit, "TextSizeWMaxEdit", "GroupBoxSize", 288, 51, 57, 20, "0"},
        {Kind::CheckBox, "TextSizeInfCheckBox", "GroupBoxSize", 349, 53, 61, 17, "無制限"},
        {Kind::Label, "LabelFontSize", "GroupBoxSize", 12, 82, 0, 0, "フォントサイズ"},
        {Kind::Edit, "FontSizeEdit", "GroupBoxSize", 124, 78, 57, 20, "0"},
        {Kind::CheckBox, "FontSizeDefaultCheckBox", "GroupBoxSize", 188, 79, 77, 17, "デフォルト"},
        {Kind::GroupBox, "GroupBoxSeparator", "TabSheetIcon", 8, 237, 417, 41, ""},
        {Kind::CheckBox, "ShowSeparatorCheckBox", "GroupBoxSeparator", 12, 14, 161, 17,
         "セパレータを表示する"},

        // Page レイアウト
        {Kind::GroupBox, "GroupBoxArrange", "TabSheetLayout", 8, 8, 417, 169, "アイコンの並べ方"},
        {Kind::RadioButton, "LayoutV1RadioButton", "GroupBoxArrange", 15, 50, 17, 17, ""},
        {Kind::RadioButton, "LayoutV2RadioButton", "GroupBoxArrange", 103, 50, 17, 17, ""},
        {Kind::RadioButton, "LayoutH1RadioButton", "GroupBoxArrange", 189, 51, 17, 17, ""},
        {Kind::RadioButton, "LayoutH2RadioButton", "GroupBoxArrange", 303, 52, 17, 17, ""},
        {Kind::RadioButton, "LayoutDefaultRadioButton", "GroupBoxArrange", 16, 104, 169, 17,
         "ウィンドウ位置によって変化"},
        {Kind::Picture, "ImageV1", "GroupBoxArrange", 32, 24, 49, 73, nullptr},
        {Kind::Picture, "ImageV2", "GroupBoxArrange", 120, 24, 49, 73, nullptr},
        {Kind::Picture, "ImageH1", "GroupBoxArrange", 208, 36, 73, 49, nullptr},
        {Kind::Picture, "ImageH2", "GroupBoxArrange", 320, 36, 73, 49, nullptr},
        {Kind::Label, "LabelColumns", "GroupBoxArrange", 12, 143, 0, 0, "並べるときの行数"},
        {Kind::Edit, "LayoutColumsNumericEdit", "GroupBoxArrange", 112, 139, 57, 20, "0"},
        {Kind::GroupBox, "GroupBoxLayoutOptions", "TabSheetLayout", 8, 179, 417, 65, ""},
        {Kind::CheckBox, "NeedSizeCheckBox", "GroupBoxLayoutOptions", 8, 16, 241, 17,
         "ウィンドウサイズは必要最低限にする"},
        {Kind::CheckBox, "TurnScreenCheckBox", "GroupBoxLayoutOptions", 8, 36, 177, 17,
         "スクリーンサイズで折り返す"},

        // Page ウィンドウの表示
        {Kind::GroupBox, "GroupBoxShowHide", "TabSheetWindow", 8, 8, 417, 97, ""},
        {Kind::Label, "LabelShowBefore", "GroupBoxShowHide", 8, 17, 0, 0, "ウィンドウが現れるまで"},
        {Kind::Edit, "WindowShowNumericEdit", "GroupBoxShowHide", 144, 13, 57, 20, "0"},
        {Kind::Label, "LabelShowAfter", "GroupBoxShowHide", 206, 17, 0, 0, "ミリ秒待つ"},
        {Kind::Label, "LabelHideBefore", "GroupBoxShowHide", 8, 45, 0, 0, "ウィンドウが隠れるまで"},
        {Kind::Edit, "WindowHideNumericEdit", "GroupBoxShowHide", 144, 41, 57, 20, "0"},
        {Kind::Label, "LabelHideAfter", "GroupBoxShowHide", 206, 45, 0, 0, "ミリ秒待つ"},
        {Kind::CheckBox, "ClickWinOpenCheckBox", "GroupBoxShowHide", 289, 16, 96, 17,
         "クリックで開く"},
        {Kind::CheckBox, "ClickWinCloseCheckBox", "GroupBoxShowHide", 288, 43, 104, 17,
         "クリックで閉じる"},
        {Kind::CheckBox, "AnimateCheckBox", "GroupBoxShowHide", 17, 72, 137, 17,
         "疑似アニメーションする"},
        {Kind::GroupBox, "GroupBoxWindow", "TabSheetWindow", 8, 112, 417, 113, ""},
        {Kind::CheckBox, "TrueHideCheckBox", "GroupBoxWindow", 9, 17, 97, 17, "本当に隠れる"},
        {Kind::CheckBox, "NotMaxLockCheckBox", "GroupBoxWindow", 9, 40, 265, 17,
         "アクティブウィンドウがフルスクリーンでも現れる"},
        {Kind::CheckBox, "HideOnIconClickCheckBox", "GroupBoxWindow", 8, 64, 225, 17,
         "アイコンクリックの後、ウィンドウを閉じる"},
        {Kind::CheckBox, "ShowCheckBox", "GroupBoxWindow", 9, 88, 72, 17, "表示する"},

        // Page ファイルリスト
        {Kind::GroupBox, "GroupBoxThisWindow", "TabSheetFileList", 16, 8, 409, 73,
         "このウィンドウに対して"},
        {Kind::CheckBox, "FolderOnlyCheckBox", "GroupBoxThisWindow", 12, 20, 137, 17,
         "フォルダのみ表示する"},
        {Kind::CheckBox, "ShowHiddenFileCheckBox", "GroupBoxThisWindow", 12, 44, 185, 17,
         "隠しファイルも表示する"},
        {Kind::GroupBox, "GroupBoxSubFolder", "TabSheetFileList", 16, 88, 409, 73,
         "サブフォルダに対して"},
        {Kind::CheckBox, "SubFolderCheckBox", "GroupBoxSubFolder", 11, 20, 193, 17,
         "サブフォルダを表示する"},
        {Kind::CheckBox, "ShowEmptySubFolderCheckBox", "GroupBoxSubFolder", 11, 43, 230, 17,
         "アイコンのないサブフォルダも表示する"},

        // Page その他
        {Kind::GroupBox, "GroupBoxDragDrop", "TabSheetOther", 8, 8, 417, 73, ""},
        {Kind::CheckBox, "NoOleDnDCheckBox", "GroupBoxDragDrop", 12, 20, 169, 17,
         "非OLEのD&&Dを許可する"},
        {Kind::CheckBox, "OtherDifResolutionCheckBox", "TabSheetOther", 20, 49, 225, 17,
         "異なる解像度で異なる設定を使用する"},

        {Kind::Button, "LoadDefaultButton", nullptr, 12, 328, 64, 21, "デフォルト"},
        {Kind::Button, "OkButton", nullptr, 172, 328, 64, 21, "OK"},
        {Kind::Button, "CancelButton", nullptr, 240, 328, 64, 21, "キャンセル"},
        {Kind::Button, "ApplyButton", nullptr, 308, 328, 64, 21, "適用"},
        {Kind::Button, "HelpButton", nullptr, 376, 328, 64, 21, "ヘルプ"},
    };
    return description;
}

} // namespace

HBITMAP MakeArrangementPicture(int layoutButton, int width, int height) {
    // A 24-bit picture: a window frame holding eight cells, and a line through the cells in the
    // order in which the arrangement fills them.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap)
        return nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    RECT all{0, 0, width, height};
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    RECT frame{1, 1, width - 1, height - 1};
    FillRect(dc, &frame, GetSysColorBrush(COLOR_WINDOW));
    FrameRect(dc, &frame, GetSysColorBrush(COLOR_WINDOWTEXT));

    const bool tall = layoutButton == 0 || layoutButton == 1; // V1, V2
    const int columns = tall ? 2 : 4, rows = tall ? 4 : 2;
    // V1 and H2 fill row by row; V2 and H1 fill column by column.
    const bool byRows = layoutButton == 0 || layoutButton == 3;
    const int cellW = (width - 6) / columns, cellH = (height - 6) / rows;
    POINT path[8];
    HBRUSH cellBrush = CreateSolidBrush(RGB(0, 96, 192));
    for (int i = 0; i < columns * rows; ++i) {
        const int c = byRows ? i % columns : i / rows;
        const int r = byRows ? i / columns : i % rows;
        const int left = 3 + c * cellW, top = 3 + r * cellH;
        RECT cell{left + 2, top + 2, left + cellW - 2, top + cellH - 2};
        FillRect(dc, &cell, cellBrush);
        path[i] = POINT{left + cellW / 2, top + cellH / 2};
    }
    DeleteObject(cellBrush);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(224, 32, 32));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    Polyline(dc, path, columns * rows);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
    return bitmap;
}

TFormWinProperty::TFormWinProperty(forms::Application& application,
                                   const std::string& dataDirectory, const std::string& key,
                                   const std::string& caption)
    : form(application, 457, 355, "ウィンドウのプロパティ"), record(dataDirectory.c_str()),
      folderKey(key), captionName(caption) {
    form.Create(FormDescription());
    Connect();
    FormCreate();
}

void TFormWinProperty::Connect() {
    auto check = [this](const char* name) { return &form.Get<forms::CheckBox>(name); };
    auto radio = [this](const char* name) { return &form.Get<forms::RadioButton>(name); };
    auto button = [this](const char* name) { return &form.Get<forms::Button>(name); };
    auto numeric = [this](const char* name, int minimum) {
        auto edit = std::make_unique<TNumericEdit>(form.Get<forms::Edit>(name));
        edit->SetMinValue(minimum);
        return edit;
    };
    PageControl = &form.Get<forms::PageControl>("PageControl");
    RadioGroupIconText = &form.Get<forms::RadioGroup>("RadioGroupIconText");
    CheckBoxNonSelectBorder = check("CheckBoxNonSelectBorder");
    CheckBoxNonSelectColor = check("CheckBoxNonSelectColor");
    CheckBoxSelectBorder = check("CheckBoxSelectBorder");
    CheckBoxSelectColor = check("CheckBoxSelectColor");
    IconSizeEdit = numeric("IconSizeEdit", 1);
    TextSizeHEdit = numeric("TextSizeHEdit", 1);
    TextSizeWMinEdit = numeric("TextSizeWMinEdit", 1);
    TextSizeWMaxEdit = numeric("TextSizeWMaxEdit", 1);
    TextSizeInfCheckBox = check("TextSizeInfCheckBox");
    FontSizeEdit = numeric("FontSizeEdit", 1);
    FontSizeDefaultCheckBox = check("FontSizeDefaultCheckBox");
    ShowSeparatorCheckBox = check("ShowSeparatorCheckBox");
    LayoutV1RadioButton = radio("LayoutV1RadioButton");
    LayoutV2RadioButton = radio("LayoutV2RadioButton");
    LayoutH1RadioButton = radio("LayoutH1RadioButton");
    LayoutH2RadioButton = radio("LayoutH2RadioButton");
    LayoutDefaultRadioButton = radio("LayoutDefaultRadioButton");
    LayoutColumsNumericEdit = numeric("LayoutColumsNumericEdit", 1);
    NeedSizeCheckBox = check("NeedSizeCheckBox");
    TurnScreenCheckBox = check("TurnScreenCheckBox");
    WindowShowNumericEdit = numeric("WindowShowNumericEdit", 0);
    WindowHideNumericEdit = numeric("WindowHideNumericEdit", 0);
    AnimateCheckBox = check("AnimateCheckBox");
    ClickWinOpenCheckBox = check("ClickWinOpenCheckBox");
    ClickWinCloseCheckBox = check("ClickWinCloseCheckBox");
    TrueHideCheckBox = check("TrueHideCheckBox");
    NotMaxLockCheckBox = check("NotMaxLockCheckBox");
    HideOnIconClickCheckBox = check("HideOnIconClickCheckBox");
    ShowCheckBox = check("ShowCheckBox");
    FolderOnlyCheckBox = check("FolderOnlyCheckBox");
    ShowHiddenFileCheckBox = check("ShowHiddenFileCheckBox");
    SubFolderCheckBox = check("SubFolderCheckBox");
    ShowEmptySubFolderCheckBox = check("ShowEmptySubFolderCheckBox");
    NoOleDnDCheckBox = check("NoOleDnDCheckBox");
    OtherDifResolutionCheckBox = check("OtherDifResolutionCheckBox");

    const char* pictures[] = {"ImageV1", "ImageV2", "ImageH1", "ImageH2"};
    for (int i = 0; i < 4; ++i) {
        forms::Picture& picture = form.Get<forms::Picture>(pictures[i]);
        const RECT r = picture.Bounds();
        picture.SetBitmap(MakeArrangementPicture(i, r.right - r.left, r.bottom - r.top));
    }

    // Events raised while the controls were being made found no handler; from here on they act.
    auto pageChange = [this] { PageChange(); };
    for (forms::Control* c : form.Controls()) {
        if (auto* box = dynamic_cast<forms::CheckBox*>(c))
            box->onClick = pageChange;
        else if (auto* button = dynamic_cast<forms::RadioButton*>(c);
                 button && c->Parent() != RadioGroupIconText) // the group's items report to it
            button->onClick = pageChange;
    }
    RadioGroupIconText->onClick = pageChange;
    ClickWinOpenCheckBox->onClick = [this] { ClickWinCloseCheckBoxClick(); };
    ClickWinCloseCheckBox->onClick = [this] { ClickWinCloseCheckBoxClick(); };
    TrueHideCheckBox->onClick = [this] { TrueHideCheckBoxClick(); };
    for (TNumericEdit* edit :
         {IconSizeEdit.get(), TextSizeHEdit.get(), TextSizeWMinEdit.get(), TextSizeWMaxEdit.get(),
          FontSizeEdit.get(), LayoutColumsNumericEdit.get(), WindowShowNumericEdit.get(),
          WindowHideNumericEdit.get()})
        edit->OnChange = pageChange;
    TextSizeWMinEdit->Control().onExit = [this] { TextSizeWMinEditExit(); };
    TextSizeWMaxEdit->Control().onExit = [this] { TextSizeWMaxEditExit(); };

    LoadDefaultButton = button("LoadDefaultButton");
    OkButton = button("OkButton");
    CancelButton = button("CancelButton");
    ApplyButton = button("ApplyButton");
    HelpButton = button("HelpButton");
    ApplyButton->SetEnabled(false);
    LoadDefaultButton->onClick = [this] { LoadDefaultButtonClick(); };
    OkButton->onClick = [this] { OkButtonClick(); };
    CancelButton->onClick = [this] { CancelButtonClick(); };
    ApplyButton->onClick = [this] { ApplyButtonClick(); };
    HelpButton->onClick = [this] { HelpButtonClick(); };
}

void TFormWinProperty::FormCreate() {
    const std::string caption = "ウィンドウのプロパティ - " + captionName;
    form.SetCaption(caption);
    form.GetApplication().title = caption;
    LoadToControls(false);
    form.PlaceAtCursor();
}

forms::RadioButton* TFormWinProperty::LayoutRadioButton(int index) const {
    forms::RadioButton* buttons[] = {LayoutV1RadioButton, LayoutV2RadioButton, LayoutH1RadioButton,
                                     LayoutH2RadioButton, LayoutDefaultRadioButton};
    return buttons[index];
}

int TFormWinProperty::CheckedLayoutButton() const {
    for (int i = 0; i < 4; ++i) {
        if (LayoutRadioButton(i)->Checked())
            return i;
    }
    return LayoutByPosition;
}

void TFormWinProperty::LoadToControls(bool defaults) {
    record.LoadParam(defaults ? nullptr : folderKey.c_str());
    const KivWinProperty& r = record;
    const int item = TextPlaceItem(r.ItemTextPlace);
    if (item >= 0)
        RadioGroupIconText->SetItemIndex(item);
    TextSizeHEdit->SetValue(r.TextSizeH);
    TextSizeWMinEdit->SetValue(r.TextSizeWMin);
    if (r.TextSizeWMax == 0) {
        TextSizeWMaxEdit->SetValue(64);
        TextSizeInfCheckBox->SetChecked(true);
    } else {
        TextSizeWMaxEdit->SetValue(r.TextSizeWMax);
        TextSizeInfCheckBox->SetChecked(false);
    }
    if (r.FontSize == 0) {
        FontSizeEdit->SetValue(16);
        FontSizeDefaultCheckBox->SetChecked(true);
    } else {
        FontSizeEdit->SetValue(r.FontSize);
        FontSizeDefaultCheckBox->SetChecked(false);
    }
    IconSizeEdit->SetValue(r.IconSize);
    CheckBoxNonSelectBorder->SetChecked(r.NormalBorder);
    CheckBoxNonSelectColor->SetChecked(r.NormalColor);
    CheckBoxSelectBorder->SetChecked(r.SelectBorder);
    CheckBoxSelectColor->SetChecked(r.SelectColor);
    LayoutColumsNumericEdit->SetValue(r.Column);
    NeedSizeCheckBox->SetChecked(r.NeedSize);
    for (int i = 0; i <= LayoutByPosition; ++i)
        LayoutRadioButton(i)->SetChecked(false);
    LayoutRadioButton(LayoutButtonOf(r.ItemArrange))->SetChecked(true);
    TurnScreenCheckBox->SetChecked(r.TurnScreen);
    ClickWinOpenCheckBox->SetChecked(r.ClickWinOpen);
    ClickWinCloseCheckBox->SetChecked(r.ClickWinClose);
    NotMaxLockCheckBox->SetChecked(!r.MaxLock);
    AnimateCheckBox->SetChecked(r.AnimateSH);
    WindowShowNumericEdit->SetValue(r.ShowTime);
    WindowHideNumericEdit->SetValue(r.HideTime);
    TrueHideCheckBox->SetChecked(r.TrueHide);
    FolderOnlyCheckBox->SetChecked(r.FolderOnly);
    SubFolderCheckBox->SetChecked(!r.NotShowSubFolder);
    ShowEmptySubFolderCheckBox->SetChecked(!r.NoEmptySubFolder);
    ShowHiddenFileCheckBox->SetChecked(r.ShowHiddenFile);
    ShowSeparatorCheckBox->SetChecked(r.ShowSeparator);
    NoOleDnDCheckBox->SetChecked(r.NoOleDnD);
    HideOnIconClickCheckBox->SetChecked(!r.NotHideOnIconClick);
    ShowCheckBox->SetChecked(!r.NotShowWin);
    OtherDifResolutionCheckBox->SetChecked(r.EachScreen);
    UpdateEnabling();
    LoadDefaultButton->SetEnabled(!defaults);
    ApplyButton->SetEnabled(defaults);
}

void TFormWinProperty::UpdateEnabling() {
    const Enabling e = ComputeEnabling(
        EnablingInput{RadioGroupIconText->ItemIndex(), TextSizeInfCheckBox->Checked(),
                      FontSizeDefaultCheckBox->Checked(), ClickWinOpenCheckBox->Checked(),
                      ClickWinCloseCheckBox->Checked(), record.kind});
    IconSizeEdit->Control().SetEnabled(e.iconSize);
    TextSizeHEdit->Control().SetEnabled(e.textSizeH);
    TextSizeWMinEdit->Control().SetEnabled(e.textSizeWMin);
    TextSizeWMaxEdit->Control().SetEnabled(e.textSizeWMax);
    FontSizeEdit->Control().SetEnabled(e.fontSize);
    TextSizeInfCheckBox->SetEnabled(e.textSizeUnlimited);
    FontSizeDefaultCheckBox->SetEnabled(e.fontSizeDefault);
    WindowShowNumericEdit->Control().SetEnabled(e.windowShow);
    WindowHideNumericEdit->Control().SetEnabled(e.windowHide);
    NotMaxLockCheckBox->SetEnabled(e.notMaxLock);
    AnimateCheckBox->SetEnabled(e.animate);
    TrueHideCheckBox->SetEnabled(e.trueHide);
    ShowCheckBox->SetEnabled(e.show);
}

void TFormWinProperty::PageChange() {
    if (!LoadDefaultButton || !ApplyButton)
        return;
    LoadDefaultButton->SetEnabled(true);
    ApplyButton->SetEnabled(true);
    UpdateEnabling();
}

void TFormWinProperty::ClickWinCloseCheckBoxClick() {
    if (ClickWinOpenCheckBox->Checked())
        TrueHideCheckBox->SetChecked(false);
    PageChange();
}

void TFormWinProperty::TrueHideCheckBoxClick() {
    if (TrueHideCheckBox->Checked())
        ClickWinOpenCheckBox->SetChecked(false);
    PageChange();
}

void TFormWinProperty::TextSizeWMinEditExit() {
    if (TextSizeWMaxEdit->Value() < TextSizeWMinEdit->Value())
        TextSizeWMaxEdit->SetValue(TextSizeWMinEdit->Value());
}

void TFormWinProperty::TextSizeWMaxEditExit() {
    if (TextSizeWMaxEdit->Value() < TextSizeWMinEdit->Value())
        TextSizeWMinEdit->SetValue(TextSizeWMaxEdit->Value());
}

void TFormWinProperty::LoadDefaultButtonClick() {
    LoadToControls(true);
}

void TFormWinProperty::CopyControlsToRecord() {
    KivWinProperty& r = record;
    const int place = ItemTextPlace(RadioGroupIconText->ItemIndex());
    if (place >= 0)
        r.ItemTextPlace = static_cast<signed char>(place);
    r.TextSizeH = TextSizeHEdit->Value();
    r.TextSizeWMin = TextSizeWMinEdit->Value();
    r.TextSizeWMax = TextSizeInfCheckBox->Checked() ? 0 : TextSizeWMaxEdit->Value();
    r.FontSize = FontSizeDefaultCheckBox->Checked() ? 0 : FontSizeEdit->Value();
    r.IconSize = IconSizeEdit->Value();
    r.NormalBorder = CheckBoxNonSelectBorder->Checked();
    r.NormalColor = CheckBoxNonSelectColor->Checked();
    r.SelectBorder = CheckBoxSelectBorder->Checked();
    r.SelectColor = CheckBoxSelectColor->Checked();
    r.Column = LayoutColumsNumericEdit->Value();
    r.NeedSize = NeedSizeCheckBox->Checked();
    r.ItemArrange = static_cast<signed char>(ItemArrangeOf(CheckedLayoutButton()));
    r.TurnScreen = TurnScreenCheckBox->Checked();
    r.ClickWinOpen = ClickWinOpenCheckBox->Checked();
    r.ClickWinClose = ClickWinCloseCheckBox->Checked();
    r.MaxLock = !NotMaxLockCheckBox->Checked();
    r.AnimateSH = AnimateCheckBox->Checked();
    r.ShowTime = WindowShowNumericEdit->Value();
    r.HideTime = WindowHideNumericEdit->Value();
    r.TrueHide = TrueHideCheckBox->Checked();
    r.FolderOnly = FolderOnlyCheckBox->Checked();
    r.NotShowSubFolder = !SubFolderCheckBox->Checked();
    r.NoEmptySubFolder = !ShowEmptySubFolderCheckBox->Checked();
    r.ShowHiddenFile = ShowHiddenFileCheckBox->Checked();
    r.ShowSeparator = ShowSeparatorCheckBox->Checked();
    r.NoOleDnD = NoOleDnDCheckBox->Checked();
    r.NotHideOnIconClick = !HideOnIconClickCheckBox->Checked();
    r.NotShowWin = !ShowCheckBox->Checked();
    r.EachScreen = OtherDifResolutionCheckBox->Checked();
}

void TFormWinProperty::ApplyButtonClick() {
    if (!ApplyButton->Enabled())
        return;
    if (!LoadDefaultButton->Enabled()) {
        record.RemoveParam(folderKey.c_str());
        ApplyButton->SetEnabled(false);
        return;
    }
    CopyControlsToRecord();
    try {
        record.SaveParam(folderKey.c_str());
        ApplyButton->SetEnabled(false);
    } catch (const KivParameterException&) {
        forms::ShowMessageBox(form.GetHandle(), "プロパティの保存に失敗しました", form.Caption(),
                              MB_OK);
    }
}

void TFormWinProperty::OkButtonClick() {
    ApplyButtonClick();
    form.Close();
}

void TFormWinProperty::CancelButtonClick() {
    form.Close();
}

void TFormWinProperty::HelpButtonClick() {
    try {
        KivWinHelp(form.GetHandle(), HELP_CONTEXT, PageHelpContext(PageControl->ActivePageIndex()));
    } catch (const KivUtilityException&) {
        forms::ShowWarning(form.GetHandle(), "ヘルプファイルを開くことができませんでした。",
                           "KIV - ヘルプ");
    }
}
