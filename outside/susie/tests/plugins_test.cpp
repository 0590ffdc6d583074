// Our picture plug-ins loaded as a host loads them, decoding the sample pictures.
#include "../../../lib/imaging/tests/samples.h"
#include "spi_host.h"
#include <memory>
#include <thread>

using namespace tovn::susie::test;
namespace samples = tovn::imaging::samples;

namespace {

const char* PluginFor(const std::string& file) {
    if (file.rfind("mag/", 0) == 0 || file.rfind("mki/", 0) == 0) return "IFMAG.SPI";
    return file.rfind("pi/", 0) == 0 ? "IFPI.SPI" : "IFPIC.SPI";
}

void ExpectPixels(const Dib& dib, const samples::Expected& e) {
    ASSERT_EQ(dib.layout.width, e.width);
    ASSERT_EQ(dib.layout.height, e.height);
    ASSERT_EQ(dib.layout.bitCount, e.bitsPerPixel);
    for (int y = 0; y < e.height; ++y)
        for (int x = 0; x < e.width; ++x) ASSERT_EQ(dib.At(x, y), e.pixel(x, y)) << x << "," << y;
    if (!e.color) return;
    ASSERT_EQ(dib.layout.colorCount, 1u << e.bitsPerPixel);
    for (int i = 0; i < (1 << e.bitsPerPixel); ++i) {
        tovn::imaging::Rgb c = e.color(i);
        ASSERT_EQ(dib.Color(i), c.r << 16 | c.g << 8 | c.b) << "palette " << i;
    }
}

void CheckSample(const samples::Expected& e) {
    SCOPED_TRACE(e.file);
    Spi spi(PluginFor(e.file));
    ASSERT_TRUE(spi.ok());
    std::string path = WinPath(std::string("pictures/") + e.file);
    std::vector<uint8_t> file = ReadAll(path);
    ASSERT_FALSE(file.empty());
    EXPECT_TRUE(spi.SupportsHead(file));
    EXPECT_TRUE(spi.SupportsHandle(path));

    auto memory = reinterpret_cast<const char*>(file.data());
    auto size = static_cast<LONG_PTR>(file.size());
    for (int flag : {0, 1}) {
        SCOPED_TRACE(flag ? "memory" : "file");
        const char* buf = flag ? memory : path.c_str();
        LONG_PTR len = flag ? size : 0;
        tovn::susie::PictureInfo info{};
        ASSERT_EQ(spi.getPictureInfo(buf, len, flag, &info), 0);
        EXPECT_EQ(info.left, e.left);
        EXPECT_EQ(info.top, e.top);
        EXPECT_EQ(info.width, e.width);
        EXPECT_EQ(info.height, e.height);
        EXPECT_EQ(info.colorDepth, e.bitsPerPixel);
        EXPECT_EQ(info.hInfo, nullptr);
        Dib dib;
        ASSERT_EQ(spi.Picture(buf, len, flag, &dib), 0);
        ExpectPixels(dib, e);
    }
}

} // namespace

TEST(Plugins, SamplesDecodeByFileAndMemory) {
    for (const auto& e : samples::kAll) CheckSample(e);
    CheckSample(samples::SB640());
}

TEST(Plugins, DescribeThemselves) {
    Spi mag("IFMAG.SPI");
    ASSERT_TRUE(mag.ok());
    EXPECT_EQ(mag.Info(0), "00IN");
    EXPECT_NE(mag.Info(1), "");
    EXPECT_EQ(mag.Info(2), "*.MAG");
    EXPECT_NE(mag.Info(3), "");
    EXPECT_EQ(mag.Info(4), "*.MKI");
    EXPECT_NE(mag.Info(5), "");
    EXPECT_EQ(mag.Info(6), "");
    EXPECT_EQ(mag.Info(-1), "");
    EXPECT_EQ(mag.Info(2, 3), "*."); // cut short, still terminated
    EXPECT_EQ(mag.getPluginInfo(0, nullptr, 0), 0);
    Spi pi("IFPI.SPI"), pic("IFPIC.SPI");
    ASSERT_TRUE(pi.ok() && pic.ok());
    EXPECT_EQ(pi.Info(2), "*.PI");
    EXPECT_EQ(pic.Info(2), "*.PIC");
    EXPECT_EQ(pic.Info(4), "");
}

// Ours say they may be called from several threads at once; hosts look for the entry.
TEST(Plugins, OursDeclareThemselvesConcurrent) {
    for (const char* name : {"IFMAG.SPI", "IFPI.SPI", "IFPIC.SPI", "IFWIC.SPI", "IFJPEG.SPI"}) {
        Spi spi(name);
        ASSERT_TRUE(spi.ok()) << name;
        ASSERT_NE(spi.isConcurrent, nullptr) << name;
        EXPECT_EQ(spi.isConcurrent(), 1) << name;
    }
}

