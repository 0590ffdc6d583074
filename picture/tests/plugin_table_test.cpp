// The plug-in table: which files take slots, which become usable plug-ins, the file patterns
// they declare, the archive plug-in and the screen check made at start-up.
#include <gtest/gtest.h>
#include "picture/tests/test_support.h"

namespace tovn {
namespace {

using test::CountingDialogs;
using test::ScratchFolder;

bool Load(PictureHost& host, int depth = 32) {
    host.screenDepth = [depth](HDC) { return depth; };
    WindowDc screen(nullptr);
    return host.LoadPlugins(screen.get()).ok();
}

bool QuitPosted() {
    MSG msg;
    return ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

TEST(PluginTable, PatternsOfEveryFormatInSlotOrderUpperCased) {
    ScratchFolder folder;
    auto names = folder.PlacePlugins({"FXTWO", "FXGOOD"});
    PictureHost host;
    ASSERT_TRUE(Load(host));
    EXPECT_EQ(host.PluginCount(), 2);
    EXPECT_TRUE(host.SlotHoldsPlugin(0));
    EXPECT_TRUE(host.SlotHoldsPlugin(1));
    EXPECT_EQ(host.PluginMask(), L"*.MAG;*.MKI;*.FXP;");
}

TEST(PluginTable, OnlyExactly00INIsUsedButEveryFileTakesASlot) {
    ScratchFolder folder;
    folder.PlacePlugins({"FXAM", "FXLOWER", "", "FXGOOD"});
    folder.Write(L"a.fxp", test::FxFile(4, 3, 8));
    PictureHost host;
    ASSERT_TRUE(Load(host));
    EXPECT_EQ(host.PluginCount(), 4);
    EXPECT_FALSE(host.SlotHoldsPlugin(0)); // answers 00AM
    EXPECT_FALSE(host.SlotHoldsPlugin(1)); // answers 00in
    EXPECT_FALSE(host.SlotHoldsPlugin(2)); // not a library
    EXPECT_TRUE(host.SlotHoldsPlugin(3));
    EXPECT_EQ(host.PluginMask(), L"*.FXP;");

    // Both refused plug-ins accept every file, yet the picture goes to the one after them.
    CountingDialogs dialogs;
    PictureSource source = test::FolderSource(folder.Path());
    EXPECT_TRUE(host.LoadPicture(L"a.fxp", lpThumbnail, source).ok);
    EXPECT_EQ(dialogs.beeps, 0);
    auto names = test::ListedPlugins(folder.Path());
    EXPECT_EQ(test::FxProbe(names[0]).supportedCalls, 0);
    EXPECT_EQ(test::FxProbe(names[1]).supportedCalls, 0);
}

TEST(PluginTable, OnlySixteenFilesAreExaminedThenTheSystemFolder) {
    // The only real plug-in listed sixteenth is found. Listed seventeenth it is never looked
    // at, and with nothing found the system folder is searched (it holds no plug-ins here).
    for (size_t files : {16, 17}) {
        ScratchFolder folder;
        std::vector<std::string> order(files, "");
        order.back() = "FXGOOD";
        folder.PlacePlugins(order);
        PictureHost host;
        ASSERT_TRUE(Load(host));
        EXPECT_EQ(host.PluginMask(), files == 16 ? L"*.FXP;" : L"") << files;
        EXPECT_EQ(host.PluginCount(), files == 16 ? 16 : 0) << files;
    }
}

TEST(PluginTable, UnloadReleasesEveryLibraryIncludingRefusedOnes) {
    ScratchFolder folder;
    auto names = folder.PlacePlugins({"FXGOOD", "FXAM"});
    {
        PictureHost host;
        ASSERT_TRUE(Load(host));
        EXPECT_NE(::GetModuleHandleA(names[0].c_str()), nullptr);
        EXPECT_NE(::GetModuleHandleA(names[1].c_str()), nullptr);
        host.UnloadPlugins();
        EXPECT_EQ(::GetModuleHandleA(names[0].c_str()), nullptr);
        EXPECT_EQ(::GetModuleHandleA(names[1].c_str()), nullptr);
        EXPECT_TRUE(host.PlaceholderBitmap().Empty());
    }
}

TEST(PluginTable, ArchivePluginIsBoundWhenItIsBesideTheProgram) {
    ScratchFolder folder;
    PictureHost host;
    ASSERT_TRUE(Load(host));
    const bool present =
        ::GetFileAttributesW(L"" TOVN_BIN_DIR "/LHASAD.SPI") != INVALID_FILE_ATTRIBUTES;
    EXPECT_EQ(host.LhaPluginLoaded(), present);
}

TEST(ScreenCheck, FewerThan256ColoursFailsWithTheMessageForTheProgramToShow) {
    ScratchFolder folder;
    CountingDialogs dialogs;
    PictureHost host;
    host.screenDepth = [](HDC) { return 4; };
    WindowDc screen(nullptr);
    const Result r = host.LoadPlugins(screen.get());
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.say(), Say::Box);
    EXPECT_EQ(r.caption(), L"Error");
    EXPECT_EQ(r.text(), L"このソフトは最低２５６色以上が必要です．");
    EXPECT_TRUE(dialogs.events.empty());
    EXPECT_FALSE(QuitPosted());                    // ending the program is the program's to decide
    EXPECT_TRUE(host.PlaceholderBitmap().Empty()); // the rest of start-up did not run
}

TEST(ScreenCheck, DepthDecidesThePaletteDisplayAndTheReductionLibrary) {
    ScratchFolder folder;
    CountingDialogs dialogs;
    const bool huedenPresent =
        ::GetFileAttributesW(L"" TOVN_BIN_DIR "/HUEDEN32.DLL") != INVALID_FILE_ATTRIBUTES;
    for (int depth : {8, 16, 24, 32}) {
        PictureHost host;
        ASSERT_TRUE(Load(host, depth)) << depth;
        EXPECT_EQ(host.PaletteDisplay(), depth == 8) << depth;
        EXPECT_EQ(host.ReductionLibraryLoaded(), depth == 8 && huedenPresent) << depth;
        EXPECT_TRUE(test::IsPlaceholder(host.PlaceholderBitmap())) << depth;
        EXPECT_EQ(test::EntriesOf(host.PlaceholderBitmap().Palette()).size(), 256u);
    }
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_FALSE(QuitPosted());
}

} // namespace
} // namespace tovn
