// Start-up and loading on a real 256-colour screen (run on an 8-bit Xvfb display).
#include <gtest/gtest.h>
#include "picture/tests/test_support.h"

namespace tovn {
namespace {

TEST(EightBitScreen, StartsWithThePaletteDisplay) {
    WindowDc screen(nullptr);
    ASSERT_EQ(::GetDeviceCaps(screen.get(), BITSPIXEL), 8) << "needs an 8-bit screen";
    test::ScratchFolder folder;
    test::CountingDialogs dialogs;
    PictureHost host;
    std::vector<std::wstring> waiting;
    host.showWaiting = [&](const std::wstring& text) { waiting.push_back(text); };
    ASSERT_TRUE(host.LoadPlugins(screen.get()));
    EXPECT_TRUE(host.PaletteDisplay());
    EXPECT_TRUE(dialogs.messages.empty());

    // The placeholder's palette is what the grid realises.
    UniqueMemDc dc(::CreateCompatibleDC(screen.get()));
    HPALETTE old = ::SelectPalette(dc.get(), host.PlaceholderBitmap().Palette(), FALSE);
    EXPECT_NE(old, nullptr);
    ::RealizePalette(dc.get());
    ::SelectPalette(dc.get(), old, FALSE);

    PictureSource source = test::FolderSource(folder.Path());
    folder.Write(L"p4.bmp", test::BmpFile(6, 6, 4));
    folder.Write(L"p24.bmp", test::BmpFile(64, 48, 24));
    LoadedPicture loaded = host.LoadPicture(L"p4.bmp", lpSlide, source);
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(test::EntriesOf(loaded.picture.Palette()).size(), 16u);
    loaded = host.LoadPicture(L"p24.bmp", lpSlide, source);
    EXPECT_EQ(waiting, std::vector<std::wstring>{L"減色中 Level:4"});
    EXPECT_EQ(loaded.ok, host.ReductionLibraryLoaded());
    if (loaded.ok) {
        EXPECT_EQ(test::EntriesOf(loaded.picture.Palette()).size(), 256u);
    }
}

} // namespace
} // namespace tovn
