// MG.EXE run as the program's batch runs it, in a scratch folder.
#include "imaging/bmp.h"
#include "imaging/mag.h"
#include <windows.h>
#include <gtest/gtest.h>
#include <fstream>
#include <iterator>
#include <string>

namespace {

class MgFolder : public testing::Test {
protected:
    void SetUp() override {
        char tmp[MAX_PATH], exe[MAX_PATH];
        GetTempPathA(MAX_PATH, tmp);
        dir_ = std::string(tmp) + "mgtest" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(dir_.c_str(), nullptr);
        GetModuleFileNameA(nullptr, exe, MAX_PATH);
        mg_ = exe;
        mg_ = mg_.substr(0, mg_.find_last_of('\\') + 1) + "MG.EXE";
    }
    void TearDown() override {
        for (const char* n : {"A.BMP", "A.MAG", "A.BAK", "A.$$$"}) DeleteFileA(Path(n).c_str());
        RemoveDirectoryA(dir_.c_str());
    }
    std::string Path(const std::string& name) const { return dir_ + "\\" + name; }

    void Write(const std::string& name, const std::vector<uint8_t>& data) {
        std::ofstream(Path(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(data.data()),
                   static_cast<std::streamsize>(data.size()));
    }
    std::vector<uint8_t> Read(const std::string& name) const {
        std::ifstream f(Path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    }

    DWORD Run(const std::string& args) {
        std::string line = "\"" + mg_ + "\" " + args;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, dir_.c_str(),
                            &si, &pi))
            return 0xDEAD;
        WaitForSingleObject(pi.hProcess, 60000);
        DWORD code = 0xDEAD;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return code;
    }

    std::string dir_, mg_;
};

std::vector<uint8_t> SampleBmp(uint8_t seed) {
    std::vector<uint8_t> rows(20 * 5);
    for (size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<uint8_t>((i * 7 + seed) % 200);
    std::vector<tovn::bmp::Rgb> pal(200);
    for (int i = 0; i < 200; ++i) pal[i] = {uint8_t(i), uint8_t(i / 2), uint8_t(255 - i)};
    return tovn::bmp::WriteBmpFile(20, 5, 8, pal, rows.data(), 20);
}

tovn::imaging::Decoded DecodeFile(const std::vector<uint8_t>& f) {
    return tovn::imaging::DecodeMag(f.data(), f.size());
}

} // namespace

TEST_F(MgFolder, WritesTheMagAndKeepsTheOldOne) {
    Write("A.BMP", SampleBmp(0));
    ASSERT_EQ(Run(".MAG A.BMP"), 0u);
    auto first = Read("A.MAG");
    auto d = DecodeFile(first);
    ASSERT_EQ(d.status, tovn::imaging::Status::Ok);
    EXPECT_EQ(d.picture.width, 20);
    EXPECT_EQ(d.picture.bitsPerPixel, 8);
    // bottom row first in the BMP: the MAG's top row is the BMP's last row
    EXPECT_EQ(d.picture.pixels[0], (4 * 20 * 7) % 200);

    Write("A.BMP", SampleBmp(1));
    ASSERT_EQ(Run(".mag A.BMP"), 0u);
    EXPECT_EQ(Read("A.BAK"), first);
    EXPECT_EQ(DecodeFile(Read("A.MAG")).picture.pixels[0], (4 * 20 * 7 + 1) % 200);
}

TEST_F(MgFolder, FailsWithoutTouchingTheOldPicture) {
    Write("A.MAG", {1, 2, 3});
    Write("A.BMP", {'B', 'M', 0, 0});
    EXPECT_EQ(Run(".MAG A.BMP"), 1u);
    EXPECT_EQ(Read("A.MAG"), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(GetFileAttributesA(Path("A.$$$").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Run(".MAG NONE.BMP"), 1u);
    EXPECT_EQ(Run(".PNG A.BMP"), 2u);
    EXPECT_EQ(Run(""), 2u);
}
