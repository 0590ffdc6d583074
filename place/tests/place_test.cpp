// The folder and the archive answer the same questions and make the same changes, on the
// same files: each typed case runs over both places (the archive through UNLHA32.DLL beside
// the test).
#include "app/win_text.h"
#include "archive/unlha.h"
#include "fileops/requests.h"
#include "place/place.h"
#include "support/test_folder.h"
#include "win/handles.h"
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

using namespace tovn;
using namespace tovn::test;

namespace {

// The files every case starts from.
const std::string kA = "first file", kB = "second file";

struct InFolder {
    static std::unique_ptr<Place> Open(const TestFolder& files, const TestFolder&) {
        return std::make_unique<FolderPlace>(files.Path());
    }
    static std::string Contents(const Place& place, const std::wstring& name) {
        std::string bytes;
        return ReadFileBytes(place.Path() + name, bytes) ? bytes : "<none>";
    }
    // A vanished folder's files cannot be renamed or copied; that is a clash or a file not
    // made, as for any file gone behind the program's back.
    static constexpr Say kGoneRename = Say::Nothing, kGoneDuplicate = Say::BoxBeep;
    // The shell moves what it can and the command shows what moved; nothing moved here.
    static constexpr bool kGoesOnAfterAFailedMove = true;
    static constexpr Say kGoneMove = Say::Nothing; // nothing was left to move: no failure
};

struct InArchive {
    static std::unique_ptr<Place> Open(const TestFolder& files, const TestFolder& work) {
        const std::wstring archive = files / L"ARC.LZH";
        RunUnlha(nullptr, ToAnsi(PackCommand(archive, files.Path(), {L"A.BMP", L"B.BMP"})));
        ::DeleteFileW((files / L"A.BMP").c_str());
        ::DeleteFileW((files / L"B.BMP").c_str());
        return std::make_unique<ArchivePlace>(nullptr, archive, work / L"WORK\\");
    }
    static std::string Contents(const Place& place, const std::wstring& name) {
        TestFolder out(L"out");
        RunUnlha(nullptr, ToAnsi(ExtractCommand(place.Path(), out.Path(), {name})));
        std::string bytes;
        return ReadFileBytes(out / name, bytes) ? bytes : "<none>";
    }
    static constexpr Say kGoneRename = Say::ArchiveGone, kGoneDuplicate = Say::ArchiveGone;
    static constexpr bool kGoesOnAfterAFailedMove = false;
    static constexpr Say kGoneMove = Say::ArchiveGone;
};

// What an operation told the browser, in order.
struct RecordedSlots final : SlotSink {
    void Vanished(int slot) override { events.push_back("vanished " + std::to_string(slot)); }
    void Removed(int slot) override { events.push_back("removed " + std::to_string(slot)); }
    void Stage(const wchar_t*) override {} // the waiting window's text is the command's look
    std::vector<std::string> events;
};

TargetList Targets(std::initializer_list<NamedIndex> items) {
    return TargetList{std::vector<NamedIndex>(items), false};
}

template <typename Kind> class PlaceContract : public ::testing::Test {
protected:
    PlaceContract() {
        LoadUnlha();
        WriteTextFile(files / L"A.BMP", kA);
        WriteTextFile(files / L"B.BMP", kB);
        if (UnlhaLoaded()) place = Kind::Open(files, work);
    }
    ~PlaceContract() override { UnloadUnlha(); }
    void SetUp() override {
        if (!UnlhaLoaded()) GTEST_SKIP() << "UNLHA32.DLL not found";
    }
    std::string Contents(const std::wstring& name) { return Kind::Contents(*place, name); }
    // The place itself goes: the folder with its files, or the archive file.
    void Vanish() {
        if (place->IsArchive())
            ::DeleteFileW(place->Path().c_str());
        else
            RemoveTree(files.Path());
    }

    TestFolder files{L"place"};
    TestFolder work{L"work"};
    std::unique_ptr<Place> place;
};

using Kinds = ::testing::Types<InFolder, InArchive>;
TYPED_TEST_SUITE(PlaceContract, Kinds);

TYPED_TEST(PlaceContract, HasTheStartingFilesAndNoOther) {
    EXPECT_TRUE(this->place->StillThere().ok());
    EXPECT_TRUE(this->place->Has(L"A.BMP"));
    EXPECT_TRUE(this->place->Has(L"b.bmp")); // names compare without case, as the list does
    EXPECT_FALSE(this->place->Has(L"C.BMP"));
    EXPECT_EQ(this->Contents(L"B.BMP"), kB);
}

TYPED_TEST(PlaceContract, RenameMovesTheContentsAndAClashChangesNothing) {
    ASSERT_TRUE(this->place->Rename(L"A.BMP", L"C.BMP").ok());
    EXPECT_FALSE(this->place->Has(L"A.BMP"));
    EXPECT_EQ(this->Contents(L"C.BMP"), kA);

    const struct {
        const wchar_t* from;
        const wchar_t* to;
    } refused[] = {
        {L"B.BMP", L"C.BMP"},    // taken
        {L"B.BMP", L"Q\"T.BMP"}, // a name no place can carry
    };
    for (const auto& r : refused) {
        const Result result = this->place->Rename(r.from, r.to);
        EXPECT_FALSE(result.ok()) << ToAnsi(r.to);
        EXPECT_EQ(result.say(), Say::Nothing) << ToAnsi(r.to); // the command tells of it
    }
    EXPECT_EQ(this->Contents(L"B.BMP"), kB);
    EXPECT_EQ(this->Contents(L"C.BMP"), kA);
}

TYPED_TEST(PlaceContract, DuplicateAddsACopyAndLeavesTheOriginal) {
    ASSERT_TRUE(this->place->Duplicate(L"A.BMP", L"A_000.BMP").ok());
    EXPECT_EQ(this->Contents(L"A_000.BMP"), kA);
    EXPECT_EQ(this->Contents(L"A.BMP"), kA);

    // A source gone behind the program's back: the user is told (the folder names the file,
    // the archive passes on the library's answer) and nothing is made.
    const Result missing = this->place->Duplicate(L"X.BMP", L"X_000.BMP");
    EXPECT_FALSE(missing.ok());
    EXPECT_NE(missing.say(), Say::Nothing);
    if (!this->place->IsArchive()) EXPECT_EQ(missing.caption(), L"X.BMP");
    EXPECT_FALSE(this->place->Has(L"X_000.BMP"));
}

TYPED_TEST(PlaceContract, APlaceThatVanishedSaysSoAndMakesNothing) {
    this->Vanish();
    EXPECT_EQ(this->place->StillThere().ok(), !this->place->IsArchive());
    EXPECT_FALSE(this->place->Has(L"A.BMP"));
    EXPECT_EQ(this->place->Rename(L"A.BMP", L"C.BMP").say(), TypeParam::kGoneRename);
    EXPECT_EQ(this->place->Duplicate(L"A.BMP", L"A_000.BMP").say(), TypeParam::kGoneDuplicate);
    EXPECT_FALSE(PathExists(this->place->Path())); // nothing made it again
}

TYPED_TEST(PlaceContract, CopyLeavesTheFilesAndMoveTakesThem) {
    TestFolder dest{L"dest"};
    RecordedSlots slots;
    FileOutcome copied = this->place->Copy(Targets({{L"A.BMP", 0}}), dest.Path(), {}, slots);
    EXPECT_TRUE(copied.result.ok());
    EXPECT_TRUE(copied.goOn);
    std::string bytes;
    EXPECT_TRUE(ReadFileBytes(dest / L"A.BMP", bytes) && bytes == kA);
    EXPECT_TRUE(this->place->Has(L"A.BMP"));

    FileOutcome moved = this->place->Move(Targets({{L"B.BMP", 1}}), dest.Path(), {}, slots);
    EXPECT_TRUE(moved.result.ok());
    EXPECT_TRUE(moved.goOn);
    EXPECT_TRUE(ReadFileBytes(dest / L"B.BMP", bytes) && bytes == kB);
    EXPECT_FALSE(this->place->Has(L"B.BMP"));
    EXPECT_EQ(slots.events, std::vector<std::string>{"removed 1"});
}

TYPED_TEST(PlaceContract, DeleteKeepsACopyWhereTheBackupSays) {
    TestFolder backup{L"backup"};
    RecordedSlots slots;
    FileOutcome kept =
        this->place->Delete(Targets({{L"A.BMP", 0}}), Backup{2, backup.Path()}, slots);
    EXPECT_TRUE(kept.result.ok());
    std::string bytes;
    EXPECT_TRUE(ReadFileBytes(backup / L"A.BMP", bytes) && bytes == kA);
    EXPECT_FALSE(this->place->Has(L"A.BMP"));

    FileOutcome gone = this->place->Delete(Targets({{L"B.BMP", 1}}), Backup{}, slots);
    EXPECT_TRUE(gone.result.ok());
    EXPECT_FALSE(this->place->Has(L"B.BMP"));
    EXPECT_FALSE(PathExists(backup / L"B.BMP"));
    EXPECT_EQ(slots.events, (std::vector<std::string>{"removed 0", "removed 1"}));
}

// A destination that cannot be made (a file stands where its folder should be): nothing
// leaves the place, no slot is emptied, and the failure is there to report.
TYPED_TEST(PlaceContract, NothingLeavesThePlaceWithoutAWholeCopy) {
    TestFolder dest{L"dest"};
    WriteTextFile(dest / L"FILE", "in the way");
    const std::wstring blocked = dest / L"FILE\\";
    RecordedSlots slots;
    FileOutcome moved = this->place->Move(Targets({{L"A.BMP", 0}}), blocked, {}, slots);
    EXPECT_FALSE(moved.result.ok());
    EXPECT_EQ(moved.goOn, TypeParam::kGoesOnAfterAFailedMove);
    FileOutcome deleted = this->place->Delete(Targets({{L"B.BMP", 1}}), Backup{2, blocked}, slots);
    EXPECT_FALSE(deleted.result.ok());
    EXPECT_TRUE(this->place->Has(L"A.BMP"));
    EXPECT_TRUE(this->place->Has(L"B.BMP"));
    EXPECT_TRUE(slots.events.empty());
}

TYPED_TEST(PlaceContract, AMoveFromAVanishedPlaceRemovesNothing) {
    TestFolder dest{L"dest"};
    this->Vanish();
    RecordedSlots slots;
    FileOutcome moved = this->place->Move(Targets({{L"A.BMP", 0}}), dest.Path(), {}, slots);
    EXPECT_EQ(moved.result.say(), TypeParam::kGoneMove);
    EXPECT_FALSE(PathExists(dest / L"A.BMP"));
    EXPECT_TRUE(slots.events.empty());
}

// A command's loose files: the targets come out into the work folder, changed and new files
// go back, and nothing is left behind in a work folder of the program's own.
TYPED_TEST(PlaceContract, WorkFilesGoBackIntoThePlace) {
    std::wstring work;
    ASSERT_TRUE(this->place->PrepareWork(work).ok());
    ASSERT_TRUE(this->place->ExtractToWork(Targets({{L"A.BMP", 0}})).ok());
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(work + L"A.BMP", bytes));
    EXPECT_EQ(bytes, kA);
    WriteTextFile(work + L"A.BMP", "changed");
    WriteTextFile(work + L"C.BMP", "made");
    ASSERT_TRUE(this->place->StoreBack({L"A.BMP", L"C.BMP"}).ok());
    this->place->EndWork();
    EXPECT_EQ(this->Contents(L"A.BMP"), "changed");
    EXPECT_EQ(this->Contents(L"C.BMP"), "made");
    EXPECT_EQ(this->Contents(L"B.BMP"), kB);
    if (this->place->IsArchive()) {
        EXPECT_FALSE(PathExists(work + L"A.BMP"));
        EXPECT_FALSE(PathExists(work + L"C.BMP"));
    }
}

