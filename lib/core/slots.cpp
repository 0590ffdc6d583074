#include "core/slots.h"
#include "core/text.h"
#include <algorithm>

namespace tovn {

int Index(int page, int cell, int cellsPerPage) {
    int i = (page - 1) * cellsPerPage + cell - 1;
    return i < 0 ? -1 : i;
}

int PageCountFor(int count, int cellsPerPage) {
    if (cellsPerPage <= 0) return 1;
    int pages = count / cellsPerPage + (count % cellsPerPage ? 1 : 0);
    return pages == 0 ? 1 : pages;
}

int SquareFor(int files) {
    int k = 0;
    while (k * k < files) ++k;
    return k;
}

int NonEmptyCount(const BrowserState& s) {
    return static_cast<int>(std::count_if(s.FileList.begin(), s.FileList.end(),
                                          [](const Slot& x) { return !x.name.empty(); }));
}

int CursorSlot(const BrowserState& s) {
    return Index(s.CurrentPage, s.CursorCell, s.CellsPerPage);
}

CellRect CellRectOf(int cell, int n, int cellWidth, int cellHeight) {
    int row = (cell - 1) / n, column = (cell - 1) % n;
    int left = column * cellWidth, top = row * cellHeight;
    return {left, top, left + cellWidth, top + cellHeight};
}

namespace {

bool Filled(const BrowserState& s, int i) {
    return i >= 0 && i < static_cast<int>(s.FileList.size()) && !s.FileList[i].name.empty();
}

int ForwardFrom(const BrowserState& s, int first) {
    for (int i = std::max(first, 0); i < static_cast<int>(s.FileList.size()); ++i)
        if (Filled(s, i)) return i;
    return -1;
}

int BackwardFrom(const BrowserState& s, int first) {
    for (int i = std::min(first, static_cast<int>(s.FileList.size()) - 1); i >= 0; --i)
        if (Filled(s, i)) return i;
    return -1;
}

CursorTarget Target(int slot) {
    return slot < 0 ? CursorTarget{} : CursorTarget{true, slot};
}

} // namespace

CursorTarget FindGoToCellTarget(const BrowserState& s, int page, int cell, bool mayLeavePage) {
    int start = Index(page, cell, s.CellsPerPage);
    int next = ForwardFrom(s, start + 1);
    if (next >= 0 && (mayLeavePage || PageOf(next, s.CellsPerPage) == s.CurrentPage))
        return Target(next);
    return Target(BackwardFrom(s, start));
}

CursorTarget FindPreviousCellTarget(const BrowserState& s, int page, int cell) {
    int start = Index(page, cell, s.CellsPerPage);
    int before = BackwardFrom(s, start - 1);
    if (before >= 0) return Target(before);
    return Target(ForwardFrom(s, start));
}

RowMoveResult FindRowDown(const BrowserState& s) {
    int n = s.DispCount;
    int c = s.CursorCell;
    for (;;) {
        c += n;
        if ((c - 1) / n >= n) return {RowMove::Silent, 0};
        int i = Index(s.CurrentPage, c, s.CellsPerPage);
        if (i >= static_cast<int>(s.FileList.size())) return {RowMove::Beep, 0};
        if (!s.FileList[i].name.empty()) return {RowMove::Moved, c};
    }
}

RowMoveResult FindRowUp(const BrowserState& s) {
    int n = s.DispCount;
    int c = s.CursorCell;
    if ((c - 1) / n == 0) return {RowMove::Silent, 0};
    for (;;) {
        c -= n;
        int i = Index(s.CurrentPage, c, s.CellsPerPage);
        if (c < 1 || i < 0 || PageOf(i, s.CellsPerPage) != s.CurrentPage) return {RowMove::Beep, 0};
        if (i < static_cast<int>(s.FileList.size()) && !s.FileList[i].name.empty())
            return {RowMove::Moved, c};
    }
}

void CompactList(BrowserState& s) {
    s.FileList.erase(std::remove_if(s.FileList.begin(), s.FileList.end(),
                                    [](const Slot& x) { return x.name.empty(); }),
                     s.FileList.end());
}

int FindName(const BrowserState& s, const std::wstring& name) {
    for (size_t i = 0; i < s.FileList.size(); ++i)
        if (EqualNoCase(s.FileList[i].name, name)) return static_cast<int>(i);
    return -1;
}

void PlaceCursorAt(BrowserState& s, int index) {
    if (index < 0) {
        s.CurrentPage = 1;
        s.CursorCell = 1;
        return;
    }
    s.CurrentPage = PageOf(index, s.CellsPerPage);
    s.CursorCell = CellOf(index, s.CellsPerPage);
}

std::wstring ModeText(const BrowserState& s) {
    if (s.CaptureMode) return L"Capture";
    if (s.SortMode) return s.LhaMode ? L"Sort&Lha" : L"Sort";
    return s.LhaMode ? L"Lha" : L"Normal";
}

std::wstring DispText(const BrowserState& s) {
    std::wstring n = std::to_wstring(s.DispCount);
    return L"Disp : " + n + L"*" + n + L"(" + std::to_wstring(SquareFor(NonEmptyCount(s))) + L")";
}

std::wstring PageText(const BrowserState& s) {
    return L"Page : " + std::to_wstring(s.CurrentPage) + L"/" + std::to_wstring(s.PageCount);
}

std::wstring PathText(const BrowserState& s) {
    if (s.FileList.empty()) return s.CurrentDir;
    int i = CursorSlot(s);
    std::wstring name =
        i >= 0 && i < static_cast<int>(s.FileList.size()) ? s.FileList[i].name : std::wstring();
    if (s.LhaMode) return s.CurrentDir + s.ArchiveName + L"\\" + name;
    return s.CurrentDir + name;
}

std::wstring UpperExtension(const std::wstring& name) {
    size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos) return std::wstring();
    return ToUpperAscii(name.substr(dot));
}

bool AcceptsExtension(const std::wstring& name, const std::wstring& upperMask) {
    std::wstring ext = UpperExtension(name);
    if (ext.size() <= 2) return false;
    return upperMask.find(ext) != std::wstring::npos || ext == L".BMP";
}

TargetList CollectTargets(BrowserState& s) {
    TargetList targets;
    for (size_t i = 0; i < s.FileList.size(); ++i) {
        if (s.FileList[i].mark != 1) continue;
        s.FileList[i].mark = 0;
        targets.items.push_back({s.FileList[i].name, static_cast<int>(i)});
    }
    targets.fromMarks = !targets.items.empty();
    if (!targets.fromMarks && !s.FileList.empty()) {
        int i = CursorSlot(s);
        if (i >= 0 && i < static_cast<int>(s.FileList.size()))
            targets.items.push_back({s.FileList[i].name, i});
    }
    return targets;
}

} // namespace tovn

namespace tovn {
void ReindexSortList(BrowserState& s) {
    if (!s.SortList) return;
    std::vector<NamedIndex> kept;
    for (const NamedIndex& pick : *s.SortList) {
        int i = FindName(s, pick.name);
        if (i >= 0) kept.push_back({pick.name, i});
    }
    *s.SortList = kept;
}
} // namespace tovn
