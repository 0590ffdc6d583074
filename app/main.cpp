// Program entry: bind the archive library, create the browser and the progress window, run
// the message loop (idle turns decode the next page ahead), release the library.
#include "app/report.h"
#include "app/win_text.h"
#include "app/wait_window.h"
#include "archive/unlha.h"
#include "browser/main_window.h"
#include "app/settings.h"
#include <commctrl.h>
#include <shellapi.h>

using namespace tovn;

namespace {

std::vector<std::wstring> Arguments() {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    std::vector<std::wstring> args;
    for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
    ::LocalFree(argv);
    return args;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    SetStandByReporter([](const Result& r) { Report(nullptr, r); });
    LoadUnlha();
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
    ::InitCommonControlsEx(&icc);
    std::wstring program = ModulePath(nullptr);
    MainWindowOptions options;
    options.iniPath = SettingsPathFor(program);
    options.programDir = program.substr(0, program.find_last_of(L'\\') + 1);
    options.args = Arguments();
    options.showCommand = show;
    int result = 0;
    {
        MainWindow::Register(instance);
        MainWindow frm(options);
        WaitWindow::Create(instance);
        if (frm.Create(instance)) {
            MSG msg = {};
            while (RunLoopTurn(frm, msg, true) != LoopTurn::Quit) {}
            result = static_cast<int>(msg.wParam);
        }
        WaitWindow::Destroy();
    }
    UnloadUnlha();
    return result;
}
