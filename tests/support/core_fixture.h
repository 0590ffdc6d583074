// The browser's commands run on the real Browser and Dispatcher, with no window, no files and
// no plug-ins: the screen is a FakeGridView that writes down what it is asked, the place a
// MemoryPlace that holds its names in memory, and the dialogs are scripted.
#pragma once
#include "browser/browser.h"
#include "browser/grid_view.h"
#include "picture/picture_host.h"
#include "place/place.h"
#include "support/scripted_dialogs.h"
#include <gtest/gtest.h>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace tovn::test {

// The screen as a list of what was asked of it, in order ("PaintPage 2", "PaintCell 3 7",
// "EmptyCell 4", "EmptyCells", "StatusBar", "ScrollBar", "Layout", "ResetPageCells",
// "CursorBand on", "Waiting Now Making FileList", ...). What the real window writes into the
// state (cell sizes, the page's cells, the page count) it writes too.
class FakeGridView final : public GridView {
public:
    void Attach(BrowserState& st) { st_ = &st; }
    // The grid's size in pixels; the cells follow it at the next layout.
    void SetGridSize(int width, int height) {
        width_ = width;
        height_ = height;
    }

    HWND BoxOwner() const override { return nullptr; }
    bool IsOpen() const override { return open_; }
    void Close() override;
    void LayoutGrid() override;
    void ResetPageCells() override;
    void PaintPage() override;
    bool PaintCell(int cell, int slot) override;
    void PaintEmptyCell(int cell) override;
    void PaintEmptyCells() override;
    void RefreshCell(int cell) override;
    void SetBandsFromState() override { calls.push_back(L"Bands"); }
    void RefreshBands() override { calls.push_back(L"RefreshBands"); }
    void SetCursorBand(bool shown) override;
    void UpdateScrollBar() override;
    void ShowCursorInScrollBar() override;
    int ScrollPosition() const override { return scrollPosition; }
    void UpdateStatusBar() override;
    void UpdateMenuChecks() override { calls.push_back(L"MenuChecks"); }
    void ShowWaitingText(const std::wstring& text) override { calls.push_back(L"Waiting " + text); }
    void RealizeDisplayPalette() override { calls.push_back(L"Palette"); }

    // The calls whose text starts with one of the given words, in order.
    std::vector<std::wstring> Only(std::initializer_list<const wchar_t*> words) const;

    std::vector<std::wstring> calls;
    std::wstring status[4]; // the status bar's panels as last shown
    int scrollPosition = 0; // the scroll bar's thumb
    int paintedPage = 0;    // the page the cells show
    bool cursorShown = false;

private:
    void ShowStatus();
    void Cell(int cell, int slot);

    BrowserState* st_ = nullptr;
    int width_ = 600, height_ = 600;
    bool open_ = true;
};

// A folder or an archive whose files are names in memory. It keeps the contracts of the real
// places (place/place.h): a folder's copy shows a vanished target's slot empty, its move and
// delete skip it and go on after a failure; an archive's step stops on a failure, and a gone
// archive answers ArchiveGone. Every call is written down with its targets.
class MemoryPlace final : public Place {
public:
    enum class Op { List, Copy, Move, Delete, Rename, Duplicate };

    // path: the folder (ends in "\") or, for an archive, the archive file. The calls are
    // written to log, which outlives the place (the browser drops a place it leaves).
    MemoryPlace(std::wstring path, bool archive, std::vector<std::wstring> names,
                std::vector<std::wstring>& log);

