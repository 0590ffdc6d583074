// The archiver command line against real files: every update must leave the old archive
// untouched unless the new one is complete and verified.
#include "lzh/archive.h"
#include "lzh/command.h"
#include "lzh/paths.h"
#include "member_bytes.h"
#include "test_util.h"
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace fs = std::filesystem;

namespace {

// Writes through a real output file, damaging what one kind of fault damages.
class FaultyOutput : public lzh::OutputFile {
public:
    enum Fault { kNone, kWriteFails, kWriteTruncates, kWriteCorrupts, kCloseFails };
    FaultyOutput(std::unique_ptr<lzh::OutputFile> real, Fault fault)
        : real_(std::move(real)), fault_(fault) {}

protected:
    bool WriteAt(uint64_t offset, const uint8_t* data, size_t size) override {
        if (fault_ == kWriteFails) return false;
        std::vector<uint8_t> bytes(data, data + size);
        if (fault_ == kWriteTruncates) bytes.resize(size / 2);
        if (fault_ == kWriteCorrupts && size > 40) bytes[size - 10] ^= 0x55;
        return real_->Seek(offset) && real_->Write(bytes.data(), bytes.size());
    }
    bool Commit() override { return real_->Close() && fault_ != kCloseFails; }

private:
    std::unique_ptr<lzh::OutputFile> real_;
    Fault fault_;
};

// Wraps the real file system and makes one kind of operation fail.
class FailingFileSystem : public lzh::PosixFileSystem {
public:
    enum Fault {
        kNone,
        kWriteFails,
        kWriteTruncates,
        kWriteCorrupts,
        kCloseFails,
        kReplaceFails,
        kReadFails
    };
    Fault fault = kNone;

    std::unique_ptr<lzh::OutputFile> Create(const std::string& path) override {
        auto real = PosixFileSystem::Create(path);
        if (!real || fault > kCloseFails) return real;
        return std::make_unique<FaultyOutput>(std::move(real),
                                              static_cast<FaultyOutput::Fault>(fault));
    }
    bool Replace(const std::string& from, const std::string& to) override {
        return fault != kReplaceFails && PosixFileSystem::Replace(from, to);
    }
    // Source files cannot be read; archives still can.
    std::unique_ptr<lzh::Source> Open(const std::string& path) override {
        bool archive = path.find(".lzh") != std::string::npos;
        return fault == kReadFails && !archive ? nullptr : PosixFileSystem::Open(path);
    }
};

std::vector<uint8_t> Bytes(const std::string& s) {
    return {s.begin(), s.end()};
}

std::vector<uint8_t> Repeated(const std::string& s, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += s + std::to_string(i);
    return Bytes(out);
}

class Commands : public ::testing::Test {
protected:
    lzhtest::TempDir dir;
    lzh::PosixFileSystem real;
    std::string arc = dir / "photos.lzh";
    std::string output;

