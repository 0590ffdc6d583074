// Colour treatment: which pictures get a logical palette or are reduced, per purpose,
// screen and colour count, and what the palettes hold.
#include <gtest/gtest.h>
#include "picture/tests/test_support.h"

namespace tovn {
namespace {

using test::CountingDialogs;
using test::EntriesOf;

TEST(ColourCount, FollowsTheBitsPerPixel) {
    const struct {
        int bits;
        int32_t colours, entries;
    } rows[] = {{0, 257, 257}, {1, 2, 2},        {2, 4, 16},          {4, 16, 16},
                {8, 256, 256}, {16, 65536, 257}, {24, 16777216, 257}, {32, 16777216, 257}};
    for (const auto& r : rows) {
        EXPECT_EQ(dib::ColorCountFor(r.bits), r.colours) << r.bits;
        EXPECT_EQ(dib::PaletteEntriesFor(r.colours), r.entries) << r.bits;
    }
}

TEST(ChooseTreatment, ByPurposeScreenAndColours) {
    using T = Treatment;
    const struct {
        LoadPurpose purpose;
        bool palette;
        LONG colours;
        T want;
    } rows[] = {
        {lpThumbnail, true, 256, T::Plain},   {lpThumbnail, true, 257, T::Plain},
        {lpThumbnail, false, 16, T::Plain},   {lpSlide, true, 16, T::Palette},
        {lpSlide, true, 256, T::Palette},     {lpSlide, true, 257, T::Reduce},
        {lpSlide, true, 1 << 24, T::Reduce},  {lpSlide, false, 256, T::Plain},
        {lpSlide, false, 1 << 24, T::Plain},  {lpEdit, true, 256, T::Palette},
        {lpEdit, false, 2, T::Palette},       {lpEdit, false, 257, T::Plain},
        {lpEdit, true, 65536, T::Plain},      {lpConvert, false, 256, T::Palette},
        {lpConvert, true, 1 << 24, T::Plain}, {LoadPurpose(7), true, 16, T::Plain},
    };
    for (const auto& r : rows)
        EXPECT_EQ(ChooseTreatment(r.purpose, r.palette, r.colours), r.want)
            << int(r.purpose) << " " << r.palette << " " << r.colours;
}

class Treatments : public ::testing::TestWithParam<int> {
protected:
    void Start(int depth) {
        host_.screenDepth = [depth](HDC) { return depth; };
        host_.showWaiting = [this](const std::wstring& text) { waiting_.push_back(text); };
        WindowDc screen(nullptr);
        ASSERT_TRUE(host_.LoadPlugins(screen.get()));
        source_.currentDir = folder_.Path();
        for (int bits : {1, 4, 8, 24})
            folder_.Write(L"p" + std::to_wstring(bits) + L".bmp", test::BmpFile(5, 3, bits));
    }
    const Picture& Load(int bits, LoadPurpose purpose) {
        loaded_ = host_.LoadPicture(L"p" + std::to_wstring(bits) + L".bmp", purpose, source_);
        EXPECT_TRUE(loaded_.ok) << bits << " bits, purpose " << int(purpose);
        return loaded_.picture;
    }
    test::ScratchFolder folder_;
    PictureHost host_;
    PictureSource source_;
    LoadedPicture loaded_;
    std::vector<std::wstring> waiting_;
};

TEST(PaletteTreatment, TakesColourCountEntriesFromTheTable) {
    test::ScratchFolder folder;
    PictureHost host;
    host.screenDepth = [](HDC) { return 32; };
    WindowDc screen(nullptr);
    ASSERT_TRUE(host.LoadPlugins(screen.get()));
    PictureSource source = test::FolderSource(folder.Path());
    for (int bits : {1, 4, 8}) {
        folder.Write(L"p.bmp", test::BmpFile(4, 4, bits));
        const LoadedPicture loaded = host.LoadPicture(L"p.bmp", lpEdit, source);
        ASSERT_TRUE(loaded.ok);
        auto entries = EntriesOf(loaded.picture.Palette());
        ASSERT_EQ(entries.size(), size_t(1) << bits);
        for (size_t i = 0; i < entries.size(); ++i) {
            EXPECT_EQ(entries[i].peRed, i);
            EXPECT_EQ(entries[i].peGreen, 255 - i);
            EXPECT_EQ(entries[i].peBlue, uint8_t(3 * i));
            EXPECT_EQ(entries[i].peFlags, 0);
        }
    }
}

TEST_P(Treatments, OnADeepScreenNothingIsReducedAndOnlyEditingGetsPalettes) {
    Start(GetParam());
    for (int bits : {1, 4, 8, 24}) {
        EXPECT_EQ(Load(bits, lpThumbnail).Palette(), nullptr) << bits;
        EXPECT_EQ(Load(bits, lpSlide).Palette(), nullptr) << bits;
        EXPECT_EQ(Load(bits, lpEdit).Palette() != nullptr, bits <= 8) << bits;
        EXPECT_EQ(Load(bits, lpConvert).Palette() != nullptr, bits <= 8) << bits;
    }
    EXPECT_TRUE(waiting_.empty());
    EXPECT_FALSE(host_.ReductionLibraryLoaded());
}
INSTANTIATE_TEST_SUITE_P(Depths, Treatments, ::testing::Values(16, 24, 32));

TEST(PaletteScreen, SlidesGetPalettesThumbnailsStayPlain) {
    test::ScratchFolder folder;
    PictureHost host;
    std::vector<std::wstring> waiting;
    host.screenDepth = [](HDC) { return 8; };
    host.showWaiting = [&](const std::wstring& text) { waiting.push_back(text); };
    WindowDc screen(nullptr);
    ASSERT_TRUE(host.LoadPlugins(screen.get()));
    ASSERT_TRUE(host.PaletteDisplay());
    PictureSource source = test::FolderSource(folder.Path());
    folder.Write(L"p8.bmp", test::BmpFile(5, 3, 8));
    folder.Write(L"p24.bmp", test::BmpFile(40, 30, 24));
    LoadedPicture loaded = host.LoadPicture(L"p8.bmp", lpSlide, source);
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(EntriesOf(loaded.picture.Palette()).size(), 256u);
    loaded = host.LoadPicture(L"p24.bmp", lpThumbnail, source);
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.picture.Palette(), nullptr);
    EXPECT_TRUE(waiting.empty()); // no reduction, no library call

    // A true-colour slide is reduced with the current level, or fails when the library
    // is missing; the progress text is shown either way.
    CountingDialogs dialogs;
    host.SetReductionLevel(6);
    loaded = host.LoadPicture(L"p24.bmp", lpSlide, source);
    ASSERT_EQ(waiting, std::vector<std::wstring>{L"減色中 Level:6"});
    EXPECT_EQ(loaded.ok, host.ReductionLibraryLoaded());
    if (loaded.ok) {
        EXPECT_EQ(loaded.picture.Width(), 40);
        EXPECT_EQ(loaded.picture.Height(), 30);
        EXPECT_EQ(EntriesOf(loaded.picture.Palette()).size(), 256u);
        EXPECT_EQ(dialogs.beeps, 0);
    } else {
        EXPECT_TRUE(dialogs.events.empty());
        EXPECT_TRUE(test::IsPlaceholder(loaded.picture));
    }
}

} // namespace
} // namespace tovn
