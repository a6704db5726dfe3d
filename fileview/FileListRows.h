// The file list's rows as data: one per folder entry, the texts each column
// shows, and the orders the column headers sort by.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "fileview/DirectoryFileTree.h"

enum FileListColumn { kIconColumn = 0, kNameColumn, kSizeColumn, kTypeColumn, kDateColumn, kFileListColumnCount };

struct ListRow {
    std::wstring name;
    std::uint64_t size = 0;
    std::uint64_t modified = 0;  // FILETIME ticks, UTC; 0 when the device gave none
    bool folder = false;
    int icon = -1;  // index in the system's small icons
};

// One row per child of node, in its order.
void AppendRows(const tag_DirectoryFileTree& node, std::vector<ListRow>* rows);

// The text a cell shows: name, size text (empty for folders), "Folder" or
// "File", the local short date and time (empty without one).
std::wstring CellText(const ListRow& row, int column);

// Folders first in both directions; within each group by the column, then by
// name. Names compare naturally and without regard to case ("IMG_2" before
// "IMG_10"). A column that does not sort leaves the rows as they are.
void SortRows(std::vector<ListRow>* rows, int column, bool ascending);
bool IsSortColumn(int column);
