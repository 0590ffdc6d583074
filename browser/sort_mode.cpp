#include "browser/sort_mode.h"
#include "app/dialogs.h"
#include "browser/browser.h"
#include "core/slots.h"
#include "core/sort_mode.h"
#include "core/text.h"

namespace tovn {

namespace {

// The menu's check mark follows the mode after the command (the dispatcher, after the command).
void SetSortMode(BrowserState& st, bool on) {
    st.SortMode = on;
    if (!on) st.SortList.reset();
}

// Sort mode on with no pick; ordinary marks are cleared first.
void EnterSortMode(Browser& w) {
    BrowserState& st = w.State();
    bool anyMark = false;
    for (const Slot& s : st.FileList) anyMark = anyMark || s.mark == 1;
    if (anyMark) w.MarkAll();
    st.SortList.emplace();
}

} // namespace

void StartSortByKey(Browser& w) {
    BrowserState& st = w.State();
    EnterSortMode(w);
    SetSortMode(st, true);
    if (!st.FileList.empty()) SortPick(w); // an empty list has nothing to pick
    w.View().UpdateStatusBar();
}

void N5Click(Browser& w) {
    BrowserState& st = w.State();
    if (st.SortMode) {
        w.SetCursorBand(false);
        ApplySort(w);
        w.SetCursorBand(true);
        return;
    }
    if (!st.FileList.empty()) {
        EnterSortMode(w);
        SetSortMode(st, true);
        w.View().RefreshBands(); // the bands take sort mode's colours
    }
    w.View().UpdateStatusBar();
}

void TogglePick(Browser& w, int slot) {
    BrowserState& st = w.State();
    Slot& s = st.FileList[slot];
    const bool picking = st.SortMode && st.SortList;
    if (s.mark == 0) {
        s.mark = 1;
        if (picking) st.SortList->push_back({s.name, slot});
    } else {
        s.mark = 0;
        if (picking) {
            auto& picks = *st.SortList;
            for (auto it = picks.begin(); it != picks.end(); ++it)
                if (EqualNoCase(it->name, s.name)) {
                    picks.erase(it);
                    break;
                }
        }
    }
    w.View().RefreshBands();
}

void SortPick(Browser& w) {
    BrowserState& st = w.State();
    const int slot = CursorSlot(st);
    const int count = static_cast<int>(st.FileList.size());
    if (slot < 0 || slot >= count) {
        CurrentDialogs().Beep();
        return;
    }
    TogglePick(w, slot);
    w.View().RefreshCell(0);
    if (slot != count - 1) w.GoToCell(st.CurrentPage, st.CursorCell, false);
}

void SortHome(Browser& w) {
    BrowserState& st = w.State();
    if (st.FileList.empty()) {
        CurrentDialogs().Beep();
        return;
    }
    auto& picks = *st.SortList;
    if (!picks.empty()) {
        for (const NamedIndex& p : picks) {
            if (p.index < 0 || p.index >= static_cast<int>(st.FileList.size())) continue;
            st.FileList[p.index].mark = 0;
        }
        picks.clear();
        w.View().RefreshBands();
        return;
    }
    for (size_t i = 0; i < st.FileList.size(); ++i) {
        Slot& s = st.FileList[i];
        if (s.name.empty()) continue;
        s.mark = 1;
        picks.push_back({s.name, static_cast<int>(i)});
    }
    w.View().RefreshBands();
}

bool ApplySort(Browser& w) {
    BrowserState& st = w.State();
    const int anchor = CursorSlot(st);
    const bool valid = anchor >= 0 && anchor < static_cast<int>(st.FileList.size()) &&
                       !st.FileList[anchor].name.empty();
    if (!valid || st.FileList[anchor].mark == 1 || st.SortList->empty()) {
        CurrentDialogs().Beep();
        return false;
    }
    for (const NamedIndex& p : *st.SortList)
        if (p.index >= 0 && p.index < static_cast<int>(st.FileList.size()) &&
            st.FileList[p.index].mark == 1)
            st.FileList[p.index].mark = 0;
    w.View().RefreshBands();
    PlaceCursorAt(st, ApplySortPicks(st, anchor));
    w.View().PaintPage();
    SetSortMode(st, false);
    w.View().UpdateStatusBar();
    return true;
}

void EndSortMode(Browser& w) {
    BrowserState& st = w.State();
    if (!st.SortList->empty()) SortHome(w);
    SetSortMode(st, false);
    w.View().UpdateStatusBar();
}

} // namespace tovn
