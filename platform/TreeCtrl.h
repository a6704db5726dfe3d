// CTreeCtrl: the stock tree view behind the window wrapper, with the few
// operations the program uses.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "platform/Wnd.h"

namespace platform {

class CTreeCtrl : public CWnd {
public:
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id, DWORD exStyle = 0) {
        return CreateEx(exStyle, WC_TREEVIEWW, L"", style, rect, parent, id);
    }

    HTREEITEM InsertItem(const std::wstring& text, int image, int selectedImage, HTREEITEM parent,
                         HTREEITEM after = TVI_LAST) {
        TVINSERTSTRUCTW tvis{};
        tvis.hParent = parent ? parent : TVI_ROOT;
        tvis.hInsertAfter = after;
        tvis.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        tvis.item.pszText = const_cast<wchar_t*>(text.c_str());
        tvis.item.iImage = image;
        tvis.item.iSelectedImage = selectedImage;
        return reinterpret_cast<HTREEITEM>(SendMessage(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&tvis)));
    }
    bool DeleteItem(HTREEITEM item) { return SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)) != 0; }
    bool DeleteAllItems() { return DeleteItem(TVI_ROOT); }

    HTREEITEM GetNextItem(HTREEITEM item, UINT code) const {
        return reinterpret_cast<HTREEITEM>(SendMessage(TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
    }
    HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
    HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
    HTREEITEM GetChildItem(HTREEITEM item) const { return GetNextItem(item, TVGN_CHILD); }
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const { return GetNextItem(item, TVGN_NEXT); }
    HTREEITEM GetParentItem(HTREEITEM item) const { return GetNextItem(item, TVGN_PARENT); }
    bool ItemHasChildren(HTREEITEM item) const { return item && GetChildItem(item) != nullptr; }

    bool SelectItem(HTREEITEM item) { return SendMessage(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != 0; }
    bool Expand(HTREEITEM item, UINT code) { return SendMessage(TVM_EXPAND, code, reinterpret_cast<LPARAM>(item)) != 0; }
    UINT GetCount() const { return static_cast<UINT>(SendMessage(TVM_GETCOUNT)); }
    bool IsExpanded(HTREEITEM item) const {
        return (SendMessage(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
    }

    // The control never tells a text's length: grow the buffer until the text fits.
    std::wstring GetItemText(HTREEITEM item) const {
        if (!item) return {};
        for (size_t capacity = 256; capacity <= (1u << 20); capacity *= 4) {
            std::wstring text(capacity, L'\0');
            TVITEMW tvi{};
            tvi.mask = TVIF_TEXT | TVIF_HANDLE;
            tvi.hItem = item;
            tvi.pszText = text.data();
            tvi.cchTextMax = static_cast<int>(capacity);
            if (!SendMessage(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi))) return {};
            size_t len = std::char_traits<wchar_t>::length(text.c_str());
            if (len + 1 < capacity) {
                text.resize(len);
                return text;
            }
        }
        return {};
    }

    HIMAGELIST SetImageList(HIMAGELIST images, int kind = TVSIL_NORMAL) {
        return reinterpret_cast<HIMAGELIST>(SendMessage(TVM_SETIMAGELIST, static_cast<WPARAM>(kind),
                                                        reinterpret_cast<LPARAM>(images)));
    }
    COLORREF SetTextColor(COLORREF colour) { return static_cast<COLORREF>(SendMessage(TVM_SETTEXTCOLOR, 0, colour)); }
    COLORREF SetBkColor(COLORREF colour) { return static_cast<COLORREF>(SendMessage(TVM_SETBKCOLOR, 0, colour)); }
};

}  // namespace platform
