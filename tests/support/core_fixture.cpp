#include "support/core_fixture.h"
#include "browser/dispatcher.h"
#include "core/slots.h"
#include "core/text.h"
#include <algorithm>

namespace tovn::test {

void FakeGridView::Close() {
    calls.push_back(L"Close");
    open_ = false;
}

void FakeGridView::LayoutGrid() {
    calls.push_back(L"Layout");
    st_->CellWidth = width_ / st_->DispCount;
    st_->CellHeight = height_ / st_->DispCount;
}

void FakeGridView::ResetPageCells() {
    calls.push_back(L"ResetPageCells");
    st_->PageCells.assign(st_->CellsPerPage + 1, CellCache{});
}

void FakeGridView::Cell(int cell, int slot) {
    if (cell < 1 || cell >= static_cast<int>(st_->PageCells.size())) return;
    const bool filled = slot >= 0 && slot < static_cast<int>(st_->FileList.size());
    st_->PageCells[cell] = CellCache{filled ? st_->FileList[slot].name : std::wstring(), 0};
}

// The scroll bar and the status bar come with the page, as on the real window.
void FakeGridView::PaintPage() {
    calls.push_back(L"PaintPage " + std::to_wstring(st_->CurrentPage));
    paintedPage = st_->CurrentPage;
    for (int cell = 1; cell <= st_->CellsPerPage; ++cell)
        Cell(cell, Index(st_->CurrentPage, cell, st_->CellsPerPage));
    scrollPosition = CursorSlot(*st_);
    ShowStatus();
}

// A cell already showing the slot's file is kept.
bool FakeGridView::PaintCell(int cell, int slot) {
    calls.push_back(L"PaintCell " + std::to_wstring(cell) + L" " + std::to_wstring(slot));
    const bool filled = slot >= 0 && slot < static_cast<int>(st_->FileList.size());
    const std::wstring name = filled ? st_->FileList[slot].name : std::wstring();
    if (cell >= 1 && cell < static_cast<int>(st_->PageCells.size()) && !name.empty() &&
        st_->PageCells[cell].name == name)
        return false;
    Cell(cell, slot);
    return true;
}

void FakeGridView::PaintEmptyCell(int cell) {
    calls.push_back(L"EmptyCell " + std::to_wstring(cell));
}

void FakeGridView::PaintEmptyCells() {
    calls.push_back(L"EmptyCells");
    for (int cell = 1; cell <= st_->CellsPerPage; ++cell) {
        const int slot = Index(st_->CurrentPage, cell, st_->CellsPerPage);
        if (slot >= static_cast<int>(st_->FileList.size()) || st_->FileList[slot].name.empty())
            Cell(cell, -1);
    }
}

void FakeGridView::RefreshCell(int cell) {
    calls.push_back(L"Refresh " + std::to_wstring(cell));
}

void FakeGridView::SetCursorBand(bool shown) {
    calls.push_back(shown ? L"CursorBand on" : L"CursorBand off");
    cursorShown = shown;
}

void FakeGridView::UpdateScrollBar() {
    calls.push_back(L"ScrollBar");
    scrollPosition = CursorSlot(*st_);
}

void FakeGridView::ShowCursorInScrollBar() {
    calls.push_back(L"ScrollPosition " + std::to_wstring(CursorSlot(*st_)));
    scrollPosition = CursorSlot(*st_);
}

void FakeGridView::UpdateStatusBar() {
    calls.push_back(L"StatusBar");
    ShowStatus();
}

void FakeGridView::ShowStatus() {
    st_->PageCount = PageCountFor(static_cast<int>(st_->FileList.size()), st_->CellsPerPage);
    status[0] = ModeText(*st_);
    status[1] = DispText(*st_);
    status[2] = PageText(*st_);
    status[3] = PathText(*st_);
}

std::vector<std::wstring> FakeGridView::Only(std::initializer_list<const wchar_t*> words) const {
    std::vector<std::wstring> picked;
    for (const std::wstring& c : calls)
        for (const wchar_t* w : words)
            if (c == w || c.rfind(std::wstring(w) + L" ", 0) == 0) {
                picked.push_back(c);
                break;
            }
    return picked;
}

MemoryPlace::MemoryPlace(std::wstring path, bool archive, std::vector<std::wstring> names,
                         std::vector<std::wstring>& log)
    : calls_(log), path_(std::move(path)), archive_(archive), names_(std::move(names)) {}

std::vector<std::wstring>::iterator MemoryPlace::Find(const std::wstring& name) {
    return std::find_if(names_.begin(), names_.end(),
                        [&](const std::wstring& n) { return EqualNoCase(n, name); });
}

std::vector<std::wstring>::const_iterator MemoryPlace::Find(const std::wstring& name) const {
    return std::find_if(names_.begin(), names_.end(),
                        [&](const std::wstring& n) { return EqualNoCase(n, name); });
}

void MemoryPlace::Vanish(const std::wstring& name) {
    auto it = Find(name);
    if (it != names_.end()) names_.erase(it);
}

Result MemoryPlace::StillThere() const {
    return archive_ && gone_ ? Result::ArchiveGone() : Result::Ok();
}

Result MemoryPlace::TakeFailure(Op op) const {
    if (archive_ && gone_) return Result::ArchiveGone();
    auto it = failures_.find(op);
    if (it == failures_.end()) return Result::Ok();
    Result r = std::move(it->second);
    failures_.erase(it);
    return r;
}

Result MemoryPlace::List(const std::wstring&, std::vector<std::wstring>& names) const {
    calls_.push_back(L"List");
    names.clear();
    const Result r = TakeFailure(Op::List);
    if (r && !gone_) names = names_;
    return r;
}

bool MemoryPlace::Has(const std::wstring& name) const {
    return !gone_ && !name.empty() && Find(name) != names_.end();
}

void MemoryPlace::Note(const wchar_t* op, const TargetList& targets, const std::wstring& tail) {
    std::wstring text = op;
    for (const NamedIndex& t : targets.items) text += L" " + t.name;
    calls_.push_back(text + tail);
}

FileOutcome MemoryPlace::Failed(Result r) const {
    const bool goOn = !archive_; // the shell may have done part of a folder's operation
    return {std::move(r), goOn};
}

FileOutcome MemoryPlace::Copy(const TargetList& targets, const std::wstring& dest, const Backup&,
                              SlotSink& slots) {
    Note(L"Copy", targets, L" -> " + dest);
    if (archive_)
        slots.Stage(L"Now Copying Files");
    else
        for (const NamedIndex& t : targets.items)
            if (!Has(t.name)) slots.Vanished(t.index);
    Result r = TakeFailure(Op::Copy);
    return r ? FileOutcome{} : Failed(std::move(r));
}

FileOutcome MemoryPlace::Remove(Op op, const TargetList& targets, const wchar_t* stage,
                                SlotSink& slots) {
    if (archive_) slots.Stage(stage);
    Result r = TakeFailure(op);
    if (!r) return Failed(std::move(r));
    for (const NamedIndex& t : targets.items) {
        auto it = Find(t.name);
        if (t.name.empty() || it == names_.end()) continue; // vanished: skipped
        names_.erase(it);
        slots.Removed(t.index);
    }
    return {};
}

FileOutcome MemoryPlace::Move(const TargetList& targets, const std::wstring& dest, const Backup&,
                              SlotSink& slots) {
    Note(L"Move", targets, L" -> " + dest);
    return Remove(Op::Move, targets, L"Now Moving Files", slots);
}

FileOutcome MemoryPlace::Delete(const TargetList& targets, const Backup& backup, SlotSink& slots) {
    Note(L"Delete", targets, L" backup " + std::to_wstring(backup.mode));
    return Remove(Op::Delete, targets, L"Now Deleting Files", slots);
}

// A clash, a name leading elsewhere or a file gone fails saying nothing: the command tells.
Result MemoryPlace::Rename(const std::wstring& from, const std::wstring& to) {
    calls_.push_back(L"Rename " + from + L" -> " + to);
    Result r = TakeFailure(Op::Rename);
    if (!r) return r;
    auto it = Find(from);
    if (it == names_.end() || Has(to) || to.find_first_of(L"\\/\"") != std::wstring::npos)
        return Result::Refused().As(Say::Nothing);
    *it = to;
    return r;
}

Result MemoryPlace::Duplicate(const std::wstring& from, const std::wstring& to) {
    calls_.push_back(L"Duplicate " + from + L" -> " + to);
    Result r = TakeFailure(Op::Duplicate);
    if (!r) return r;
    if (!Has(from) || Has(to)) return CannotCreate(from);
    names_.push_back(to);
    return r;
}

Result MemoryPlace::PrepareWork(std::wstring& work) {
    calls_.push_back(L"PrepareWork");
    work = archive_ ? L"M:\\WORK\\" : path_;
    return Result::Ok();
}

Result MemoryPlace::ExtractToWork(const TargetList& targets) {
    Note(L"ExtractToWork", targets, L"");
    return Result::Ok();
}

Result MemoryPlace::StoreBack(const std::vector<std::wstring>& names) {
    std::wstring text = L"StoreBack";
    for (const std::wstring& name : names) text += L" " + name;
    calls_.push_back(text);
    return Result::Ok();
}

Result MemoryPlace::StoreAllBack() {
    calls_.push_back(L"StoreAllBack");
    return Result::Ok();
}

namespace {
const wchar_t* const kFolder = L"M:\\PICS\\";
const wchar_t* const kArchive = L"M:\\PICS\\ARC.LZH";
} // namespace

CoreFixture::CoreFixture() {
    view.Attach(browser.State());
    browser.folderPlace = [this](const std::wstring& folder) { return InMemory(folder, false); };
}

std::unique_ptr<Place> CoreFixture::InMemory(const std::wstring& path, bool archive) {
    auto made = std::make_unique<MemoryPlace>(path, archive, files[path], placeCalls);
    place = made.get();
    return made;
}

void CoreFixture::ShowPlace(std::unique_ptr<Place> shown, int n) {
    browser.SetPlace(std::move(shown));
    st().SetDispCountValue(n);
    st().CurrentPage = 1;
    st().CursorCell = 1;
    browser.Redraw(rdList | rdLayout | rdCells);
    view.SetCursorBand(true);
    view.calls.clear();
    placeCalls.clear();
    dialogs.events.clear();
}

void CoreFixture::Show(std::vector<std::wstring> names, int n) {
    files[kFolder] = std::move(names);
    ShowPlace(InMemory(kFolder, false), n);
}

void CoreFixture::ShowArchive(std::vector<std::wstring> names, int n) {
    files[kArchive] = std::move(names);
    ShowPlace(InMemory(kArchive, true), n);
}

std::vector<std::wstring> CoreFixture::Numbered(int files) {
    std::vector<std::wstring> names;
    for (int i = 1; i <= files; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"P%02d.BMP", i);
        names.push_back(name);
    }
    return names;
}

