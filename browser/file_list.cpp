// Building the slot list from the folder or from the open archive.
#include "app/dialogs.h"
#include "win/handles.h"
#include "app/wait_window.h"
#include "app/win_text.h"
#include "archive/unlha.h"
#include "browser/main_window.h"
#include "core/slots.h"
#include <algorithm>

namespace tovn {

namespace {

// Locale-aware, case-insensitive order of the system's default user locale.
void SortByName(std::vector<Slot>& list) {
    std::stable_sort(list.begin(), list.end(), [](const Slot& a, const Slot& b) {
        return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.name.c_str(), -1,
                                b.name.c_str(), -1) == CSTR_LESS_THAN;
    });
}

} // namespace

void MainWindow::BuildFileList() {
    if (st_.LhaMode) {
        BuildArchiveFileList();
        return;
    }
    ShowWaiting(L"Now Making FileList", hwnd_);
    st_.FileList.clear();
    const std::wstring mask = PluginMask();
    WIN32_FIND_DATAW fd;
    // Every kind of entry is listed: hidden and system files, and folders whose names end in
    // a picture extension.
    UniqueFind find(::FindFirstFileW((st_.CurrentDir + L"*.*").c_str(), &fd));
    if (find) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            if (AcceptsExtension(name, mask)) st_.FileList.push_back({name, 0});
        } while (::FindNextFileW(find.get(), &fd));
    }
    SortByName(st_.FileList);
    st_.PageCount = PageCountFor(static_cast<int>(st_.FileList.size()), st_.CellsPerPage);
    UpdateScrollBar();
    ShowWaiting(L"", hwnd_);
}

void MainWindow::BuildArchiveFileList() {
    ShowWaiting(L"Now Making FileList", hwnd_);
    st_.FileList.clear();
    if (!FileExists(ArchivePath())) {
        CurrentDialogs().Beep();
        st_.LhaMode = false;
        BuildFileList();
        return;
    }
    const std::wstring mask = PluginMask();
    bool nested = false;
    {
        OpenedArchive archive(hwnd_, "\"" + ToAnsi(ArchivePath()) + "\"");
        IndividualInfo info;
        for (bool more = UnlhaFindFirstSafe(archive.get(), "*.*", info); more && !nested;
             more = UnlhaFindNextSafe(archive.get(), info)) {
            info.szFileName[sizeof info.szFileName - 1] = '\0';
            std::wstring name = FromAnsi(info.szFileName);
            if (!AcceptsExtension(name, mask)) continue;
            if (name.find(L'/') != std::wstring::npos || name.find(L'\\') != std::wstring::npos)
                nested = true;
            else
                st_.FileList.push_back({name, 0});
        }
    }
    if (nested) {
        CurrentDialogs().Beep();
        CurrentDialogs().Message(hwnd_, L"ﾃﾞｨﾚｸﾄﾘ付きﾌｧｲﾙは扱えません．", L"Return Normal Mode.",
                                 MB_OK);
        ReturnToFolderList();
        return;
    }
    SortByName(st_.FileList);
    st_.PageCount = PageCountFor(static_cast<int>(st_.FileList.size()), st_.CellsPerPage);
    UpdateScrollBar();
    ShowWaiting(L"", hwnd_);
}

} // namespace tovn