// Pictures of every plug-in of ours decoded on several threads at once come out as on one.
TEST(Plugins, PicturesDecodeOnSeveralThreadsAtOnce) {
    std::vector<std::vector<uint8_t>> files;
    std::vector<std::unique_ptr<Spi>> plugins;
    auto add = [&](const std::string& path, const char* plugin) {
        files.push_back(ReadAll(path));
        plugins.push_back(std::make_unique<Spi>(plugin));
    };
    for (const auto& e : samples::kAll)
        add(WinPath(std::string("pictures/") + e.file), PluginFor(e.file));
    const std::string outside = std::string("Z:") + TOVN_SOURCE_DIR + "/outside/";
    for (const char* name : {"pal.png", "rgb.tif", "alpha.png"})
        add(outside + "ifwic/tests/data/" + name, "IFWIC.SPI");
    for (const char* name : {"grad.jpg", "prog.jpg", "cmyk.jpg"})
        add(outside + "ifjpeg/tests/data/" + name, "IFJPEG.SPI");
    std::vector<std::vector<uint8_t>> alone(files.size());
    auto decode = [&](size_t i) {
        Dib dib;
        const auto& f = files[i];
        int r = plugins[i]->Picture(reinterpret_cast<const char*>(f.data()),
                                    static_cast<LONG_PTR>(f.size()), 1, &dib);
        return r == 0 ? dib.bits : std::vector<uint8_t>{};
    };
    for (size_t i = 0; i < files.size(); ++i) alone[i] = decode(i);
    std::vector<int> wrong(3, 0);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < wrong.size(); ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < 4; ++round)
                for (size_t i = 0; i < files.size(); ++i) {
                    const size_t k = (i + t) % files.size(); // different pictures at once
                    wrong[t] += alone[k].empty() || decode(k) != alone[k];
                }
        });
    for (std::thread& t : threads) t.join();
    for (size_t t = 0; t < wrong.size(); ++t) EXPECT_EQ(wrong[t], 0) << "thread " << t;
}

TEST(Plugins, RefuseWhatIsNotTheirs) {
    Spi mag("IFMAG.SPI"), pi("IFPI.SPI"), pic("IFPIC.SPI");
    auto magFile = ReadAll(WinPath("pictures/mag/S16FULL.MAG"));
    auto piFile = ReadAll(WinPath("pictures/pi/S16.PI"));
    auto picFile = ReadAll(WinPath("pictures/pic/S15.PIC"));
    EXPECT_FALSE(mag.SupportsHead(piFile));
    EXPECT_FALSE(pi.SupportsHead(magFile));
    EXPECT_FALSE(pi.SupportsHead(picFile));
    EXPECT_FALSE(pic.SupportsHead(piFile));
    EXPECT_FALSE(mag.SupportsHead({})); // empty file
    EXPECT_EQ(mag.isSupported("X", nullptr), 0);
    Dib dib;
    EXPECT_EQ(pi.Picture(reinterpret_cast<const char*>(magFile.data()),
                         static_cast<LONG_PTR>(magFile.size()), 1, &dib),
              2);
}

TEST(Plugins, ShortHeadBlocksDoNotCrash) {
    // A host that passes a member's bytes may hand over less than 2 KB: here the block ends
    // at an inaccessible page.
    auto file = ReadAll(WinPath("pictures/mag/S16FULL.MAG"));
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    auto* pages = static_cast<uint8_t*>(
        VirtualAlloc(nullptr, 2 * si.dwPageSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(pages, nullptr);
    DWORD old;
    VirtualProtect(pages + si.dwPageSize, si.dwPageSize, PAGE_NOACCESS, &old);
    uint8_t* head = pages + si.dwPageSize - file.size();
    std::copy(file.begin(), file.end(), head);
    Spi mag("IFMAG.SPI");
    EXPECT_NE(mag.isSupported("S16FULL.MAG", head), 0);
    VirtualFree(pages, 0, MEM_RELEASE);
}

TEST(Plugins, ReportFailuresWithTheirCodes) {
    Spi mag("IFMAG.SPI");
    auto file = ReadAll(WinPath("pictures/mag/S16FULL.MAG"));
    auto buf = reinterpret_cast<const char*>(file.data());
    Dib dib;
    EXPECT_EQ(mag.Picture(buf, 100, 1, &dib), 3); // cut short: broken
    EXPECT_EQ(mag.Picture(buf, 0, 1, &dib), 2);   // nothing there
    EXPECT_EQ(mag.Picture(buf, -5, 1, &dib), 3);
    EXPECT_EQ(mag.Picture(buf, 16, 7, &dib), -1); // unknown input kind
    std::string missing = WinPath("pictures/mag/NOSUCH.MAG");
    EXPECT_EQ(mag.Picture(missing.c_str(), 0, 0, &dib), 6);
    std::string path = WinPath("pictures/mag/S16FULL.MAG");
    EXPECT_EQ(mag.Picture(path.c_str(), 1 << 20, 0, &dib), 6); // offset past the end
    tovn::susie::PictureInfo info{};
    EXPECT_EQ(mag.getPictureInfo(buf, 100, 1, &info), 3);
    EXPECT_EQ(mag.getPictureInfo(buf, 10, 1, nullptr), 8);
    HLOCAL a, b;
    auto abort = [](int, int, LONG_PTR) -> int WINAPI { return 1; };
    EXPECT_EQ(mag.getPicture(buf, static_cast<LONG_PTR>(file.size()), 1, &a, &b, abort, 0), 1);
}

TEST(Plugins, FileInputSkipsTheGivenOffset) {
    // A host may skip a leading block (a MacBinary header) by passing its length.
    auto file = ReadAll(WinPath("pictures/mag/S16FULL.MAG"));
    std::vector<uint8_t> padded(128 + file.size(), 0xEE);
    std::copy(file.begin(), file.end(), padded.begin() + 128);
    char dir[MAX_PATH], name[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    GetTempFileNameA(dir, "mag", 0, name);
    HANDLE h = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD wrote;
    WriteFile(h, padded.data(), static_cast<DWORD>(padded.size()), &wrote, nullptr);
    CloseHandle(h);
    Spi mag("IFMAG.SPI");
    Dib dib;
    EXPECT_EQ(mag.Picture(name, 128, 0, &dib), 0);
    EXPECT_EQ(dib.layout.width, 16);
    EXPECT_EQ(mag.Picture(name, 0, 0, &dib), 2);
    DeleteFileA(name);
}
