// Text and file-system helpers at the Win32 boundary.
#pragma once
#include <windows.h>
#include <string>

namespace tovn {

// Shift keys held with a key command.
enum ShiftState : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4 };

// The ANSI code page is where the outside interfaces (plug-ins, the archive library, batch
// files) take their text; conversions happen here and nowhere else.
std::string ToAnsi(const std::wstring& s);
std::wstring FromAnsi(const std::string& s);
// s in the ANSI code page without look-alike ("best-fit") or default characters, checked by
// converting back; false when the code page cannot spell s exactly.
bool ExactAnsi(const std::wstring& s, std::string& out);

bool FileExists(const std::wstring& path);   // an existing file (not a folder)
bool FolderExists(const std::wstring& path); // an existing folder
bool PathExists(const std::wstring& path);   // either

// A whole file's bytes; false when it cannot be read.
bool ReadFileBytes(const std::wstring& path, std::string& bytes);
// The start of a file, up to limit bytes, read piece by piece; whole tells whether the file
// ended within them. False when it cannot be read.
bool ReadFileStart(const std::wstring& path, size_t limit, std::string& bytes, bool& whole);
// Creates or replaces path with bytes, written first to a temporary file beside it which then
// takes the name (an existing file's attributes kept): a write that fails, on a full disk say,
// leaves any file of that name as it was. False when not every byte was written.
bool WriteFileBytes(const std::wstring& path, const void* data, size_t size);
inline bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    return WriteFileBytes(path, bytes.data(), bytes.size());
}

// Deletes every file of folder (ends in "\"), its subfolders with theirs included (any
// attributes), then removes the folder. True when the folder is gone.
bool ClearTempDir(const std::wstring& folder);

// Shift, Alt and Ctrl as the key handlers see them.
unsigned CurrentShiftState(bool altDown);

std::wstring ModulePath(HMODULE module);

} // namespace tovn
