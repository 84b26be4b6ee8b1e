// The property dialog in-process, over real records in a temporary data directory.
#include <gtest/gtest.h>

#include <map>

#include "BoxCloser.h"
#include "KivProperty.h"
#include "TestSupport.h"

namespace {

using kivtest::TempDir;

class PropertyFormTest : public ::testing::Test {
protected:
    TempDir root{"kivprop"};
    std::string data = root / "IconData";
    std::string top = data + "\\TopWindow1";
    std::string sub = top + "\\Sub";
    forms::Application application{GetModuleHandleA(nullptr)};

    void SetUp() override {
        kivtest::MakeDir(data);
        kivtest::MakeDir(top);
        kivtest::MakeDir(sub);
        application.title = "KIV - プロパティ";
    }

    std::unique_ptr<TFormWinProperty> Open(const std::string& key, const std::string& caption,
                                           const std::string& directory = "") {
        auto dialog = std::make_unique<TFormWinProperty>(
            application, directory.empty() ? data : directory, key, caption);
        dialog->form.ShowWindow(SW_SHOW);
        SetForegroundWindow(dialog->form.GetHandle());
        return dialog;
    }

    KivWinProperty Load(const std::string& key) {
        KivWinProperty record(data.c_str());
        record.LoadParam(key.c_str());
        return record;
    }

    // A record of the folder written by the store, then the given raw values over it.
    void WriteRecord(const std::string& key, const std::map<std::string, std::string>& values) {
        KivWinProperty record(data.c_str());
        record.LoadParam(key.c_str());
        record.SaveParam(key.c_str());
        for (const auto& [name, value] : values)
            WritePrivateProfileStringA("AllResolution", name.c_str(), value.c_str(),
                                       record.GetParamFileName().c_str());
    }

    static void Click(forms::Control& control) { SendMessageA(control.Handle(), BM_CLICK, 0, 0); }

