#include "archive/unlha.h"
#include "win/handles.h"
#include "app/win_text.h"
#include <cstring>

namespace tovn {

const char* const kUnlhaEntryNames[42] = {
    "UnlhaGetVersion",
    "UnlhaGetSubVersion",
    "UnlhaGetRunning",
    "UnlhaGetBackGroundMode",
    "UnlhaSetBackGroundMode",
    "UnlhaGetCursorMode",
    "UnlhaSetCursorMode",
    "UnlhaGetCursorInterval",
    "UnlhaSetCursorInterval",
    "Unlha",
    "UnlhaCheckArchive",
    "UnlhaConfigDialog",
    "UnlhaGetFileCount",
    "UnlhaOpenArchive",
    "UnlhaCloseArchive",
    "UnlhaFindFirst",
    "UnlhaFindNext",
    "UnlhaGetArcFileName",
    "UnlhaGetArcFileSize",
    "UnlhaGetArcOriginalSize",
    "UnlhaGetArcCompressedSize",
    "UnlhaGetArcRatio",
    "UnlhaGetArcDate",
    "UnlhaGetArcTime",
    "UnlhaGetArcOSType",
    "UnlhaGetFileName",
    "UnlhaGetMethod",
    "UnlhaGetOriginalSize",
    "UnlhaGetCompressedSize",
    "UnlhaGetRatio",
    "UnlhaGetDate",
    "UnlhaGetTime",
    "UnlhaGetWriteTime",
    "UnlhaGetAccessTime",
    "UnlhaGetCreateTime",
    "UnlhaGetCRC",
    "UnlhaGetAttribute",
    "UnlhaGetOSType",
    "UnlhaQueryFunctionList",
    "UnlhaSetOwnerWindow",
    "UnlhaClearOwnerWindow",
    "UnlhaExtractMem",
};

namespace {

UniqueModule UnlhaLib; // null until loaded
bool loaded = false;
FARPROC slots[42];
bool bound[42];
UnlhaEntries entries;
StandByReporter standByReporter = nullptr;

int SlotOf(const char* name) {
    for (int i = 0; i < 42; ++i)
        if (std::strcmp(kUnlhaEntryNames[i], name) == 0) return i;
    return -1;
}

// The message of a stand-by routine: the entry's name, then ": LHA.DLL not loaded.".
void Panic(const char* name) {
    std::wstring text = FromAnsi(name) + L": LHA.DLL not loaded" + L".";
    if (standByReporter) standByReporter(Result::Error(text, L"PANIC!!", Say::ErrorBox));
}

// One stand-by routine per slot, each knowing its own name; the argument list matches the
// calls the program makes (the other slots are never called).
template <int Slot, typename... Args> int WINAPI StandBy(Args...) {
    Panic(kUnlhaEntryNames[Slot]);
    return 0;
}
template <int Slot> HARC WINAPI StandByOpen(HWND, LPCSTR, DWORD) {
    Panic(kUnlhaEntryNames[Slot]);
    return nullptr;
}

template <int... Slots> void FillStandBys(std::integer_sequence<int, Slots...>) {
    ((slots[Slots] = reinterpret_cast<FARPROC>(&StandBy<Slots>)), ...);
}

template <typename F> void Bind(F& target, const char* name) {
    target = reinterpret_cast<F>(reinterpret_cast<void*>(slots[SlotOf(name)]));
}

void PutStandBys() {
    FillStandBys(std::make_integer_sequence<int, 42>{});
    slots[SlotOf("Unlha")] = reinterpret_cast<FARPROC>(&StandBy<9, HWND, LPCSTR, LPSTR, DWORD>);
    slots[SlotOf("UnlhaCheckArchive")] = reinterpret_cast<FARPROC>(&StandBy<10, LPCSTR, int>);
    slots[SlotOf("UnlhaOpenArchive")] = reinterpret_cast<FARPROC>(&StandByOpen<13>);
    slots[SlotOf("UnlhaCloseArchive")] = reinterpret_cast<FARPROC>(&StandBy<14, HARC>);
    slots[SlotOf("UnlhaFindFirst")] =
        reinterpret_cast<FARPROC>(&StandBy<15, HARC, LPCSTR, IndividualInfo*>);
    slots[SlotOf("UnlhaFindNext")] = reinterpret_cast<FARPROC>(&StandBy<16, HARC, IndividualInfo*>);
    for (bool& b : bound) b = false;
}

void BindEntries() {
    Bind(entries.Unlha, "Unlha");
    Bind(entries.CheckArchive, "UnlhaCheckArchive");
    Bind(entries.OpenArchive, "UnlhaOpenArchive");
    Bind(entries.CloseArchive, "UnlhaCloseArchive");
    Bind(entries.FindFirst, "UnlhaFindFirst");
    Bind(entries.FindNext, "UnlhaFindNext");
}

} // namespace

void SetStandByReporter(StandByReporter reporter) {
    standByReporter = reporter;
}

void LoadUnlha() {
    UnlhaLib.reset();
    loaded = false;
    PutStandBys();
    BindEntries();
    HMODULE h = ::LoadLibraryA("UNLHA32.DLL");
    if (reinterpret_cast<UINT_PTR>(h) < 32) return;
    UnlhaLib.reset(h);
    for (int i = 0; i < 42; ++i) {
        if (FARPROC p = ::GetProcAddress(h, kUnlhaEntryNames[i])) {
            slots[i] = p;
            bound[i] = true;
        }
    }
    BindEntries();
    loaded = true;
}

void UnloadUnlha() {
    PutStandBys();
    BindEntries();
    UnlhaLib.reset();
    loaded = false;
}

bool UnlhaLoaded() {
    return loaded;
}

const UnlhaEntries& Unlha() {
    if (!entries.Unlha) {
        PutStandBys();
        BindEntries();
    }
    return entries;
}

bool UnlhaHasEntry(const char* name) {
    int i = SlotOf(name);
    return i >= 0 && bound[i];
}

bool UnlhaFindFirstSafe(HARC archive, const char* wildcard, IndividualInfo& info) {
    std::memset(&info, 0, sizeof info);
    int result = Unlha().FindFirst(archive, wildcard, &info);
    return result == 0 && UnlhaHasEntry("UnlhaFindFirst");
}

bool UnlhaFindNextSafe(HARC archive, IndividualInfo& info) {
    std::memset(&info, 0, sizeof info);
    int result = Unlha().FindNext(archive, &info);
    return result == 0 && UnlhaHasEntry("UnlhaFindNext");
}

OpenedArchive::OpenedArchive(HWND owner, const std::string& path)
    : handle_(Unlha().OpenArchive(owner, path.c_str(), kOpenMatchNameOnly)) {}

OpenedArchive::~OpenedArchive() {
    Unlha().CloseArchive(handle_);
}

bool FindArchiveEntry(HWND owner, const std::string& archivePath, const std::string& name,
                      IndividualInfo* info) {
    IndividualInfo local;
    OpenedArchive archive(owner, archivePath);
    return UnlhaFindFirstSafe(archive.get(), name.c_str(), info ? *info : local);
}

int RunUnlha(HWND owner, const std::string& commandLine) {
    char output[kUnlhaOutputSize] = {};
    return Unlha().Unlha(owner, commandLine.c_str(), output, kUnlhaOutputSize);
}

Result RunArchiveCommand(HWND owner, const std::string& commandLine) {
    int answer = RunUnlha(owner, commandLine);
    if (answer == 0) return Result::Ok();
    return Result::Fail(L"UNLHA32.DLL: " + FromAnsi(commandLine),
                        static_cast<unsigned long>(answer));
}

} // namespace tovn
