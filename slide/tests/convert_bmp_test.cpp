// BMP conversion from the real browser: the files written, their pixels against the
// decoders', the messages, and archive mode.
#include "app/win_text.h"
#include "archive/unlha.h"
#include "browser/menu.h"
#include "imaging/bmp_to_mag.h"
#include "imaging/mag.h"
#include "imaging/pi.h"
#include "fileops/commands.h"
#include "picture/convert_bmp.h"
#include "slide/tests/slide_fixture.h"
#include <fstream>
#include <iterator>

using namespace tovn;
using namespace tovn::test;

namespace {

std::vector<uint8_t> ReadBytes(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    if (!file) return bytes;
    bytes.resize(::GetFileSize(file.get(), nullptr));
    DWORD got = 0;
    ::ReadFile(file.get(), bytes.data(), DWORD(bytes.size()), &got, nullptr);
    bytes.resize(got);
    return bytes;
}

imaging::Rgb PixelOf(const imaging::Picture& p, int x, int y) {
    const size_t i = size_t(y) * size_t(p.width) + size_t(x);
    if (p.bitsPerPixel == 24) return {p.pixels[3 * i], p.pixels[3 * i + 1], p.pixels[3 * i + 2]};
    return p.palette[p.pixels[i]];
}

// Every pixel of the BMP file at path shows the colour of the decoded picture.
void ExpectSamePixels(const std::wstring& path, const imaging::Picture& decoded) {
    std::vector<uint8_t> file = ReadBytes(path);
    ASSERT_FALSE(file.empty()) << "no file " << ToAnsi(path);
    imaging::Picture written;
    std::string error;
    ASSERT_TRUE(imaging::PictureFromBmp(file.data(), file.size(), &written, &error)) << error;
    ASSERT_EQ(written.width, decoded.width);
    ASSERT_EQ(written.height, decoded.height);
    int differing = 0;
    for (int y = 0; y < decoded.height; ++y)
        for (int x = 0; x < decoded.width; ++x) {
            imaging::Rgb a = PixelOf(written, x, y), b = PixelOf(decoded, x, y);
            differing += a.r != b.r || a.g != b.g || a.b != b.b;
        }
    EXPECT_EQ(differing, 0);
}

// A picture with a pattern in every colour, so that misplaced rows or indices show.
imaging::Picture Pattern16(int w, int h) {
    imaging::Picture p;
    p.width = w;
    p.height = h;
    p.bitsPerPixel = 4;
    for (int i = 0; i < 16; ++i) p.palette.push_back({uint8_t(i * 16), uint8_t(255 - i * 8), 77});
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p.pixels.push_back(uint8_t((x / 3 + y) % 16));
    return p;
}

} // namespace

class BmpConversion : public SlideFixture {
protected:
    void SetUp() override {
        LoadUnlha();
        ASSERT_TRUE(UnlhaLoaded());
    }
    void TearDown() override { UnloadUnlha(); }
    void WritePictures() {
        magFile = imaging::EncodeMag(Pattern16(64, 40));
        WriteBytes(pictures / L"A.MAG", magFile);
        WriteSolidBmp(pictures / L"B.BMP", 20, 10, 1, 2, 3);
        piFile = ReadBytes(TOVN_TESTDATA_DIR L"/pictures/pi/S16.PI");
        ASSERT_FALSE(piFile.empty());
        WriteBytes(pictures / L"C.PI", piFile);
    }
    void Convert() {
        ::SendMessageW(w().Handle(), WM_COMMAND, idConvertBMP1, 0);
        Pump();
    }
    void MarkAll() { Key(VK_HOME); }
    bool Listed(const std::wstring& name) {
        for (const Slot& s : st().FileList)
            if (s.name == name) return true;
        return false;
    }
    std::vector<uint8_t> magFile, piFile;
};

TEST_F(BmpConversion, MarkedPicturesBecomeBmpFilesWithTheDecodedPixels) {
    WritePictures();
    WriteTextFile(pictures / L"A.BMP", "an older file of that name");
    WriteTextFile(pictures / L"D.MAG", "not a picture");
    StartAt(3);
    MarkAll();
    while (CursorName() != L"B.BMP" && CursorName() != L"D.MAG") Key(VK_RIGHT);
    ASSERT_EQ(CursorName(), L"B.BMP"); // it must stay on its file
    const size_t before = dialogs.events.size();
    Convert();

    ExpectSamePixels(pictures / L"A.BMP",
                     imaging::DecodeMag(magFile.data(), magFile.size()).picture);
    ExpectSamePixels(pictures / L"C.BMP", imaging::DecodePi(piFile.data(), piFile.size()).picture);
    EXPECT_FALSE(FileExists(pictures / L"B.BMP.BMP"));
    EXPECT_FALSE(FileExists(pictures / L"D.BMP"));
    // The picture that cannot be decoded: the loader's beep, this one, and the message (the
    // grid beeps again for its cell when it is read again).
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, L"TOVN Can not Save Files");
    const std::vector<std::wstring> during(dialogs.events.begin() + long(before),
                                           dialogs.events.begin() + long(before) + 3);
    EXPECT_EQ(during, (std::vector<std::wstring>{L"beep", L"beep",
                                                 L"TOVN Can not Save Files: D.MAGは扱えません．"}));
    // Read again: the new files are listed, marks are gone, the cursor kept its file.
    EXPECT_TRUE(Listed(L"C.BMP"));
    for (const Slot& s : st().FileList) EXPECT_EQ(s.mark, 0) << ToAnsi(s.name);
    EXPECT_EQ(CursorName(), L"B.BMP");
}

