// TFormWinProperty: the window-property dialog of one folder or of the default record. It loads
// the record, shows it on five pages, keeps the controls' enabling and exclusion rules, and saves
// the record or removes the folder's own record.
#pragma once
#include <memory>
#include <string>

#include "Forms.h"
#include "KivWinProperty.h"
#include "NumericEdit.h"

class TFormWinProperty {
public:
    // Builds the form and runs FormCreate; the window stays hidden until ShowModal.
    TFormWinProperty(forms::Application& application, const std::string& dataDirectory,
                     const std::string& folderKey, const std::string& captionName);
    TFormWinProperty(const TFormWinProperty&) = delete;
    TFormWinProperty& operator=(const TFormWinProperty&) = delete;

    void ShowModal() { form.ShowModal(); }

    void FormCreate();
    void LoadToControls(bool defaults);
    void UpdateEnabling();

    void PageChange();
    void ClickWinCloseCheckBoxClick();
    void TrueHideCheckBoxClick();
    void TextSizeWMinEditExit();
    void TextSizeWMaxEditExit();
    void LoadDefaultButtonClick();
    void ApplyButtonClick();
    void OkButtonClick();
    void CancelButtonClick();
    void HelpButtonClick();

    forms::Form form;
    KivWinProperty record;
    std::string folderKey;
    std::string captionName;

    forms::PageControl* PageControl = nullptr;
    forms::RadioGroup* RadioGroupIconText = nullptr;
    forms::CheckBox* CheckBoxNonSelectBorder = nullptr;
    forms::CheckBox* CheckBoxNonSelectColor = nullptr;
    forms::CheckBox* CheckBoxSelectBorder = nullptr;
    forms::CheckBox* CheckBoxSelectColor = nullptr;
    std::unique_ptr<TNumericEdit> IconSizeEdit;
    std::unique_ptr<TNumericEdit> TextSizeHEdit;
    std::unique_ptr<TNumericEdit> TextSizeWMinEdit;
    std::unique_ptr<TNumericEdit> TextSizeWMaxEdit;
    forms::CheckBox* TextSizeInfCheckBox = nullptr;
    std::unique_ptr<TNumericEdit> FontSizeEdit;
    forms::CheckBox* FontSizeDefaultCheckBox = nullptr;
    forms::CheckBox* ShowSeparatorCheckBox = nullptr;
    forms::RadioButton* LayoutV1RadioButton = nullptr;
    forms::RadioButton* LayoutV2RadioButton = nullptr;
    forms::RadioButton* LayoutH1RadioButton = nullptr;
    forms::RadioButton* LayoutH2RadioButton = nullptr;
    forms::RadioButton* LayoutDefaultRadioButton = nullptr;
    std::unique_ptr<TNumericEdit> LayoutColumsNumericEdit;
    forms::CheckBox* NeedSizeCheckBox = nullptr;
    forms::CheckBox* TurnScreenCheckBox = nullptr;
    std::unique_ptr<TNumericEdit> WindowShowNumericEdit;
    std::unique_ptr<TNumericEdit> WindowHideNumericEdit;
    forms::CheckBox* AnimateCheckBox = nullptr;
    forms::CheckBox* ClickWinOpenCheckBox = nullptr;
    forms::CheckBox* ClickWinCloseCheckBox = nullptr;
    forms::CheckBox* TrueHideCheckBox = nullptr;
    forms::CheckBox* NotMaxLockCheckBox = nullptr;
    forms::CheckBox* HideOnIconClickCheckBox = nullptr;
    forms::CheckBox* ShowCheckBox = nullptr;
    forms::CheckBox* FolderOnlyCheckBox = nullptr;
    forms::CheckBox* ShowHiddenFileCheckBox = nullptr;
    forms::CheckBox* SubFolderCheckBox = nullptr;
    forms::CheckBox* ShowEmptySubFolderCheckBox = nullptr;
    forms::CheckBox* NoOleDnDCheckBox = nullptr;
    forms::CheckBox* OtherDifResolutionCheckBox = nullptr;
    forms::Button* LoadDefaultButton = nullptr;
    forms::Button* OkButton = nullptr;
    forms::Button* CancelButton = nullptr;
    forms::Button* ApplyButton = nullptr;
    forms::Button* HelpButton = nullptr;

private:
    void Connect();
    void CopyControlsToRecord();
    int CheckedLayoutButton() const;
    forms::RadioButton* LayoutRadioButton(int index) const;
};

// The pictures of the four arrangements, drawn at the given size (V1, V2 tall; H1, H2 wide).
HBITMAP MakeArrangementPicture(int layoutButton, int width, int height);
