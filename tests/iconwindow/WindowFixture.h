// Icon windows over real temporary folders: a folder with files, a data directory for its
// settings, and a window object whose protected state the tests may read and set.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "KivIconSortHelper.h"
#include "KivWinProperty.h"
#include "KivWindow.h"
#include "NApp.h"
#include "TestSupport.h"

namespace kivtest {

class OpenKivWindow : public KivWindow {
public:
    using KivWindow::KivWindow;
    KivItemList& Items() { return items; }
    void SetClientSize(SIZE size) { clientSize = size; }
};

class IconWindowFixture : public ::testing::Test {
protected:
    TempDir folder{"kivwinfolder"};
    TempDir data{"kivwindata"};
    NApp app{GetModuleHandleA(nullptr)};
    NWnd owner{&app};

    // Creates files (names in code page 932) in the shown folder.
    void MakeFiles(const std::vector<std::string>& names) {
        for (const std::string& name : names)
            WriteTextFile(folder / name, "x");
    }

    KivItem FolderItem() const {
        KivItem item;
        item.SetPathId(KivPidl(folder.Path().c_str()));
        return item;
    }

    // The folder's own record with the given changes, saved before a window reads it.
    template <class Change> void SetProperty(Change change) {
        KivWinProperty property(data.Path().c_str());
        property.LoadParam(FolderItem().folderPath.c_str());
        change(property);
        property.SaveParam(FolderItem().folderPath.c_str());
    }

    std::unique_ptr<OpenKivWindow> MakeWindow() {
        return std::make_unique<OpenKivWindow>(&owner, data.Path().c_str(), FolderItem());
    }

    // The display names in list order.
    static std::vector<std::string> Names(const KivWindow& w) {
        std::vector<std::string> names;
        for (const KivItem& item : w.GetItems())
            names.push_back(item.displayName);
        return names;
    }

    // The stored icon order of the shown folder, as file names.
    std::vector<std::string> StoredOrder() {
        KivIconSortHelper<std::string> order(data.Path().c_str());
        order.LoadParam(FolderItem().folderPath.c_str());
        std::vector<std::string> names;
        for (const std::string& name : order.names) {
            const size_t slash = name.find_last_of('\\');
            names.push_back(slash == std::string::npos ? name : name.substr(slash + 1));
        }
        return names;
    }

    bool HasStoredOrder() {
        KivIconSortHelper<std::string> order(data.Path().c_str());
        return order.ExistsParam(FolderItem().folderPath.c_str());
    }
};

} // namespace kivtest
