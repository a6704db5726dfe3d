// The file list's rows: cell texts and sort orders.
#include "fileview/FileListRows.h"

#include <windows.h>

#include <algorithm>

#include "fileview/CShellIconCache.h"
#include "fileview/FileViewText.h"
#include "platform/NaturalOrder.h"

void AppendRows(const tag_DirectoryFileTree& node, std::vector<ListRow>* rows) {
    rows->reserve(rows->size() + node.children.size());
    for (const tag_DirectoryFileTree& child : node.children) {
        ListRow row;
        row.name = child.name;
        row.folder = child.isDirectory != 0;
        row.size = row.folder ? 0 : child.size;
        row.modified = child.modified;
        rows->push_back(std::move(row));
    }
}

std::wstring CellText(const ListRow& row, int column) {
    switch (column) {
    case kNameColumn:
        return row.name;
    case kSizeColumn:
        return row.folder ? std::wstring() : FormatSizeText(row.size);
    case kTypeColumn:
        return row.folder ? L"Folder" : L"File";
    case kDateColumn:
        return FormatModifiedText(row.modified);
    default:
        return std::wstring();
    }
}

bool IsSortColumn(int column) { return column >= kNameColumn && column < kFileListColumnCount; }

namespace {

int CompareNames(const ListRow& a, const ListRow& b) { return platform::CompareNatural(a.name, b.name); }

template <typename T>
int CompareValues(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

// Negative, zero or positive as a sorts before, with or after b, ascending.
int CompareBy(int column, const ListRow& a, const ListRow& b) {
    int order = 0;
    switch (column) {
    case kSizeColumn:
        order = CompareValues(a.size, b.size);
        break;
    case kDateColumn:
        order = CompareValues(a.modified, b.modified);
        break;
    case kTypeColumn:
        // Every file shows "File"; its kind is its extension.
        if (!a.folder) order = ::lstrcmpiW(ExtensionOf(a.name).c_str(), ExtensionOf(b.name).c_str());
        break;
    default:
        break;
    }
    return order ? order : CompareNames(a, b);
}

}  // namespace

void SortRows(std::vector<ListRow>* rows, int column, bool ascending) {
    if (!IsSortColumn(column)) return;
    std::stable_sort(rows->begin(), rows->end(), [column, ascending](const ListRow& a, const ListRow& b) {
        if (a.folder != b.folder) return a.folder;
        int order = CompareBy(column, a, b);
        return ascending ? order < 0 : order > 0;
    });
}
