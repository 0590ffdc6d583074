// TfrmEdit: the text overlay editor. The user marks a rectangle on the picture, picks the
// colours of four layers (fill, mesh, shadow, text), types up to six lines, draws them with
// Write and stores the picture with Save (as BMP, through MG.EXE for a MAG picture, into
// the archive in archive mode).
#pragma once
#include "win/handles.h"
#include "win/window.h"
#include "edit/edit_logic.h"
#include "partsave/psbat.h"
#include "picture/picture_host.h"
#include <windows.h>
#include <memory>
#include <string>

namespace tovn {

class BrowserPort;

class TfrmEdit final : public Window, public PartSaveEditor {
public:
    explicit TfrmEdit(BrowserPort& browser);
    ~TfrmEdit() override;
    TfrmEdit(const TfrmEdit&) = delete;
    TfrmEdit& operator=(const TfrmEdit&) = delete;

    static void Register(HINSTANCE instance);
    // Makes the window and runs FormShow (the picture under the cursor loaded); false when
    // the window cannot be made.
    bool Create();
    // Runs the window modally; returns its modal result (IDOK after Save).
    int ShowModal();

    // Event handlers.
    void FormShow();
    void FormClose();
    bool FormKeyDown(WORD key);
    void imgEditMouseDown(bool left, int x, int y);
    void imgEditMouseMove(int x, int y);
    void imgEditMouseUp(bool left, int x, int y);
    void ToolButtonClick(int tool, bool down); // btNuriClick ... btHanniClick: tool 1..5
    void udGyouClick(int position);
    void mmEditKeyPress(wchar_t key);
    void btKakiClick();
    void btSaveClick();
    void btCanselClick();

    void LayoutEditor();
    void DrawSwatches() override;
    void DrawTextFrame();
    COLORREF NearestColour(COLORREF colour) const;
    EditSettings& Settings() override { return settings_; }

    // The folder part-save rewrites the outside tools' batch files in (tests set another).
    std::wstring partSaveToolFolder = kToolFolder;

    HWND Memo() const { return mmEdit_; }
    HWND Image() const { return imgEdit_; }
    HWND Control(int id) const { return ::GetDlgItem(hwnd_, id); }
    HDC ImageCanvas() const { return canvasDc_.get(); }
    HBITMAP ViewBitmap() const { return view_.get(); }
    int ToolMode() const { return toolMode_; }
    int SelectionState() const { return selectionState_; }
    const tovn::DragRect& DragRect() const { return drag_; }
    const std::wstring& EditFileName() const { return editFileName_; }
    // The picture being edited, drawn on by Write and stored by Save.
    const Picture& PictureBitmap() const { return edited_.picture; }
    int ModalResult() const { return result_; }
    bool Closed() const { return done_; }
    // After Save: the browser's list must be built again (a new file beside the picture).
    bool ListChanged() const { return listChanged_; }
    // After a Save whose conversion or archive move failed: where the edited picture is.
    const std::wstring& KeptFile() const { return keptFile_; }

    enum ControlId {
        idNuri = 101,
        idAmi,
        idMozi,
        idKage,
        idHanni,
        idGyouLabel,
        idGyou,
        idMemo,
        idKaki,
        idSave,
        idCansel
    };

private:
    static LRESULT CALLBACK ImageProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK MemoProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void CreateControls();
    void LoadEditPicture();
    void MakeViewBitmap();
    void CopyViewToImage();
    void DrawFrame(int sx, int sy, int ex, int ey);
    void DrawDragFrame();
    void ClearSelection();
    void UpdateDrag(int x, int y);
    void SetCaption(const std::wstring& coordinates);
    void ShowGyoukan();
    void PlaceControls();
    void Scroll(int bar, int code);
    void DrawLayers(HBITMAP bitmap);
    void OpenPartSave();
    void ReadSettings();
    void WriteSettings() const;
    void CloseWith(int result);
    HPALETTE Palette() const;

    // Save's steps.
    void SaveSteps();
    enum class Conversion { Converted, Failed, NotReplaced, NotRun };
    Conversion ConvertToMag(const std::wstring& folder, const std::wstring& base);
    bool ConversionWouldReplaceAnother(const std::wstring& base);
    bool SetAsideFilesInTheWay(const std::wstring& folder, const std::wstring& bmpName,
                               const std::wstring& bak);
    void KeepBeside(const std::wstring& path, const std::wstring& folder, const std::wstring& why);
    bool WritePicture(const std::wstring& path);

    BrowserPort& browser_;
    EditSettings settings_;
    HWND imgEdit_ = nullptr;
    HWND mmEdit_ = nullptr;
    HWND lblGyou_ = nullptr;
    HWND udGyou_ = nullptr;
    HWND buttons_[5] = {};
    UniqueBitmap view_;
    UniqueBitmap canvas_;
    UniqueMemDc canvasDc_;
    std::unique_ptr<SelectIn> canvasSelection_; // canvas_ in canvasDc_; released first
    UniqueFont formFont_, memoFont_, labelFont_;
    UniqueBrush white_;
    int pictureWidth_ = 0, pictureHeight_ = 0;
    int viewWidth_ = 0, viewHeight_ = 0;
    int contentWidth_ = 0, contentHeight_ = 0;
    int scrollX_ = 0, scrollY_ = 0;
    int toolMode_ = 0;
    int selectionState_ = 0;
    tovn::DragRect drag_;
    std::wstring editFileName_, editFileExt_;
    LoadedPicture edited_;
    int result_ = IDCANCEL;
    bool done_ = false;
    bool listChanged_ = false;
    bool saving_ = false;
    std::wstring keptFile_;
};

// The E command once its checks passed: the editor on the cursor picture, then the
// browser brought up to date. True when the picture was saved.
bool RunEditor(BrowserPort& browser);

} // namespace tovn
