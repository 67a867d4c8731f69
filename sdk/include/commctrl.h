// List views, as the common-controls library offers them: columns, rows with one text per
// column, one selected row, and the LVN_ITEMCHANGED notification the parent receives (WM_NOTIFY)
// when the user selects a row (WinStandIn::UserChoose, winuser.h). Inserting, deleting and
// selecting by message notify nobody, as on Windows for the calls the module makes here.
#pragma once

#include "windows.h"

struct NMHDR {
    HWND hwndFrom;
    UINT_PTR idFrom;
    UINT code;
};

constexpr UINT LVIF_TEXT = 0x0001;
constexpr UINT LVIF_STATE = 0x0008;
constexpr UINT LVIS_FOCUSED = 0x0001;
constexpr UINT LVIS_SELECTED = 0x0002;
constexpr UINT LVCF_TEXT = 0x0004;
constexpr UINT LVCF_WIDTH = 0x0002;
constexpr int LVNI_SELECTED = 0x0002;

constexpr UINT LVN_FIRST = static_cast<UINT>(-100);
constexpr UINT LVN_ITEMCHANGED = LVN_FIRST - 1;

struct NMLISTVIEW {
    NMHDR hdr;
    int iItem;
    int iSubItem;
    UINT uNewState;
    UINT uOldState;
    UINT uChanged;
};
using LPNMLISTVIEW = NMLISTVIEW*;

struct LVCOLUMNW {
    UINT mask;
    int fmt;
    int cx;
    const wchar_t* pszText;
    int cchTextMax;
    int iSubItem;
};
using LVCOLUMN = LVCOLUMNW;

struct LVITEMW {
    UINT mask;
    int iItem;
    int iSubItem;
    UINT state;
    UINT stateMask;
    const wchar_t* pszText;
    int cchTextMax;
};
using LVITEM = LVITEMW;

constexpr UINT LVM_FIRST = 0x1000;
constexpr UINT LVM_GETITEMCOUNT = LVM_FIRST + 4;
constexpr UINT LVM_DELETEITEM = LVM_FIRST + 8;
constexpr UINT LVM_DELETEALLITEMS = LVM_FIRST + 9;
constexpr UINT LVM_GETNEXTITEM = LVM_FIRST + 12;
constexpr UINT LVM_SETITEMSTATE = LVM_FIRST + 43;
constexpr UINT LVM_INSERTITEMW = LVM_FIRST + 77;
constexpr UINT LVM_SETITEMTEXTW = LVM_FIRST + 116;
constexpr UINT LVM_INSERTCOLUMNW = LVM_FIRST + 97;

// The macros of commctrl.h, as functions.
inline int ListView_InsertColumn(HWND h, int i, const LVCOLUMN* col) {
    return static_cast<int>(
        SendMessageW(h, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(col)));
}
// Inserts a row at item->iItem (clamped to the end) with item->pszText in column 0; answers
// the row's index, -1 on failure.
inline int ListView_InsertItem(HWND h, const LVITEM* item) {
    return static_cast<int>(SendMessageW(h, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(item)));
}
inline BOOL ListView_SetItemText(HWND h, int i, int sub, const wchar_t* text) {
    LVITEM item{};
    item.iSubItem = sub;
    item.pszText = text;
    return static_cast<BOOL>(
        SendMessageW(h, LVM_SETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item)));
}
inline BOOL ListView_DeleteAllItems(HWND h) {
    return static_cast<BOOL>(SendMessageW(h, LVM_DELETEALLITEMS, 0, 0));
}
inline int ListView_GetItemCount(HWND h) {
    return static_cast<int>(SendMessageW(h, LVM_GETITEMCOUNT, 0, 0));
}
// With LVNI_SELECTED: the selected row after `start` (-1: from the top), or -1.
inline int ListView_GetNextItem(HWND h, int start, int flags) {
    return static_cast<int>(
        SendMessageW(h, LVM_GETNEXTITEM, static_cast<WPARAM>(start), static_cast<LPARAM>(flags)));
}
// Selects (state LVIS_SELECTED in mask) or deselects row i; i = -1 applies to every row.
inline void ListView_SetItemState(HWND h, int i, UINT state, UINT mask) {
    LVITEM item{};
    item.state = state;
    item.stateMask = mask;
    SendMessageW(h, LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
}
