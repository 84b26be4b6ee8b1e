#include "KivRename.h"

#include <shellapi.h>
#include <shlobj.h>

#include "KivParameter.h"
#include "RenameCarry.h"

namespace {

const std::vector<forms::ControlDesc> formRenameControls = {
    {forms::Kind::Picture, "IconImage", nullptr, 12, 12, 37, 37, nullptr},
    // A width of 0: the label takes the size of its text, whatever face stands in for the font.
    {forms::Kind::Label, "DescLabel", nullptr, 116, 24, 0, 12, "新しい名前を入力してください。"},
    {forms::Kind::Edit, "RenameEdit", nullptr, 64, 60, 277, 20, "", ES_OEMCONVERT},
    {forms::Kind::Button, "OkButton", nullptr, 172, 96, 75, 21, "OK", BS_DEFPUSHBUTTON},
    {forms::Kind::Button, "CancelButton", nullptr, 256, 96, 75, 21, "キャンセル"},
};

// When the attributes cannot be read (the item is gone), the item counts as a plain file: the
// whole name is edited, and the rename fails at the system unless an item of that name has
// appeared meanwhile; a folder renamed then is still recognised by the rename itself.
struct ItemAttributes {
    bool isShortcut = false;
    bool isFolder = false;
};

ItemAttributes QueryItemAttributes(const std::string& path) {
    SHFILEINFOA info{};
    ItemAttributes attributes;
    if (SHGetFileInfoA(path.c_str(), 0, &info, sizeof(info), SHGFI_ATTRIBUTES) == 0)
        return attributes;
    attributes.isShortcut = (info.dwAttributes & SFGAO_LINK) != 0;
    attributes.isFolder = (info.dwAttributes & SFGAO_FOLDER) != 0;
    return attributes;
}

} // namespace

TFormRename::TFormRename(forms::Application& application, const RenameArguments& arguments)
    : Form(application, 377, 126, std::string(RenameApplicationTitle) + "()"),
      dataDirectory(arguments.dataDirectory) {
    Create(formRenameControls);
    const ItemAttributes attributes = QueryItemAttributes(arguments.path);
    isFolder = attributes.isFolder;
    parts = SplitRenamePath(arguments.path, attributes.isShortcut);
    application.title = std::string(RenameApplicationTitle) + "(" + parts.namePart + ")";
    SetCaption(application.title);

    Get<forms::Button>("OkButton").onClick = [this] { OkButtonClick(); };
    Get<forms::Button>("CancelButton").onClick = [this] { CancelButtonClick(); };
    FormCreate();
}

void TFormRename::FormCreate() {
    if (GetApplication().icon)
        Get<forms::Picture>("IconImage").SetIcon(GetApplication().icon);
    PlaceAtCursor();
    forms::Edit& edit = Get<forms::Edit>("RenameEdit");
    edit.SetText(parts.namePart);
    edit.SetFocus();
    SendMessageA(edit.Handle(), EM_SETSEL, 0, -1);
}

void TFormRename::CancelButtonClick() {
    Close();
}

void TFormRename::OkButtonClick() {
    const std::string newName = Get<forms::Edit>("RenameEdit").Text();
    // RenameItem holds the settings lock only while it works: no box below is shown with the
    // lock held, so the other programs go on while the user reads it.
    RenameResult result;
    try {
        result = RenameItem(dataDirectory, parts, newName, isFolder);
    } catch (const KivParameterException& e) {
        forms::ShowMessageBox(GetHandle(),
                              std::string(RenameSettingsFailedText) + "\r\n" + e.what(),
                              GetApplication().title, MB_OK | MB_ICONERROR);
        return;
    }
    if (result == RenameResult::MoveFailed) {
        forms::ShowWarning(GetHandle(), RenameFailedText, GetApplication().title);
        return;
    }
    Close();
}