TEST_F(BmpConversion, WithoutMarksTheCursorPictureIsConvertedUpToItsFirstDot) {
    WriteBytes(pictures / L"X.Y.MAG", imaging::EncodeMag(Pattern16(16, 8)));
    WriteBytes(pictures / L"Z.MAG", imaging::EncodeMag(Pattern16(16, 8)));
    StartAt(3);
    ASSERT_EQ(CursorName(), L"X.Y.MAG");
    Convert();
    EXPECT_TRUE(FileExists(pictures / L"X.BMP"));
    EXPECT_FALSE(FileExists(pictures / L"Z.BMP"));
    EXPECT_EQ(dialogs.beeps, 0);
}

// X.Y.MAG converts to X.BMP: a file of that name goes first where delete puts deleted
// pictures.
TEST_F(BmpConversion, AFileTheOutputWouldReplaceIsKeptAsDeleteKeepsPictures) {
    WriteBytes(pictures / L"X.Y.MAG", imaging::EncodeMag(Pattern16(16, 8)));
    WriteSolidBmp(pictures / L"X.BMP", 8, 8, 1, 2, 3);
    StartAt(3);
    TestFolder backup{L"backup"};
    ExpectReplacedFileKept(pictures / L"X.BMP", backup.Path(), [&] {
        while (CursorName() != L"X.Y.MAG") Key(VK_RIGHT);
        Convert();
    });
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(BmpConversion, AnOutputThatCannotBeCreatedIsReportedAndTheRunGoesOn) {
    WritePictures();
    pictures.MakeFolder(L"A.BMP"); // a folder where the file should go
    StartAt(3);
    MarkAll();
    const int gridBeeps = dialogs.beeps;
    Convert();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, L"A.MAGの保存に失敗しました．");
    EXPECT_EQ(dialogs.beeps, gridBeeps);
    EXPECT_TRUE(FileExists(pictures / L"C.BMP"));
}

TEST_F(BmpConversion, SortModeRefuses) {
    WritePictures();
    StartAt(3);
    Key(VK_DELETE);
    Convert();
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_FALSE(FileExists(pictures / L"A.BMP"));
}

class ArchiveConversion : public BmpConversion {
protected:
    void StartInArchive() {
        WritePictures();
        std::wstring line = L"a -n \"" + pictures.Path() + L"PICS.LZH\"";
        for (const wchar_t* n : {L"A.MAG", L"B.BMP", L"C.PI"}) {
            line += L" \"" + pictures.Path() + n + L"\"";
        }
        RunUnlha(nullptr, ToAnsi(line));
        for (const wchar_t* n : {L"A.MAG", L"B.BMP", L"C.PI"})
            ::DeleteFileW((pictures / n).c_str());
        ASSERT_TRUE(FileExists(pictures / L"PICS.LZH"));
        PutIni(L"Window", L"Img", L"3");
        Start({pictures / L"PICS.LZH"});
        ASSERT_TRUE(st().LhaMode);
        MarkAll();
    }
    bool InArchive(const std::wstring& name) {
        return FindArchiveEntry(nullptr, ToAnsi(pictures / L"PICS.LZH"), ToAnsi(name));
    }
};

TEST_F(ArchiveConversion, TheArchiveGainsTheBmpEntriesAndNoWorkFolderIsLeft) {
    StartInArchive();
    Convert();
    EXPECT_TRUE(InArchive(L"A.BMP"));
    EXPECT_TRUE(InArchive(L"C.BMP"));
    EXPECT_TRUE(InArchive(L"A.MAG"));
    EXPECT_FALSE(PathExists(st().TempDir));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(Listed(L"A.BMP"));
    EXPECT_TRUE(Listed(L"C.BMP"));
    // For the outside readers (lhasa, 7-Zip), which a script runs on this copy.
    wchar_t keep[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"TOVN_KEEP_ARCHIVE", keep, MAX_PATH))
        ::CopyFileW((pictures / L"PICS.LZH").c_str(), keep, FALSE);
    // The entries hold the decoded pixels.
    RunUnlha(nullptr,
             ToAnsi(L"e \"" + pictures.Path() + L"PICS.LZH\" \"" + program.Path() + L"\" A.BMP"));
    ExpectSamePixels(program / L"A.BMP",
                     imaging::DecodeMag(magFile.data(), magFile.size()).picture);
}

TEST_F(ArchiveConversion, AnArchiveThatCannotBeWrittenIsLeftAsItWasAndTheFilesAreKept) {
    StartInArchive();
    const std::wstring archive = pictures / L"PICS.LZH";
    const std::vector<uint8_t> before = ReadBytes(archive);
    {
        // Another program reads the archive meanwhile: it cannot be written.
        UniqueFile held(::CreateFileW(archive.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        Convert();
    }
    EXPECT_EQ(ReadBytes(archive), before);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    // The message names where the converted files are: beside the work folder, in a folder
    // of their own that no later command clears.
    const std::wstring kept = st().TempDir.substr(0, st().TempDir.size() - 1) + L".1\\";
    EXPECT_NE(dialogs.messages[0].text.find(kept), std::wstring::npos);
    EXPECT_TRUE(FileExists(kept + L"A.BMP"));
    EXPECT_TRUE(FileExists(kept + L"C.BMP"));
    EXPECT_FALSE(PathExists(st().TempDir));
}