struct ArchiveWork : ::testing::Test {
    ArchiveWork() {
        LoadUnlha();
        WriteTextFile(files / L"A.BMP", kA);
        WriteTextFile(files / L"B.BMP", kB);
        if (UnlhaLoaded()) place = InArchive::Open(files, folder);
    }
    ~ArchiveWork() override { UnloadUnlha(); }
    void SetUp() override {
        if (!UnlhaLoaded()) GTEST_SKIP() << "UNLHA32.DLL not found";
        ASSERT_TRUE(place->PrepareWork(work).ok());
        ASSERT_TRUE(ReadFileBytes(place->Path(), before));
    }
    std::string Archive() const {
        std::string bytes;
        ReadFileBytes(place->Path(), bytes);
        return bytes;
    }
    // No copy of the archive is left beside it.
    bool AloneInItsFolder() const {
        WIN32_FIND_DATAW found;
        const HANDLE find = ::FindFirstFileW((files / L"*.TMP").c_str(), &found);
        if (find == INVALID_HANDLE_VALUE) return true;
        ::FindClose(find);
        return false;
    }
    TestFolder files{L"place"}, folder{L"work"};
    std::unique_ptr<Place> place;
    std::wstring work;
    std::string before;
};

// A file the archive cannot take: the archive is as it was, and every file stays loose.
TEST_F(ArchiveWork, AStoreThatCannotBeWholeLeavesTheArchiveAndTheFiles) {
    const std::wstring odd = L"\u0100.BMP"; // no ANSI form: the command line cannot carry it
    WriteTextFile(work + L"A.BMP", "changed");
    WriteTextFile(work + odd, "odd");
    EXPECT_FALSE(place->StoreBack({L"A.BMP", odd}).ok());
    EXPECT_EQ(Archive(), before);
    EXPECT_TRUE(PathExists(work + L"A.BMP"));
    EXPECT_TRUE(PathExists(work + odd));
    EXPECT_TRUE(AloneInItsFolder());
}

