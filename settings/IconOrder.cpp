#include "IconOrder.h"

#include <algorithm>
#include <optional>

void ApplyIconOrder(KivItemList& items, const std::string& folderPath, const char* dataDirectory) {
    // A stable merge sort: the shell's comparison need not be a strict order, and an
    // inconsistent one must not make the sort run past the list.
    std::stable_sort(items.begin(), items.end(),
                     [](const KivItem& a, const KivItem& b) { return a.CompareIDs(b) < 0; });
    if (folderPath.empty())
        return;

    // One lock from the load to the save: a record that another program removes in between
    // must not be written back. Without the lock no record can be read, and the shell order
    // stands, as the load and the existence test would have left it.
    std::optional<KivParameterMutex> lock;
    try {
        lock.emplace();
    } catch (const KivParameterException&) {
        return;
    }
    KivIconSortHelper<std::string> order(dataDirectory);
    order.LoadParam(folderPath.c_str());
    const bool changed =
        ArrangeByNames(items, order.names,
                       [](const KivItem& item) -> const std::string& { return item.parsingName; });
    if (!changed || !order.ExistsParam(folderPath.c_str()))
        return;
    KivIconSortHelper<std::string> current(dataDirectory);
    current.names.reserve(items.size());
    for (const KivItem& item : items)
        current.names.push_back(item.parsingName);
    current.SaveParam(folderPath.c_str());
}
