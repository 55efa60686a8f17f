#include "register/win32/history/journal_list.h"

#include <algorithm>
#include <string>

#include "register/core/text/text_encoding.h"
#include "register/win32/platform/dpi.h"

namespace journal_list {

namespace {

constexpr int kTimeColumnWidth = 140;
constexpr int kColumnWidth = 100;

}  // namespace

void AddColumns(HWND list, const quorva::JournalLayout& layout)
{
    const int dpi = static_cast<int>(WindowDpi(list));
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER);
    for (std::size_t c = 0; c < layout.captions.size(); ++c) {
        std::wstring caption = Widen(layout.captions[c]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = caption.data();
        column.cx = MulDiv(c == 0 ? kTimeColumnWidth : kColumnWidth, dpi, USER_DEFAULT_SCREEN_DPI);
        column.iSubItem = static_cast<int>(c);
        SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
    }
}

void Show(HWND list, const quorva::JournalRows& rows)
{
    // Row by selected row: "all rows" would visit every row of a long list.
    for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(list, row, LVNI_SELECTED)) {
        ListView_SetItemState(list, row, 0, LVIS_SELECTED);
    }
    const int focused = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
    if (focused >= 0) ListView_SetItemState(list, focused, 0, LVIS_FOCUSED);
    ListView_SetItemCountEx(list, static_cast<int>(rows.size()), 0);
    InvalidateRect(list, nullptr, TRUE);
}

bool FillCell(const NMHDR& header, HWND list, const quorva::JournalRows& rows)
{
    if (header.hwndFrom != list || header.code != LVN_GETDISPINFOW) return false;
    LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header))->item;
    const bool wanted = (item.mask & LVIF_TEXT) && item.iItem >= 0 && static_cast<std::size_t>(item.iItem) < rows.size() &&
                        item.iSubItem >= 0 && static_cast<std::size_t>(item.iSubItem) < rows.layout().captions.size() &&
                        item.cchTextMax > 0;
    if (!wanted) return true;
    const std::wstring text = Widen(rows.Cell(static_cast<std::size_t>(item.iItem), item.iSubItem));
    const std::size_t count = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
    std::copy_n(text.data(), count, item.pszText);
    item.pszText[count] = L'\0';
    return true;
}

}  // namespace journal_list
