// ApplyIconOrder: a window's shell items put into the folder's stored icon order.
#pragma once
#include <string>

#include "KivIconSortHelper.h"
#include "KivItem.h"

// Sorts a window's items into shell order, then rearranges them by the folder's icon-order
// record. When the record no longer describes the items it is rewritten, but only if its file
// exists: a folder whose items were never moved keeps having no record.
void ApplyIconOrder(KivItemList& items, const std::string& folderPath, const char* dataDirectory);