    // Every file of the data directory with its last-write time.
    std::map<std::string, ULONGLONG> Snapshot() {
        std::map<std::string, ULONGLONG> files;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((data + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return files;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                files[found.cFileName] = (ULONGLONG(found.ftLastWriteTime.dwHighDateTime) << 32) |
                                         found.ftLastWriteTime.dwLowDateTime;
        } while (FindNextFileA(search, &found));
        FindClose(search);
        return files;
    }
};

struct KindCase {
    const char* name;
    int folder; // 0 the data directory's TopWindow1, 1 a folder inside it, 2 "Default"
    unsigned char kind;
    bool show, windowHide, notMaxLock, animate, trueHide;
    int iconSize, textPlaceItem;
};

class PropertyKindTest : public PropertyFormTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(PropertyKindTest, LoadsTheRecordOfEachKind) {
    const KindCase& c = GetParam();
    const std::string key = c.folder == 0 ? top : c.folder == 1 ? sub : "Default";
    const std::string caption = c.folder == 2 ? "デフォルト" : "Top \"1\"";
    auto dialog = Open(key, caption);
    EXPECT_EQ(dialog->record.kind, c.kind);
    EXPECT_EQ(dialog->form.Caption(), "ウィンドウのプロパティ - " + caption);
    EXPECT_EQ(application.title, "ウィンドウのプロパティ - " + caption);
    EXPECT_EQ(dialog->ShowCheckBox->Enabled(), c.show);
    EXPECT_EQ(dialog->WindowHideNumericEdit->Control().Enabled(), c.windowHide);
    EXPECT_EQ(dialog->NotMaxLockCheckBox->Enabled(), c.notMaxLock);
    EXPECT_EQ(dialog->AnimateCheckBox->Enabled(), c.animate);
    EXPECT_EQ(dialog->TrueHideCheckBox->Enabled(), c.trueHide);
    EXPECT_EQ(dialog->IconSizeEdit->Value(), c.iconSize);
    EXPECT_EQ(dialog->RadioGroupIconText->ItemIndex(), c.textPlaceItem);
    // The clean state.
    EXPECT_TRUE(dialog->LoadDefaultButton->Enabled());
    EXPECT_FALSE(dialog->ApplyButton->Enabled());
    // Placed inside the work area.
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT r;
    GetWindowRect(dialog->form.GetHandle(), &r);
    EXPECT_GE(r.left, work.left);
    EXPECT_GE(r.top, work.top);
    EXPECT_LE(r.right, work.right);
    EXPECT_LE(r.bottom, work.bottom);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, PropertyKindTest,
    ::testing::Values(KindCase{"TopFolder", 0, 0, false, true, true, true, true, 32, 0},
                      KindCase{"OtherFolder", 1, 1, true, false, false, false, false, 16, 1},
                      KindCase{"Default", 2, 2, true, true, true, true, true, 16, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PropertyFormTest, ClickOpenAndTrueHideExcludeEachOtherAlsoWhileLoading) {
    WriteRecord(top, {{"ClickWinOpen", "1"}, {"TrueHide", "1"}});
    auto dialog = Open(top, "TopWindow1");
    EXPECT_TRUE(dialog->TrueHideCheckBox->Checked());
    EXPECT_FALSE(dialog->ClickWinOpenCheckBox->Checked());
    EXPECT_TRUE(dialog->WindowShowNumericEdit->Control().Enabled());

    Click(*dialog->ClickWinOpenCheckBox);
    EXPECT_TRUE(dialog->ClickWinOpenCheckBox->Checked());
    EXPECT_FALSE(dialog->TrueHideCheckBox->Checked());
    EXPECT_FALSE(dialog->WindowShowNumericEdit->Control().Enabled());
    EXPECT_TRUE(dialog->ApplyButton->Enabled());

    Click(*dialog->TrueHideCheckBox);
    EXPECT_TRUE(dialog->TrueHideCheckBox->Checked());
    EXPECT_FALSE(dialog->ClickWinOpenCheckBox->Checked());
    EXPECT_TRUE(dialog->WindowShowNumericEdit->Control().Enabled());

    // Click-to-close alone leaves true-hide alone, and turns the hide delay off.
    Click(*dialog->ClickWinCloseCheckBox);
    EXPECT_TRUE(dialog->TrueHideCheckBox->Checked());
    EXPECT_FALSE(dialog->WindowHideNumericEdit->Control().Enabled());
}

TEST_F(PropertyFormTest, TextPlaceAndTheTwoBoxesEnableTheSizeControls) {
    auto dialog = Open(sub, "Sub");
    auto enabled = [&] {
        return std::vector<bool>{dialog->IconSizeEdit->Control().Enabled(),
                                 dialog->TextSizeHEdit->Control().Enabled(),
                                 dialog->TextSizeWMinEdit->Control().Enabled(),
                                 dialog->TextSizeWMaxEdit->Control().Enabled(),
                                 dialog->FontSizeEdit->Control().Enabled(),
                                 dialog->TextSizeInfCheckBox->Enabled(),
                                 dialog->FontSizeDefaultCheckBox->Enabled()};
    };
    // FontSize 0 by default: "デフォルト" checked, its edit off.
    EXPECT_EQ(enabled(), (std::vector<bool>{1, 1, 1, 1, 0, 1, 1}));
    Click(dialog->RadioGroupIconText->Item(2)); // アイコンのみ
    EXPECT_EQ(dialog->RadioGroupIconText->ItemIndex(), 2);
    EXPECT_EQ(enabled(), (std::vector<bool>{1, 0, 0, 0, 0, 0, 0}));
    Click(dialog->RadioGroupIconText->Item(3)); // テキストのみ
    EXPECT_EQ(enabled(), (std::vector<bool>{0, 1, 1, 1, 0, 1, 1}));
    Click(*dialog->TextSizeInfCheckBox);
    Click(*dialog->FontSizeDefaultCheckBox);
    EXPECT_EQ(enabled(), (std::vector<bool>{0, 1, 1, 0, 1, 1, 1}));
    Click(dialog->RadioGroupIconText->Item(0));
    EXPECT_EQ(enabled(), (std::vector<bool>{1, 1, 1, 0, 1, 1, 1}));
}

TEST_F(PropertyFormTest, LeavingAWidthEditKeepsMinimumBelowMaximum) {
    auto dialog = Open(sub, "Sub");
    dialog->PageControl->SetActivePage(0);
    ASSERT_TRUE(dialog->TextSizeWMaxEdit->Control().Enabled());
    dialog->TextSizeWMinEdit->SetValue(80);
    dialog->TextSizeWMaxEdit->SetValue(50);
    dialog->TextSizeWMaxEdit->Control().SetFocus();
    dialog->OkButton->SetFocus(); // leaving the maximum: the minimum comes down
    EXPECT_EQ(dialog->TextSizeWMinEdit->Value(), 50);
    EXPECT_EQ(dialog->TextSizeWMaxEdit->Value(), 50);

    dialog->TextSizeWMinEdit->SetValue(80);
    dialog->TextSizeWMinEdit->Control().SetFocus();
    dialog->TextSizeHEdit->Control().SetFocus(); // leaving the minimum: the maximum goes up
    EXPECT_EQ(dialog->TextSizeWMinEdit->Value(), 80);
    EXPECT_EQ(dialog->TextSizeWMaxEdit->Value(), 80);
}

TEST_F(PropertyFormTest, UnlimitedAndDefaultBoxesStoreZero) {
    WriteRecord(sub, {{"TextSizeWMax", "0"}, {"FontSize", "20"}});
    auto dialog = Open(sub, "Sub");
    EXPECT_EQ(dialog->TextSizeWMaxEdit->Value(), 64);
    EXPECT_TRUE(dialog->TextSizeInfCheckBox->Checked());
    EXPECT_EQ(dialog->FontSizeEdit->Value(), 20);
    EXPECT_FALSE(dialog->FontSizeDefaultCheckBox->Checked());
    Click(*dialog->FontSizeDefaultCheckBox);
    dialog->TextSizeWMaxEdit->SetValue(300); // hidden behind "無制限": not stored
    dialog->ApplyButton->Click();
    EXPECT_FALSE(dialog->ApplyButton->Enabled());
    const KivWinProperty saved = Load(sub);
    EXPECT_EQ(saved.TextSizeWMax, 0);
    EXPECT_EQ(saved.FontSize, 0);
}

TEST_F(PropertyFormTest, ButtonStatesAndApplyAfterDefaultsRemovesTheRecord) {
    WriteRecord(sub, {{"IconSize", "48"}});
    KivWinProperty probe(data.c_str());
    ASSERT_TRUE(probe.ExistsParam(sub.c_str()));
    auto dialog = Open(sub, "Sub");
    EXPECT_EQ(dialog->IconSizeEdit->Value(), 48);
    dialog->LoadDefaultButton->Click(); // defaults shown
    EXPECT_EQ(dialog->IconSizeEdit->Value(), 16);
    EXPECT_EQ(dialog->record.kind, 2);
    EXPECT_TRUE(dialog->ShowCheckBox->Enabled());
    EXPECT_TRUE(dialog->TrueHideCheckBox->Enabled()); // treated as the default record
    EXPECT_FALSE(dialog->LoadDefaultButton->Enabled());
    EXPECT_TRUE(dialog->ApplyButton->Enabled());
    dialog->ApplyButton->Click(); // removed
    EXPECT_FALSE(dialog->LoadDefaultButton->Enabled());
    EXPECT_FALSE(dialog->ApplyButton->Enabled());
    EXPECT_FALSE(probe.ExistsParam(sub.c_str()));
    EXPECT_EQ(Load(sub).IconSize, 16);

    // Defaults, then a change: OK saves every shown value as the folder's own record.
    dialog->LoadDefaultButton->Click();
    Click(*dialog->FolderOnlyCheckBox);
    EXPECT_TRUE(dialog->LoadDefaultButton->Enabled());
    dialog->OkButton->Click();
    EXPECT_TRUE(dialog->form.Closed());
    EXPECT_TRUE(probe.ExistsParam(sub.c_str()));
    EXPECT_TRUE(Load(sub).FolderOnly);
}

TEST_F(PropertyFormTest, OkWithoutAChangeWritesNothing) {
    WriteRecord(top, {{"IconSize", "40"}});
    const auto before = Snapshot();
    Sleep(1100); // a write would show in the times
    auto dialog = Open(top, "TopWindow1");
    dialog->PageControl->SetActivePage(2);
    dialog->OkButton->Click();
    EXPECT_TRUE(dialog->form.Closed());
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(PropertyFormTest, CancelAfterApplyKeepsTheApply) {
    auto dialog = Open(top, "TopWindow1");
    Click(*dialog->AnimateCheckBox);
    dialog->WindowHideNumericEdit->SetValue(250);
    dialog->ApplyButton->Click();
    Click(*dialog->NoOleDnDCheckBox); // changed again, then cancelled
    dialog->CancelButton->Click();
    EXPECT_TRUE(dialog->form.Closed());
    const KivWinProperty saved = Load(top);
    EXPECT_TRUE(saved.AnimateSH);
    EXPECT_EQ(saved.HideTime, 250);
    EXPECT_FALSE(saved.NoOleDnD);
}

TEST_F(PropertyFormTest, EveryControlReachesItsKey) {
    auto dialog = Open("Default", "デフォルト");
    Click(dialog->RadioGroupIconText->Item(1)); // text right of the icon: 1
    Click(*dialog->LayoutH1RadioButton);        // 3
    dialog->LayoutColumsNumericEdit->SetValue(3);
    dialog->WindowShowNumericEdit->SetValue(120);
    for (forms::CheckBox* box :
         {dialog->CheckBoxNonSelectBorder, dialog->CheckBoxNonSelectColor,
          dialog->CheckBoxSelectColor, dialog->ShowSeparatorCheckBox, dialog->TurnScreenCheckBox,
          dialog->NotMaxLockCheckBox, dialog->HideOnIconClickCheckBox, dialog->ShowCheckBox,
          dialog->ShowHiddenFileCheckBox, dialog->SubFolderCheckBox,
          dialog->ShowEmptySubFolderCheckBox, dialog->NoOleDnDCheckBox})
        Click(*box);
    dialog->ApplyButton->Click();
    const KivWinProperty r = Load("Default");
    EXPECT_EQ(r.ItemTextPlace, 1);
    EXPECT_EQ(r.ItemArrange, 3);
    EXPECT_EQ(r.Column, 3);
    EXPECT_EQ(r.ShowTime, 120);
    EXPECT_TRUE(r.NormalBorder);
    EXPECT_TRUE(r.NormalColor);
    EXPECT_TRUE(r.SelectColor);
    EXPECT_TRUE(r.ShowSeparator);
    EXPECT_TRUE(r.TurnScreen);
    EXPECT_TRUE(r.MaxLock);            // inverted
    EXPECT_TRUE(r.NotHideOnIconClick); // inverted
    EXPECT_TRUE(r.NotShowWin);         // inverted
    EXPECT_TRUE(r.ShowHiddenFile);
    EXPECT_TRUE(r.NotShowSubFolder);  // inverted
    EXPECT_FALSE(r.NoEmptySubFolder); // inverted, default 1
    EXPECT_TRUE(r.NoOleDnD);
    // The arrangement by window position for every other value.
    Click(*dialog->LayoutDefaultRadioButton);
    dialog->ApplyButton->Click();
    EXPECT_EQ(Load("Default").ItemArrange, 2);
}

TEST_F(PropertyFormTest, BadValuesOpenWithWhatCanBeShown) {
    WriteRecord(sub, {{"IconSize", "-5"},
                      {"ItemTextPlace", "9"},
                      {"ItemArrange", "77"},
                      {"Column", "garbage"},
                      {"ShowTime", "-1"}});
    auto dialog = Open(sub, "Sub");
    EXPECT_EQ(dialog->IconSizeEdit->Value(), 1); // refused: the edit keeps its minimum
    EXPECT_EQ(dialog->RadioGroupIconText->ItemIndex(), -1);
    EXPECT_TRUE(dialog->LayoutDefaultRadioButton->Checked());
    EXPECT_EQ(dialog->LayoutColumsNumericEdit->Value(), 1);
    EXPECT_EQ(dialog->WindowShowNumericEdit->Value(), 0);
    Click(*dialog->FolderOnlyCheckBox);
    dialog->ApplyButton->Click();
    const KivWinProperty r = Load(sub);
    EXPECT_EQ(r.IconSize, 1);
    EXPECT_EQ(r.ItemTextPlace, 9); // no item chosen: the loaded value stays
    EXPECT_EQ(r.ItemArrange, 2);
    EXPECT_EQ(r.ShowTime, 0);
}

TEST_F(PropertyFormTest, AFailingSaveSaysSoAndApplyStaysEnabled) {
    const std::string missing = root / "NoSuchDirectory";
    BoxCloser closer;
    auto dialog = Open("Default", "デフォルト", missing);
    Click(*dialog->FolderOnlyCheckBox);
    dialog->ApplyButton->Click();
    const auto boxes = closer.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].first, "プロパティの保存に失敗しました");
    EXPECT_EQ(boxes[0].second, "ウィンドウのプロパティ - デフォルト");
    EXPECT_TRUE(dialog->ApplyButton->Enabled());
    EXPECT_FALSE(kivtest::Exists(missing));
    // OK closes the dialog even when the save fails.
    dialog->OkButton->Click();
    EXPECT_TRUE(dialog->form.Closed());
    EXPECT_EQ(closer.Boxes().size(), 2u);
}

TEST_F(PropertyFormTest, AReadOnlyHashFileMakesTheSaveFailVisibly) {
    // The folder has no entry yet, and the hash file that would take it cannot be written.
    KivWinProperty other(data.c_str());
    other.LoadParam(top.c_str());
    other.SaveParam(top.c_str());
    const std::string hashFile = data + "\\KivWinPropertyHash.kiv";
    ASSERT_TRUE(SetFileAttributesA(hashFile.c_str(), FILE_ATTRIBUTE_READONLY));
    HANDLE probeWrite = CreateFileA(hashFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (probeWrite != INVALID_HANDLE_VALUE) {
        CloseHandle(probeWrite);
        SetFileAttributesA(hashFile.c_str(), FILE_ATTRIBUTE_NORMAL);
        GTEST_SKIP() << "read-only files stay writable here (Wine running as root)";
    }
    const std::string hashBefore = kivtest::ReadTextFile(hashFile);
    BoxCloser closer;
    auto dialog = Open(sub, "Sub");
    Click(*dialog->FolderOnlyCheckBox);
    dialog->ApplyButton->Click();
    SetFileAttributesA(hashFile.c_str(), FILE_ATTRIBUTE_NORMAL);
    const auto boxes = closer.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].first, "プロパティの保存に失敗しました");
    EXPECT_TRUE(dialog->ApplyButton->Enabled());
    EXPECT_EQ(kivtest::ReadTextFile(hashFile), hashBefore);
    KivWinProperty probe(data.c_str());
    EXPECT_FALSE(probe.ExistsParam(sub.c_str()));
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new kivtest::OleEnvironment);
    return RUN_ALL_TESTS();
}