    int Run(const std::string& line, lzh::FileSystem& fs) {
        return lzh::RunCommand(line, fs, output);
    }
    int Run(const std::string& line) { return Run(line, real); }
    std::string File(const std::string& name, const std::vector<uint8_t>& data) {
        std::string path = dir / name;
        lzhtest::WriteAll(path, data);
        return path;
    }
    std::vector<std::string> Names() {
        lzh::FileSource source(arc);
        std::vector<std::string> names;
        for (auto& m : lzh::ListArchive(source).members) names.push_back(m.path);
        return names;
    }
    std::vector<uint8_t> Member(const std::string& name) {
        lzh::FileSource source(arc);
        for (auto& m : lzh::ListArchive(source).members) {
            std::vector<uint8_t> data;
            if (m.path == name && lzh::ExtractToMemory(source, m, data) == lzh::Status::kOk)
                return data;
        }
        return {};
    }
    void MakeArchive() {
        std::string a = File("A.MAG", Repeated("alpha", 500)),
                    b = File("b b.pi", Repeated("beta", 300));
        ASSERT_EQ(Run("a -n -+ \"" + arc + "\" \"" + a + "\" \"" + b + "\""), 0) << output;
    }
    // Files left in the folder other than the named ones: no temporary file may remain.
    std::vector<std::string> Leftovers() {
        std::vector<std::string> out;
        for (auto& e : fs::directory_iterator(dir.path()))
            if (e.path().string().find(".$") != std::string::npos) out.push_back(e.path().string());
        return out;
    }
};

TEST(CommandLine, QuotesSwitchesAndFolder) {
    lzh::CommandLine cmd;
    ASSERT_TRUE(lzh::ParseCommandLine(
        R"(e -y -n -+ "C:\My Pics\a.lzh" "C:\out dir\" "x y.mag" b.pi)", cmd));
    EXPECT_EQ(cmd.command, 'e');
    EXPECT_TRUE(cmd.overwrite);
    EXPECT_EQ(cmd.archive, "C:\\My Pics\\a.lzh");
    EXPECT_EQ(cmd.base_dir, "C:\\out dir\\");
    EXPECT_EQ(cmd.names, (std::vector<std::string>{"x y.mag", "b.pi"}));

    ASSERT_TRUE(lzh::ParseCommandLine(R"(n -n "D:\a" "old name.mag" "-grnew name.mag")", cmd));
    EXPECT_EQ(cmd.command, 'n');
    EXPECT_TRUE(cmd.has_new_name);
    EXPECT_EQ(cmd.new_name, "new name.mag");
    EXPECT_EQ(cmd.archive, "D:\\a.LZH"); // the extension is assumed
    EXPECT_EQ(cmd.names, std::vector<std::string>{"old name.mag"});

    ASSERT_TRUE(lzh::ParseCommandLine("M -a1m1nx1c arc.lzh f", cmd));
    EXPECT_EQ(cmd.command, 'm');
    EXPECT_TRUE(cmd.keep_paths);
    EXPECT_TRUE(cmd.ignore_time);
    EXPECT_FALSE(lzh::ParseCommandLine("q arc.lzh", cmd));
}

TEST_F(Commands, AddExtractRoundTripWithOddNames) {
    // Spaces and a code page 932 name whose second byte is 0x5C ("表").
    std::string sjis = "\x95\x5C\x8E\xA6.mag";
    std::string a = File("with space.mag", Repeated("data", 2000)),
                b = File(sjis, Repeated("x", 3000));
    ASSERT_EQ(Run("a -n -+ \"" + arc + "\" \"" + a + "\" \"" + b + "\""), 0) << output;
    EXPECT_EQ(Names(), (std::vector<std::string>{"with space.mag", sjis}));
    EXPECT_EQ(lzhtest::Run("lhasa tq " + lzhtest::Quote(arc)), 0);
    std::string out = dir / "out dir/";
    ASSERT_EQ(Run("e -y -n -+ \"" + arc + "\" \"" + out + "\" \"" + sjis + "\" \"with space.mag\""),
              0)
        << output;
    EXPECT_EQ(lzhtest::ReadAll(out + sjis), lzhtest::ReadAll(b));
    EXPECT_EQ(lzhtest::ReadAll(out + "with space.mag"), lzhtest::ReadAll(a));
    // Without -y an existing file is left alone.
    lzhtest::WriteAll(out + sjis, Bytes("mine"));
    EXPECT_EQ(Run("e -n \"" + arc + "\" \"" + out + "\" \"" + sjis + "\""), lzh::kErrAlreadyExist);
    EXPECT_EQ(lzhtest::ReadAll(out + sjis), Bytes("mine"));
}

TEST_F(Commands, AddReplacesSameNameUnlessArchiveCopyIsNewer) {
    MakeArchive();
    std::string a = File("A.MAG", Bytes("new contents"));
    ASSERT_EQ(Run("a -n \"" + arc + "\" \"" + a + "\""), 0);
    EXPECT_EQ(Names().size(), 2u);
    EXPECT_EQ(Member("A.MAG"), Bytes("new contents"));
    // An older file does not replace the member, unless -c says to ignore times.
    File("A.MAG", Bytes("older"));
    real.SetTime(a, 1000);
    EXPECT_EQ(Run("a -n \"" + arc + "\" \"" + a + "\""), lzh::kErrAlreadyExist);
    EXPECT_EQ(Member("A.MAG"), Bytes("new contents"));
    ASSERT_EQ(Run("a -n -c \"" + arc + "\" \"" + a + "\""), 0);
    EXPECT_EQ(Member("A.MAG"), Bytes("older"));
}

TEST_F(Commands, DeleteAndRename) {
    MakeArchive();
    EXPECT_EQ(Run("d -n -+ -y \"" + arc + "\" \"nothing.mag\""), lzh::kErrNotExist);
    ASSERT_EQ(Run("n -n \"" + arc + "\" \"a.mag\" \"-grRenamed.MAG\""), 0) << output;
    EXPECT_EQ(Names(), (std::vector<std::string>{"Renamed.MAG", "b b.pi"}));
    EXPECT_EQ(Member("Renamed.MAG"), Repeated("alpha", 500));
    EXPECT_EQ(Run("n -n \"" + arc + "\" \"Renamed.MAG\" \"-grB B.PI\""), lzh::kErrSameNameFile);
    ASSERT_EQ(Run("d -n -+ -y \"" + arc + "\" \"b b.pi\""), 0);
    EXPECT_EQ(Names(), std::vector<std::string>{"Renamed.MAG"});
    EXPECT_EQ(lzhtest::Run("lhasa tq " + lzhtest::Quote(arc)), 0);
    EXPECT_EQ(lzhtest::Run("7zz t " + lzhtest::Quote(arc)), 0);
}

TEST_F(Commands, RenameKeepsOldMethodsReadable) {
    // A level-0 -lh1- member gets a new header; its data must still decode.
    fs::copy_file(TOVN_TESTDATA_DIR "/lzh/lharc113/lh1.lzh", arc);
    auto before = Names();
    ASSERT_EQ(before.size(), 1u);
    ASSERT_EQ(Run("n -n \"" + arc + "\" \"" + before[0] + "\" \"-grNEW.TXT\""), 0);
    EXPECT_EQ(Names(), std::vector<std::string>{"NEW.TXT"});
    EXPECT_EQ(Run("t \"" + arc + "\""), 0);
    EXPECT_EQ(lzhtest::Run("lhasa tq " + lzhtest::Quote(arc)), 0);
}

TEST_F(Commands, MoveRemovesSourcesOnlyOnceStored) {
    std::string a = File("m1.mag", Repeated("m", 100));
    ASSERT_EQ(Run("m -n \"" + arc + "\" \"" + a + "\""), 0);
    EXPECT_FALSE(fs::exists(a));
    EXPECT_EQ(Member("m1.mag"), Repeated("m", 100));
}

// A work folder moved back whole: "*.*" takes every file of the folder, not its folders,
// and replaces members of the same name whatever their dates.
TEST_F(Commands, WildcardSourcesTakeTheFilesOfTheirFolder) {
    MakeArchive();
    fs::create_directories(dir.path() / "work" / "sub");
    lzhtest::WriteAll(dir / "work/A.MAG", Repeated("new alpha", 50));
    lzhtest::WriteAll(dir / "work/NEW.BMP", Repeated("bmp", 50));
    lzhtest::WriteAll(dir / "work/sub/DEEP.BMP", Repeated("deep", 5));
    fs::last_write_time(dir / "work/A.MAG",
                        fs::file_time_type::clock::now() - std::chrono::hours(1000));
    ASSERT_EQ(Run("m -c -n \"" + arc + "\" \"" + (dir / "work/") + "*.*\""), 0) << output;
    EXPECT_EQ(Names(), (std::vector<std::string>{"A.MAG", "b b.pi", "NEW.BMP"}));
    EXPECT_EQ(Member("A.MAG"), Repeated("new alpha", 50));
    EXPECT_FALSE(fs::exists(dir / "work/A.MAG"));
    EXPECT_TRUE(fs::exists(dir / "work/sub/DEEP.BMP"));
    EXPECT_EQ(lzhtest::Run("lhasa tq " + lzhtest::Quote(arc)), 0);

    lzhtest::WriteAll(dir / "work/C.PI", Repeated("c", 9));
    ASSERT_EQ(Run("a -n \"" + arc + "\" \"" + (dir / "work/") + "\" *.MAG"), lzh::kErrNotExist);
    EXPECT_TRUE(fs::exists(dir / "work/C.PI"));
    EXPECT_EQ(Names().size(), 3u);
}

TEST_F(Commands, FailedUpdatesLeaveArchiveAndSourcesAsTheyWere) {
    MakeArchive();
    std::vector<uint8_t> original = lzhtest::ReadAll(arc);
    std::string c = File("c.mag", Repeated("gamma", 400));
    const std::string q = "\"" + arc + "\"";
    const std::vector<std::string> updates = {
        "a -n -+ " + q + " \"" + c + "\"", "m -n " + q + " \"" + c + "\"",
        "d -n -+ -y " + q + " A.MAG", "n -n " + q + " A.MAG \"-grZ.MAG\""};
    for (auto fault : {FailingFileSystem::kWriteFails, FailingFileSystem::kWriteTruncates,
                       FailingFileSystem::kWriteCorrupts, FailingFileSystem::kCloseFails,
                       FailingFileSystem::kReplaceFails, FailingFileSystem::kReadFails}) {
        for (const std::string& line : updates) {
            if (fault == FailingFileSystem::kReadFails && line[0] != 'a' && line[0] != 'm')
                continue;
            SCOPED_TRACE(line + " fault " + std::to_string(fault));
            FailingFileSystem failing;
            failing.fault = fault;
            EXPECT_NE(Run(line, failing), 0);
            EXPECT_EQ(lzhtest::ReadAll(arc), original);
            EXPECT_TRUE(fs::exists(c));
            EXPECT_TRUE(Leftovers().empty());
        }
    }
}

TEST_F(Commands, ExtractionStaysInsideDestination) {
    for (const char* name : {"abspath.lzh", "dotdot.lzh", "symlink2.lzh", "symlink3.lzh"}) {
        SCOPED_TRACE(name);
        lzhtest::TempDir root;
        std::string dest = root / "a/b/out/";
        std::string sample = std::string(TOVN_TESTDATA_DIR "/lzh/regression/") + name;
        for (const char* cmd : {"x -y", "e -y"})
            Run(std::string(cmd) + " \"" + sample + "\" \"" + dest + "\"");
        for (auto& e : fs::recursive_directory_iterator(root.path()))
            if (!e.is_directory()) EXPECT_EQ(e.path().string().rfind(dest, 0), 0u) << e.path();
    }
    // Device names and drive letters become ordinary names inside the folder.
    EXPECT_EQ(lzh::SafeRelativePath("C:\\..\\..\\etc/passwd"), "etc/passwd");
    EXPECT_EQ(lzh::SafeRelativePath("/abs/CON.txt"), "abs/_CON.txt");
    EXPECT_EQ(lzh::SafeRelativePath("../../.."), "");
    EXPECT_EQ(lzh::SafeRelativePath("a\\\x95\x5C.mag"), "a/\x95\x5C.mag");
}

TEST_F(Commands, ExtractWithPathsRecreatesFolders) {
    std::string dest = dir / "x out/";
    ASSERT_EQ(Run("x -y \"" TOVN_TESTDATA_DIR "/lzh/lha_unix114i/h2_subdir.lzh\" \"" + dest + "\""),
              0)
        << output;
    lzh::FileSource source(TOVN_TESTDATA_DIR "/lzh/lha_unix114i/h2_subdir.lzh");
    for (const auto& m : lzh::ListArchive(source).members)
        EXPECT_TRUE(fs::exists(dest + m.path)) << m.path;
}

TEST_F(Commands, BrokenArchiveIsNeverRewritten) {
    fs::copy_file(TOVN_TESTDATA_DIR "/lzh/regression/truncated.lzh", arc);
    auto original = lzhtest::ReadAll(arc);
    std::string c = File("c.mag", Bytes("c"));
    EXPECT_NE(Run("a -n \"" + arc + "\" \"" + c + "\""), 0);
    EXPECT_NE(Run("t \"" + arc + "\""), 0);
    EXPECT_EQ(lzhtest::ReadAll(arc), original);
}

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TEST_F(Commands, HugeMembersStreamWithBoundedMemory) {
    const uint64_t size = uint64_t(256) << 20; // 256 MiB of spaces from ~120 bytes
    std::vector<uint8_t> spaces(1 << 20, ' ');
    uint16_t crc = 0;
    for (int i = 0; i < 256; ++i) crc = lzh::Crc16(spaces.data(), spaces.size(), crc);
    lzhtest::Level2 bomb;
    bomb.method = "-lh5-";
    bomb.data = lzhtest::Bomb(17);
    bomb.original = size;
    bomb.data_crc = crc;
    bomb.crc_given = true;
    bomb.extensions = {lzhtest::NameExtension("SPACES.TXT")};
    lzhtest::WriteAll(arc, lzhtest::Join({bomb.Build(), {0}}));
    long before = PeakKilobytes();
    ASSERT_EQ(Run("t \"" + arc + "\""), 0) << output;
    std::string out = dir / "out/";
    ASSERT_EQ(Run("e -y \"" + arc + "\" \"" + out + "\""), 0) << output;
    EXPECT_EQ(fs::file_size(out + "SPACES.TXT"), size);
    EXPECT_LT(PeakKilobytes() - before, 64 * 1024);
}

TEST_F(Commands, ArchiveIsNeverAddedToItself) {
    MakeArchive();
    std::vector<uint8_t> original = lzhtest::ReadAll(arc);
    const std::string q = "\"" + arc + "\"";
    for (const std::string& self :
         {arc, dir / "./" + fs::path(arc).filename().string(), dir / "sub/../photos.lzh"}) {
        fs::create_directories(dir / "sub");
        SCOPED_TRACE(self);
        EXPECT_NE(Run("m -n " + q + " \"" + self + "\""), 0);
        ASSERT_TRUE(fs::exists(arc));
        EXPECT_EQ(lzhtest::ReadAll(arc), original);
        EXPECT_NE(Run("a -n " + q + " \"" + self + "\""), 0);
        EXPECT_EQ(lzhtest::ReadAll(arc), original);
    }
    // Among other files, the archive itself is skipped and the others are stored.
    std::string c = File("c.mag", Repeated("gamma", 40));
    EXPECT_NE(Run("m -n " + q + " \"" + c + "\" " + q), 0);
    ASSERT_TRUE(fs::exists(arc));
    EXPECT_FALSE(fs::exists(c));
    EXPECT_EQ(Names(), (std::vector<std::string>{"A.MAG", "b b.pi", "c.mag"}));
}

TEST_F(Commands, FailedOverwriteKeepsTheOldFile) {
    MakeArchive();
    std::string out = dir / "out/";
    fs::create_directories(out);
    lzhtest::WriteAll(out + "A.MAG", Bytes("the user's own file"));
    for (auto fault : {FailingFileSystem::kWriteFails, FailingFileSystem::kCloseFails,
                       FailingFileSystem::kReplaceFails}) {
        FailingFileSystem failing;
        failing.fault = fault;
        EXPECT_NE(Run("e -y \"" + arc + "\" \"" + out + "\" A.MAG", failing), 0);
        EXPECT_EQ(lzhtest::ReadAll(out + "A.MAG"), Bytes("the user's own file"));
        EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 1);
    }
    ASSERT_EQ(Run("e -y \"" + arc + "\" \"" + out + "\" A.MAG"), 0);
    EXPECT_EQ(lzhtest::ReadAll(out + "A.MAG"), Repeated("alpha", 500));
}