    // A file comes (or goes) behind the program's back.
    void Add(const std::wstring& name) { names_.push_back(name); }
    // The file goes behind the program's back (archive file: the whole place goes).
    void Vanish(const std::wstring& name);
    void VanishAll() { gone_ = true; }
    // The next call of op fails with r (nothing changes).
    void FailNext(Op op, Result r) { failures_[op] = std::move(r); }
    bool Holds(const std::wstring& name) const { return Has(name); }
    // Names in the order they were added (renames keep their place).
    const std::vector<std::wstring>& Names() const { return names_; }
    bool IsArchive() const override { return archive_; }
    std::wstring Path() const override { return path_; }
    std::wstring Folder() const override { return path_.substr(0, path_.find_last_of(L'\\') + 1); }
    Result StillThere() const override;
    // Every name the place holds: with no plug-ins loaded there is no mask to filter by.
    Result List(const std::wstring& upperMask, std::vector<std::wstring>& names) const override;
    bool Has(const std::wstring& name) const override;
    FileOutcome Copy(const TargetList& targets, const std::wstring& dest, const Backup& backup,
                     SlotSink& slots) override;
    FileOutcome Move(const TargetList& targets, const std::wstring& dest, const Backup& backup,
                     SlotSink& slots) override;
    FileOutcome Delete(const TargetList& targets, const Backup& backup, SlotSink& slots) override;
    Result Rename(const std::wstring& from, const std::wstring& to) override;
    Result Duplicate(const std::wstring& from, const std::wstring& to) override;
    // Files in memory have no dates: a listed one is found, undated.
    EntryStamp Stamp(const std::wstring& name) const override { return {Has(name)}; }
    // No loose files: the work steps are written to the log and change nothing.
    Result PrepareWork(std::wstring& work) override;
    Result ExtractToWork(const TargetList& targets) override;
    Result StoreBack(const std::vector<std::wstring>& names) override;
    Result StoreAllBack() override;
    void EndWork() override { calls_.push_back(L"EndWork"); }

private:
    // The failure scripted for op (then forgotten), else ok; a gone archive fails first.
    Result TakeFailure(Op op) const;
    void Note(const wchar_t* op, const TargetList& targets, const std::wstring& tail);
    // The outcome of a copy, move or delete that failed with r.
    FileOutcome Failed(Result r) const;
    // Move's and delete's removal: unless op fails, the targets still here leave and each
    // slot is told as removed.
    FileOutcome Remove(Op op, const TargetList& targets, const wchar_t* stage, SlotSink& slots);
    std::vector<std::wstring>::iterator Find(const std::wstring& name);
    std::vector<std::wstring>::const_iterator Find(const std::wstring& name) const;

    std::vector<std::wstring>& calls_;
    std::wstring path_;
    bool archive_;
    std::vector<std::wstring> names_;
    bool gone_ = false;
    mutable std::map<Op, Result> failures_; // one-shot, so taken by const calls too
};

class CoreFixture : public ::testing::Test {
protected:
    CoreFixture();

    // The browser on the folder M:\PICS\ holding names, n x n cells a page, its first page
    // shown; the screen's and the places' records start empty afterwards.
    void Show(std::vector<std::wstring> names, int n = 3);
    // The same with the names in the archive M:\PICS\ARC.LZH.
    void ShowArchive(std::vector<std::wstring> names, int n = 3);
    // P01.BMP ... Pnn.BMP.
    void ShowPictures(int files, int n) { Show(Numbered(files), n); }
    static std::vector<std::wstring> Numbered(int files);

    void Key(WORD key, unsigned shift = 0);
    void Menu(int id);
    // What the screen was asked during step alone.
    std::vector<std::wstring> ScreenDuring(const std::function<void()>& step);
    // The beeps and boxes of step alone.
    std::vector<std::wstring> During(const std::function<void()>& step);

    void Answer(std::initializer_list<const wchar_t*> texts);
    void Choose(const std::wstring& folder);
    std::wstring CursorName() const;
    std::wstring Name(int slot) const { return st().FileList.at(slot).name; }
    // The list as the first letters of its names, "_" for an empty slot.
    std::wstring Order() const;
    std::wstring LastMessage() const;
    BrowserState& st() { return browser.State(); }
    const BrowserState& st() const { return browser.State(); }

    ScriptedDialogs dialogs;
    FakeGridView view;
    PictureHost pictures; // no plug-ins loaded
    MainWindowOptions options;
    Browser browser{view, pictures, options};
    // The names each folder (ending in "\") or archive holds when the browser goes there.
    std::map<std::wstring, std::vector<std::wstring>> files;
    MemoryPlace* place = nullptr; // the place made last; the browser owns it
    // Every call of the places shown but Has and StillThere, in order:
    // "Copy P01.BMP P02.BMP -> D:\", "Delete P01.BMP backup 2", "Rename A.BMP -> B.BMP", ...
    std::vector<std::wstring> placeCalls;

private:
    std::unique_ptr<Place> InMemory(const std::wstring& path, bool archive);
    void ShowPlace(std::unique_ptr<Place> shown, int n);
};

} // namespace tovn::test
