// The paint of the grid: one cell per slot, from the thumbnails the workers make, with a
// cache of what each cell shows so that a repaint decodes only the cells whose file changed,
// and the cells of the pages around drawn ahead while the program is idle.
#pragma once
#include "browser/prefetch.h"
#include "core/browser_state.h"
#include "place/place.h"
#include <windows.h>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tovn {

class Browser;
class GridImage;
class GridView;
class PictureHost;
struct LoadedPicture;

class GridPainter {
public:
    GridPainter(GridView& view, Browser& core, PictureHost& pictures, GridImage& image);
    GridPainter(const GridPainter&) = delete;
    GridPainter& operator=(const GridPainter&) = delete;
    ~GridPainter();

    // The workers start with the lasting thumbnail cache of programDir; they stop (an
    // unfinished paint abandoned) before the plug-ins go.
    void StartWorkers(const std::wstring& programDir);
    void StopWorkers();

    // Every cell of the page decodes again at its next paint.
    void ResetPageCells();
    // The page's decodes go to the workers at once and the cells are drawn in order as they
    // come; a key pressed meanwhile ends the paint early, and the idle loop draws the rest.
    void PaintPage();
    // Paints one cell from one slot, waiting for its decode; false when the cache kept the
    // cell as it was.
    bool PaintCell(int cell, int slot);
    void PaintEmptyCell(int cell);
    void PaintEmptyCells();
    // Into dc when given (drawn at the canvas's coordinates), else onto the canvas.
    void PaintCellFrame(int cell, HDC dc = nullptr);
    // The page the canvas's cells show.
    int PaintedPage() const { return paintedPage_; }

    // Idle work: draws the next cell of a page whose paint a key ended early; else keeps one
    // thumbnail of the next page, then of the previous one, that the workers made, in the
    // cell store; false when they are all there (or on a palette screen, which repaints
    // every cell against the screen's palette).
    bool PrefetchStep();
    int PrefetchCount() const { return prefetchCount_; }
    const CellStore& CellPictures() const { return cellPictures_; }
    // Counts of pictures decoded by PaintCell (tests check the cache with it).
    int DecodeCount() const { return decodeCount_; }

private:
    HWND Owner() const;
    void PrepareThumbnailLoad();
    void DrawThumbnail(int cell, const std::wstring& name, int32_t date);
    void DrawCellPicture(HDC dc, int cell, const std::wstring& name, const LoadedPicture& loaded);
    CellPicture KeptCell(int cell, CellThumb& thumb);
    bool ShowStoredCell(int cell, const std::wstring& name, int32_t date);
    // The date and size of a folder file or archive entry; not found when a folder file
    // cannot be read.
    EntryStamp Stamp(const std::wstring& name);
    PlannedCell PlanCell(int cell, int slot);
    void DrawPlanned(PlannedCell& planned, bool idle);
    void ShowThumb(const PlannedCell& planned);
    bool FillCells(bool idle);
    void AbandonFill();
    ThumbRequest RequestFor(int cell, const std::wstring& name, const EntryStamp& stamp) const;
    ThumbTicketPtr TakeAhead(const std::wstring& name, int cell, int32_t date);
    void StoreAhead(const std::wstring& name, ThumbTicket& ticket);
    bool PrefetchAhead();
    std::wstring SourceKey() const;

    GridView& view_;
    Browser& core_;
    BrowserState& st_;
    PictureHost* pictures_;
    GridImage& imgMain_;
    std::unique_ptr<ThumbWorkers> workers_;
    int decodeCount_ = 0;
    CellStore cellPictures_;
    int prefetchCount_ = 0;
    std::vector<PlannedCell> fill_;                // cells of the page still to draw
    std::map<std::wstring, ThumbTicketPtr> ahead_; // thumbnails asked for the pages around
    DWORD fillShown_ = 0;
    int paintedPage_ = 1;
};

} // namespace tovn
