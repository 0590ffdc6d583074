#include "app/report.h"
#include "archive/unlha.h"
#include "support/scripted_dialogs.h"
#include <gtest/gtest.h>

using namespace tovn;
using namespace tovn::test;

TEST(UnlhaBinding, WithoutTheLibraryEveryCallSaysSoAndAnswersZero) {
    ScriptedDialogs dialogs;
    SetStandByReporter([](const Result& r) { Report(nullptr, r); }); // as the program does
    UnloadUnlha();
    EXPECT_FALSE(UnlhaLoaded());
    EXPECT_EQ(Unlha().CheckArchive("C:\\A.LZH", 1), 0);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, L"UnlhaCheckArchive: LHA.DLL not loaded.");
    EXPECT_EQ(dialogs.messages[0].caption, L"PANIC!!");
    // A stand-by search answers 0, which would read as "found": the safe lookups treat it
    // as nothing found, so listings end instead of looping on an empty record.
    IndividualInfo info;
    EXPECT_FALSE(UnlhaFindFirstSafe(nullptr, "*.*", info));
    EXPECT_FALSE(UnlhaFindNextSafe(nullptr, info));
    EXPECT_EQ(dialogs.messages.back().text, L"UnlhaFindNext: LHA.DLL not loaded.");
    EXPECT_FALSE(FindArchiveEntry(nullptr, "C:\\A.LZH", "A.MAG"));
}

TEST(UnlhaBinding, TheRealLibraryBindsEveryEntryItHas) {
    ScriptedDialogs dialogs;
    LoadUnlha(); // the test runs in the program's folder
    ASSERT_TRUE(UnlhaLoaded());
    for (const char* name : {"Unlha", "UnlhaCheckArchive", "UnlhaOpenArchive", "UnlhaCloseArchive",
                             "UnlhaFindFirst", "UnlhaFindNext"})
        EXPECT_TRUE(UnlhaHasEntry(name)) << name;
    EXPECT_EQ(Unlha().CheckArchive("Z:\\no\\such.lzh", 1), 0);
    EXPECT_TRUE(dialogs.messages.empty());
    UnloadUnlha();
    EXPECT_FALSE(UnlhaLoaded());
}
