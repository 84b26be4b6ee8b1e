// TFormRename: the rename dialog of KivRen. It asks for a new name for one item, renames it and,
// for a folder, carries the records of the folder and of the folders below it to the new path
// (RenameItem). Its controls are described in one table; the handlers stay thin.
#pragma once
#include <string>

#include "Forms.h"
#include "RenameName.h"

// The texts the dialog shows.
inline constexpr const char* RenameApplicationTitle = "KIV - 名前の変更";
inline constexpr const char* RenameFailedText = "名前を変更することができませんでした。";
inline constexpr const char* RenameSettingsFailedText =
    "設定ファイルを更新することができませんでした。";

class TFormRename : public forms::Form {
public:
    // Builds the form (hidden) for the item at arguments.path; ShowModal shows it.
    TFormRename(forms::Application& application, const RenameArguments& arguments);

    const RenameNameParts& Parts() const { return parts; }
    bool IsFolder() const { return isFolder; }

private:
    void FormCreate();
    void OkButtonClick();
    void CancelButtonClick();

    std::string dataDirectory;
    RenameNameParts parts;
    bool isFolder = false;
};