// An archive another program holds open for reading only: it cannot be written, the store
// fails and the files stay loose.
TEST_F(ArchiveWork, ARefusedWriteKeepsTheFilesLoose) {
    WriteTextFile(work + L"C.BMP", "made");
    {
        UniqueFile held(::CreateFileW(place->Path().c_str(), GENERIC_READ, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        EXPECT_FALSE(place->StoreBack({L"C.BMP"}).ok());
    }
    EXPECT_EQ(Archive(), before);
    EXPECT_TRUE(PathExists(work + L"C.BMP"));
    EXPECT_TRUE(AloneInItsFolder());
}

// Everything a macro left goes in; a folder it made stays, and the store says so.
TEST_F(ArchiveWork, StoringEverythingTakesTheFilesAndLeavesAFolderMadeThere) {
    WriteTextFile(work + L"C.BMP", "made");
    ASSERT_TRUE(place->StoreAllBack().ok());
    EXPECT_TRUE(place->Has(L"C.BMP"));
    EXPECT_FALSE(PathExists(work + L"C.BMP"));
    WriteTextFile(work + L"D.BMP", "also made");
    ASSERT_TRUE(::CreateDirectoryW((work + L"SUB").c_str(), nullptr));
    EXPECT_FALSE(place->StoreAllBack().ok());
    EXPECT_TRUE(place->Has(L"D.BMP"));
    EXPECT_TRUE(PathExists(work + L"SUB"));
    EXPECT_TRUE(AloneInItsFolder());
}

TEST(ArchivePlaceTest, DuplicateNeedsAnEmptyWorkFolderAndLeavesItEmpty) {
    LoadUnlha();
    if (!UnlhaLoaded()) GTEST_SKIP() << "UNLHA32.DLL not found";
    TestFolder files{L"place"};
    WriteTextFile(files / L"A.BMP", kA);
    WriteTextFile(files / L"B.BMP", kB);
    TestFolder work{L"work"};
    std::unique_ptr<Place> place = InArchive::Open(files, work);
    work.MakeFolder(L"WORK");
    WriteTextFile(work / L"WORK\\LEFT.TXT", "left over"); // an earlier operation's file
    ASSERT_TRUE(place->Duplicate(L"B.BMP", L"B_000.BMP").ok());
    EXPECT_FALSE(PathExists(work / L"WORK\\LEFT.TXT"));
    EXPECT_FALSE(PathExists(work / L"WORK\\B_000.BMP"));

    // A file where the work folder should be: nothing starts, and the user reads why.
    WriteTextFile(work / L"BLOCK", "a file");
    ArchivePlace blocked(nullptr, place->Path(), work / L"BLOCK\\WORK\\");
    const Result r = blocked.Duplicate(L"A.BMP", L"A_000.BMP");
    EXPECT_EQ(r.caption(), L"Work Folder Error");
    EXPECT_EQ(r.say(), Say::BeepBox);
    EXPECT_FALSE(place->Has(L"A_000.BMP"));
    UnloadUnlha();
}

} // namespace