TEST_F(Commands, UpdatesRefuseBytesTheReaderDidNotAccountFor) {
    MakeArchive();
    std::vector<uint8_t> bytes = lzhtest::ReadAll(arc);
    bytes.insert(bytes.end(), {'m', 'o', 'r', 'e'});
    lzhtest::WriteAll(arc, bytes);
    std::string c = File("c.mag", Bytes("c"));
    const std::string q = "\"" + arc + "\"";
    for (const std::string& line :
         {"a -n " + q + " \"" + c + "\"", "d -n " + q + " A.MAG", "n -n " + q + " A.MAG -grZ.MAG",
          "m -n " + q + " \"" + c + "\""}) {
        SCOPED_TRACE(line);
        EXPECT_NE(Run(line), 0);
        EXPECT_EQ(lzhtest::ReadAll(arc), bytes);
        EXPECT_TRUE(fs::exists(c));
    }
    EXPECT_EQ(Run("t " + q), 0); // reading is still fine
}

TEST(CommandLine, ShiftJisNamesEndingInBackslashByteAreNames) {
    lzh::CommandLine cmd;
    // 表 and ソ end in 0x5C but are not folders.
    ASSERT_TRUE(lzh::ParseCommandLine("e arc.lzh \x95\x5C \x83\x5C", cmd));
    EXPECT_TRUE(cmd.base_dir.empty());
    EXPECT_EQ(cmd.names, (std::vector<std::string>{"\x95\x5C", "\x83\x5C"}));
    EXPECT_EQ(lzh::ParentPath("out\\\x95\x5C.mag"), "out");
    EXPECT_EQ(lzh::ParentPath("out\\\x95\x5C\\\x83\x5C.mag"), "out\\\x95\x5C");
    EXPECT_EQ(lzh::ParentPath("\x83\x5C"), "");
    EXPECT_EQ(lzh::ParentPath("a/b/c"), "a/b");
    EXPECT_TRUE(lzh::EndsWithSeparator("out\\"));
    EXPECT_FALSE(lzh::EndsWithSeparator("\x95\x5C"));
}

