// KivIconSortHelper: the icon-order record of one folder (type "srt"): the items' parsing names
// in display order, one key per position in section "Sort". ArrangeByNames: the reordering of
// a window's items by such a list (ApplyIconOrder in IconOrder.h puts both to work).
#pragma once
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "KivParameter.h"

template <class T> class KivIconSortHelper : public KivParameter {
public:
    // "*" reserves a position for an item that does not exist yet.
    std::vector<T> names;

    explicit KivIconSortHelper(const char* dataDirectory) : KivParameter(dataDirectory, "srt") {}

    // The section is written and read whole: one file write per save however long the list is.
    void WriteValues() override {
        // Rewritten whole: a shorter list must not keep the tail of a longer one.
        DeleteParamFile();
        if (names.empty())
            return;
        std::vector<std::pair<std::string, std::string>> entries;
        entries.reserve(names.size());
        for (size_t i = 0; i < names.size(); ++i)
            entries.emplace_back(std::to_string(i), Text(names[i]));
        WritePrivateProfileSection("Sort", entries);
    }

    // Appends to what names already holds; the first missing or empty key ends the list (of keys
    // that appear twice, the first counts).
    void ReadValues() override {
        std::unordered_map<std::string, std::string> values;
        for (auto& [key, value] : GetPrivateProfileSection("Sort"))
            values.emplace(std::move(key), std::move(value));
        names.reserve(names.size() + values.size());
        for (size_t i = 0;; ++i) {
            const auto found = values.find(std::to_string(i));
            if (found == values.end() || found->second.empty())
                break;
            names.push_back(T(std::move(found->second)));
        }
    }

private:
    static const char* Text(const std::string& name) { return name.c_str(); }
};

// Rearranges items, which are in shell order, by the stored order (nameOf gives an item's
// parsing name; names match only byte for byte). Returns true when the stored order did not
// describe the items exactly, so that it should be stored anew.
template <class List, class NameOf>
bool ArrangeByNames(List& items, const std::vector<std::string>& order, NameOf nameOf) {
    const size_t itemCount = items.size();
    const size_t nameCount = order.size();
    auto find = [&](const std::string& name) -> size_t {
        for (size_t j = 0; j < items.size(); ++j)
            if (nameOf(items[j]) == name)
                return j;
        return items.size();
    };
    // Puts the item named order[i] at position i; false when no item has that name.
    auto place = [&](size_t i) {
        const size_t j = find(order[i]);
        if (j == items.size())
            return false;
        if (j != i) {
            using std::swap;
            swap(items[i], items[j]);
        }
        return true;
    };

    bool changed = false;
    if (nameCount < itemCount) {
        changed = true;
        for (size_t i = 0; i < nameCount; ++i)
            place(i);
    } else if (nameCount > itemCount) {
        changed = true;
        for (size_t j = 0; j < itemCount; ++j)
            place(j);
        for (size_t k = itemCount; k < nameCount; ++k) {
            const size_t j = find(order[k]);
            if (j == items.size())
                continue;
            auto moved = std::move(items[j]);
            items.erase(items.begin() + static_cast<std::ptrdiff_t>(j));
            items.push_back(std::move(moved));
        }
    } else {
        for (size_t l = 0; l < nameCount; ++l)
            if (!place(l))
                changed = true;
    }
    return changed;
}
