// Binding to the LZH archive library UNLHA32.DLL: loaded once at start, every entry looked
// up by name; a missing library or entry leaves a stand-by routine in its slot that says so
// and answers 0, so that no call ever goes to an empty address.
#pragma once
#include "app/result.h"
#include "published/unlha32.h"
#include <windows.h>
#include <string>

namespace tovn {

using IndividualInfo = INDIVIDUALINFO;

constexpr DWORD kOpenMatchNameOnly = 0x00400200; // the mode every lookup uses
constexpr DWORD kUnlhaOutputSize = 1025;

struct UnlhaEntries {
    int(WINAPI* Unlha)(HWND, LPCSTR, LPSTR, DWORD);
    BOOL(WINAPI* CheckArchive)(LPCSTR, int);
    HARC(WINAPI* OpenArchive)(HWND, LPCSTR, DWORD);
    int(WINAPI* CloseArchive)(HARC);
    int(WINAPI* FindFirst)(HARC, LPCSTR, IndividualInfo*);
    int(WINAPI* FindNext)(HARC, IndividualInfo*);
};

// The 42 entry names in slot order.
extern const char* const kUnlhaEntryNames[42];

// Who tells the user that a stand-by routine was called: the program's reporter, set once at
// start. Until one is set the stand-by routines only answer 0.
using StandByReporter = void (*)(const Result&);
void SetStandByReporter(StandByReporter reporter);

void LoadUnlha();
void UnloadUnlha();
bool UnlhaLoaded();
// The bound entries (library entries or stand-by routines).
const UnlhaEntries& Unlha();
// Whether slot `name` holds the library's own entry (false: its stand-by routine).
bool UnlhaHasEntry(const char* name);

// Archive lookups made safe against a library that lacks the search entries: a stand-by
// answer (0 without a real search) counts as "nothing found" instead of "found".
bool UnlhaFindFirstSafe(HARC archive, const char* wildcard, IndividualInfo& info);
bool UnlhaFindNextSafe(HARC archive, IndividualInfo& info);

// An archive opened for lookups, closed when it goes out of scope.
class OpenedArchive {
public:
    OpenedArchive(HWND owner, const std::string& path);
    OpenedArchive(const OpenedArchive&) = delete;
    OpenedArchive& operator=(const OpenedArchive&) = delete;
    ~OpenedArchive();
    HARC get() const { return handle_; }

private:
    HARC handle_;
};

// Looks an entry up by name (UnlhaOpenArchive, UnlhaFindFirst, UnlhaCloseArchive).
bool FindArchiveEntry(HWND owner, const std::string& archivePath, const std::string& name,
                      IndividualInfo* info = nullptr);

// Runs a command line through the library's command entry; returns the library's answer.
int RunUnlha(HWND owner, const std::string& commandLine);
// The same as a result: the library's error code when it answered other than 0.
Result RunArchiveCommand(HWND owner, const std::string& commandLine);

} // namespace tovn