TEST_F(Commands, DamagedMembersOfTheNewKindsLeaveNoFile) {
    // A level-2 member without header CRC cut inside its data, and a Macintosh member
    // whose data no longer matches its CRC: errors, and nothing under their names.
    lzhtest::Level2 plain;
    plain.with_crc = false;
    plain.data = Repeated("plain", 200);
    plain.extensions = {lzhtest::NameExtension("PLAIN.MAG")};
    lzhtest::Bytes cut = plain.Build();
    cut.resize(cut.size() - 100);
    lzhtest::Level2 mac;
    mac.os_id = 'm';
    mac.data = Repeated("mac", 300);
    mac.data_crc = 0x4321;
    mac.crc_given = true;
    mac.extensions = {lzhtest::NameExtension("MAC.PIC")};
    std::string out = dir / "out/";
    for (const lzhtest::Bytes& archive : {cut, lzhtest::Join({mac.Build(), {0}})}) {
        lzhtest::WriteAll(arc, archive);
        EXPECT_NE(Run("e -y \"" + arc + "\" \"" + out + "\""), 0);
        EXPECT_TRUE(!fs::exists(out) || fs::is_empty(out));
    }
}

TEST(Writer, SizesOf4GiBAndMoreRoundTrip) {
    lzh::Member m;
    m.method = "-lh5-";
    m.path = "dir/BIG.BMP";
    m.original_size = (uint64_t(5) << 30) + 3;
    m.packed_size = (uint64_t(4) << 30) + 1;
    lzhtest::Bytes archive = lzh::BuildHeader(m);
    ASSERT_FALSE(archive.empty());
    archive.resize(archive.size() + 16); // enough of the data for the header to be read
    lzh::MemorySource source(archive);
    lzh::Member back;
    ASSERT_EQ(lzh::ReadHeader(source, 0, back), lzh::Status::kOk);
    EXPECT_EQ(back.original_size, m.original_size);
    EXPECT_EQ(back.packed_size, m.packed_size);
    EXPECT_EQ(back.path, m.path);
}

} // namespace