void CoreFixture::Key(WORD key, unsigned shift) {
    Dispatcher(browser).KeyDown(key, shift);
}

void CoreFixture::Menu(int id) {
    Dispatcher(browser).Menu(id);
}

std::vector<std::wstring> CoreFixture::ScreenDuring(const std::function<void()>& step) {
    view.calls.clear();
    step();
    return view.calls;
}

std::vector<std::wstring> CoreFixture::During(const std::function<void()>& step) {
    dialogs.events.clear();
    step();
    return dialogs.events;
}

void CoreFixture::Answer(std::initializer_list<const wchar_t*> texts) {
    for (const wchar_t* t : texts) dialogs.inputAnswers.push_back(std::wstring(t));
}

void CoreFixture::Choose(const std::wstring& folder) {
    ChooserAnswer a;
    a.folder = folder;
    a.count = st().DispCount;
    dialogs.choices.push_back({true, a});
}

std::wstring CoreFixture::CursorName() const {
    const int i = CursorSlot(st());
    return i >= 0 && i < static_cast<int>(st().FileList.size()) ? st().FileList[i].name : L"";
}

std::wstring CoreFixture::Order() const {
    std::wstring o;
    for (const Slot& s : st().FileList) o += s.name.empty() ? L"_" : s.name.substr(0, 1);
    return o;
}

std::wstring CoreFixture::LastMessage() const {
    return dialogs.messages.empty() ? L"" : dialogs.messages.back().text;
}

} // namespace tovn::test
