// Cell texts, row colours and column widths of the two list views; no window involved.
#include "app/list_views.h"

#include <cwchar>

#include "app/theme.h"

namespace {

struct StatusColour {
    ItemStatus status;
    COLORREF ThemeColors::*text;
};

// Text colours of unselected rows; statuses not listed use the list's text colour.
constexpr StatusColour kStatusColours[] = {
    {ItemStatus::Unchanged, &ThemeColors::unchangedText},  {ItemStatus::Duplicate, &ThemeColors::conflictText},
    {ItemStatus::InvalidName, &ThemeColors::conflictText}, {ItemStatus::Failed, &ThemeColors::conflictText},
    {ItemStatus::TargetExists, &ThemeColors::existsText},  {ItemStatus::Done, &ThemeColors::doneText},
};

constexpr int kOriginalShares[kOriginalColumnCount] = {44, 18, 12, 26};
constexpr int kNewShares[kOriginalColumnCount] = {42, 36, 22, 0};

// The user's short time format ("HH:mm", "h:mm tt"), read once; empty when the system has none.
const std::wstring& ShortTimeFormat()
{
    static const std::wstring format = [] {
        wchar_t buffer[80] = {};
        const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SSHORTTIME, buffer, 80);
        return length > 1 ? std::wstring(buffer) : std::wstring();
    }();
    return format;
}

}  // namespace

std::wstring FormatSizeText(uint64_t size)
{
    wchar_t buffer[64];
    constexpr double kKilo = 1024.0;
    if (size < (1ull << 10)) {
        swprintf(buffer, 64, L"%llu B", static_cast<unsigned long long>(size));
    } else if (size < (1ull << 20)) {
        swprintf(buffer, 64, L"%.1f KB", static_cast<double>(size) / kKilo);
    } else if (size < (1ull << 30)) {
        swprintf(buffer, 64, L"%.1f MB", static_cast<double>(size) / (kKilo * kKilo));
    } else {
        swprintf(buffer, 64, L"%.2f GB", static_cast<double>(size) / (kKilo * kKilo * kKilo));
    }
    return buffer;
}

std::wstring FormatModifiedText(uint64_t localTicks)
{
    const FILETIME file = {static_cast<DWORD>(localTicks), static_cast<DWORD>(localTicks >> 32)};
    SYSTEMTIME time = {};
    if (localTicks == 0 || !FileTimeToSystemTime(&file, &time)) return std::wstring();
    wchar_t date[80] = {}, clock[80] = {};
    const std::wstring& timeFormat = ShortTimeFormat();
    if (!GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, 80, nullptr) ||
        !GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, timeFormat.empty() ? TIME_NOSECONDS : 0, &time,
                         timeFormat.empty() ? nullptr : timeFormat.c_str(), clock, 80))
        return std::wstring();
    return std::wstring(date) + L" " + clock;
}

std::wstring CellText(const FileEntry& row, bool isOriginal, int subItem)
{
    if (isOriginal) {
        if (subItem == 0) return row.name;
        if (subItem == 1) return FormatSizeText(row.size);
        if (subItem == 3) return FormatModifiedText(row.modified);
        return row.extension.empty() ? L"(none)" : row.extension;
    }
    if (subItem == 0) return row.newName;
    if (subItem == 1) return row.targetPath;
    return RowStatusText(row);
}

void FillDisplayTextFrom(const FileList& rows, NMLVDISPINFOW* info, bool isOriginal)
{
    if (!info) return;
    LVITEMW& item = info->item;
    if (item.iItem < 0 || static_cast<size_t>(item.iItem) >= rows.size()) return;
    // A buffer of no size has no room even for the terminator; copying into it would end the
    // process through the invalid-parameter handler.
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
    const std::wstring text = CellText(rows[static_cast<size_t>(item.iItem)], isOriginal, item.iSubItem);
    wcsncpy_s(item.pszText, static_cast<size_t>(item.cchTextMax), text.c_str(), _TRUNCATE);
}

RowColours PickRowColours(bool darkTheme, bool selected, const ItemStatus* status)
{
    const ThemeColors theme = GetThemeColors(darkTheme);
    if (selected) return {theme.selectedRowBackground, theme.listText};
    RowColours colours = {theme.listBackground, theme.listText};
    if (!status) return colours;
    for (const StatusColour& entry : kStatusColours) {
        if (entry.status == *status) colours.text = theme.*entry.text;
    }
    return colours;
}

ColumnWidths ComputeColumnWidths(int clientWidth, int scrollBarWidth, const int32_t stored[kOriginalColumnCount],
                                 bool isOriginal)
{
    int available = clientWidth - scrollBarWidth;
    if (available < 80) available = 80;
    const int* shares = isOriginal ? kOriginalShares : kNewShares;
    const bool storedOk = stored[0] >= 25 && stored[1] >= 17 && stored[2] >= 17;
    ColumnWidths widths = {};
    for (int i = 0; i < 3; ++i) widths.width[i] = storedOk ? stored[i] : available * shares[i] / 100;
    if (isOriginal) widths.width[3] = stored[3] >= 17 ? stored[3] : available * shares[3] / 100;
    return widths;
}

bool IsScrollMessage(UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL: return true;
    case WM_KEYDOWN:
        switch (wParam) {
        case VK_PRIOR:
        case VK_NEXT:
        case VK_END:
        case VK_HOME:
        case VK_UP:
        case VK_DOWN: return true;
        default: return false;
        }
    default: return false;
    }
}
