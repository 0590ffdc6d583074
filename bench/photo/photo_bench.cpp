// Photo pages in the real main window, one measurement per process so that bench/photo/run.sh
// can start the program afresh (a second visit is a new process over the lasting cache):
//   FirstVisit   Page Down from a page of small pictures to a page of 100 photos, until the
//                last cell is drawn; the program folder (and its cache) is new.
//   SecondVisit  the same in a new process over the same program folder, then a display-count
//                change and a maximise, each against a repaint of the page at its new layout.
//   Paging       Page Down through a folder to its last page, waiting on each, and the peak
//                working set of the process.
// Each prints "figure <name> <value>" lines that run.sh gathers into its table.
#include "bench/timing.h"
#include "photo_page.h"
#include "support/browser_fixture.h"
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

using namespace tovn;
using namespace tovn::test;

using bench::Median;
using bench::Ms;

namespace {

constexpr int kSide = 10; // the page is kSide x kSide cells
constexpr int kRepaints = 5;

// Where run.sh keeps the pictures and the program folder (Windows paths, ending in "\"),
// and how many pages Paging goes through at the most.
std::wstring photoFolder, programFolder;
int pageLimit = 1000;

std::wstring WithSlash(std::wstring folder) {
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    return folder;
}

void Figure(const char* name, double value) {
    std::printf("figure %s %.1f\n", name, value);
}

class PhotoBench : public BrowserFixture {
protected:
    void SetUp() override {
        ASSERT_FALSE(photoFolder.empty() || programFolder.empty())
            << "run by bench/photo/run.sh: --photos=<folder> --program=<folder>";
        ::CreateDirectoryW(programFolder.c_str(), nullptr);
        Put(L"Window", L"Img", std::to_wstring(kSide));
        Put(L"Form", L"Left", L"0");
        Put(L"Form", L"Top", L"0");
        Put(L"Form", L"Width", L"1000");
        Put(L"Form", L"Height", L"740");
    }

    void Put(const wchar_t* section, const wchar_t* key, const std::wstring& value) {
        ::WritePrivateProfileStringW(section, key, value.c_str(),
                                     (programFolder + L"Tovn32.INI").c_str());
    }

    // The window on the photo folder with its settings and cache in the program folder;
    // its first page drawn.
    void Launch() {
        MainWindowOptions o;
        o.iniPath = programFolder + L"Tovn32.INI";
        o.programDir = programFolder;
        o.args = {photoFolder};
        window = std::make_unique<MainWindow>(o);
        ASSERT_NE(window->Create(::GetModuleHandleW(nullptr)), nullptr);
        ASSERT_TRUE(bench::WaitDrawn(w()));
    }

    void Press(WORD key) { SendKey(key); }

    // Milliseconds from the action (a key, a window command) to the last cell drawn.
    double UntilDrawn(const std::function<void()>& action) {
        return Ms([&] {
            action();
            EXPECT_TRUE(bench::WaitDrawn(w()));
        });
    }

    double Repaint() {
        std::vector<double> times;
        const int decodes = w().Painter().DecodeCount();
        for (int i = 0; i < kRepaints; ++i)
            times.push_back(Ms([&] { bench::RedrawFromMemory(w()); }));
        EXPECT_EQ(w().Painter().DecodeCount(), decodes) << "a repaint decodes nothing";
        return Median(times);
    }

    // The photo page follows a page of small pictures: Page Down shows it.
    double ShowPhotoPage() {
        EXPECT_EQ(w().Painter().PrefetchCount(), 0) << "the photo page must not be decoded ahead";
        const int decodes = w().Painter().DecodeCount();
        const double ms = UntilDrawn([&] { Press(VK_NEXT); });
        EXPECT_EQ(st().CurrentPage, 2);
        Figure("decodes", w().Painter().DecodeCount() - decodes);
        Figure("unread", bench::UnreadCells(w()));
        return ms;
    }

    // A layout change (its decodes printed) and a repaint at the new layout.
    void TimeChange(const char* name, const std::function<void()>& change) {
        const int decodes = w().Painter().DecodeCount();
        Figure(name, UntilDrawn(change));
        Figure((std::string(name) + "_decodes").c_str(), w().Painter().DecodeCount() - decodes);
        Figure((std::string(name) + "_repaint").c_str(), Repaint());
    }
};

TEST_F(PhotoBench, FirstVisit) {
    Launch();
    Figure("cell_width", st().CellWidth - 2); // the picture's box inside the cell's frame
    Figure("cell_height", st().CellHeight - 2);
    Figure("first_visit", ShowPhotoPage());
    Figure("first_repaint", Repaint());
}

TEST_F(PhotoBench, SecondVisit) {
    Launch();
    Figure("second_visit", ShowPhotoPage());
    Figure("second_repaint", Repaint());
    TimeChange("count_change", [&] { Press('9'); });
    TimeChange("count_back", [&] { Press('0'); });
    TimeChange("maximise", [&] { ::ShowWindow(w().Handle(), SW_MAXIMIZE); });
}

TEST_F(PhotoBench, Paging) {
    // Raised for both folders alike, so that photos up to 4000 x 3000 are read.
    Put(L"ETC", L"MaxPictureSide", L"6000");
    Launch();
    Figure("start_working_set_mb", bench::PeakWorkingSet() / 1048576.0);
    int unread = bench::UnreadCells(w()), pages = 1;
    MSG msg;
    const double ms = Ms([&] {
        while (st().CurrentPage < st().PageCount && pages < pageLimit) {
            // A user who looks at each page gives the program its idle time meanwhile.
            while (RunLoopTurn(w(), msg, false) != LoopTurn::Idle) {}
            UntilDrawn([&] { Press(VK_NEXT); });
            unread += bench::UnreadCells(w());
            ++pages;
        }
    });
    Figure("pages", pages);
    Figure("paging", ms);
    Figure("unread", unread);
    Figure("peak_working_set_mb", bench::PeakWorkingSet() / 1048576.0);
}

} // namespace

int main(int argc, char** argv) {
    bench::EnterProgramFolder();
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](const std::string& prefix) {
            return WithSlash(std::wstring(arg.begin() + prefix.size(), arg.end()));
        };
        if (arg.rfind("--photos=", 0) == 0) photoFolder = value("--photos=");
        if (arg.rfind("--program=", 0) == 0) programFolder = value("--program=");
        if (arg.rfind("--pages=", 0) == 0) pageLimit = std::atoi(arg.c_str() + 8);
    }
    return RUN_ALL_TESTS();
}
