// TfrmSelDire: the one chooser for a folder to browse, an archive to open, the folder of a
// new archive, the destination of a copy or move, and the count N of the N×N grid.
#pragma once
#include <windows.h>
#include "app/dialogs.h"

namespace tovn {

// Control ids a test finds the chooser's parts by; btOk and btCancel are IDOK and IDCANCEL.
enum ChooserId { kDriveCB = 200, kDirectoryLB = 201, kFileLB = 202, kCountCB = 203 };

// Shows the chooser modally for request.purpose. Returns true for OK; answer is filled on
// every close.
bool ShowChooser(HWND owner, const ChooserRequest& request, ChooserAnswer& answer);

} // namespace tovn
