#include "macro/expansion.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <map>
#include <set>

using namespace tovn;

namespace {

using Lines = std::vector<std::wstring>;

const std::wstring kGuard = L"IF ERRORLEVEL 1 GOTO :EOF";

// Targets T0, T1, ... at slots 10, 11, ...; names in `missing` do not exist. Every name
// the expansion asked about is recorded. Names in `shortNames` have that short name, and
// those in `unspelled` cannot be spelled as they are.
struct Expansion {
    std::vector<NamedIndex> targets;
    std::set<std::wstring> missing;
    std::vector<std::wstring> asked;
    std::map<std::wstring, std::wstring> shortNames;
    std::set<std::wstring> unspelled;
    NameForms folder;

    explicit Expansion(std::vector<std::wstring> names, std::set<std::wstring> gone = {})
        : missing(std::move(gone)) {
        int slot = 10;
        for (auto& n : names) targets.push_back({n, slot++});
    }
    MacroBatch Expand(const std::wstring& macro, const std::wstring& workDir = L"C:\\PICS\\") {
        const MacroPlace place{
            workDir, folder.alternate.empty() ? NameForms{BatchFolder(workDir), L""} : folder,
            [this](const std::wstring& name) {
                asked.push_back(name);
                return missing.count(name) == 0;
            },
            [this](const std::wstring& name) {
                return NameForms{unspelled.count(name) ? L"" : name, shortNames[name]};
            }};
        return ExpandMacro(macro, place, targets);
    }
};

} // namespace

TEST(MacroExpansion, OneLinePerMarkedFileAfterTheDriveAndFolderLines) {
    Expansion r({L"A.BMP", L"B.MAG"});
    MacroBatch b = r.Expand(L"COPY $M SUB");
    EXPECT_EQ(b.kind, BatchKind::Temp);
    EXPECT_FALSE(b.startDirectly);
    EXPECT_EQ(b.lines, (Lines{L"C:", L"CD /D C:\\PICS", kGuard, L"@CALL COPY A.BMP SUB",
                              L"@CALL COPY B.MAG SUB"}));
    EXPECT_TRUE(b.missingSlots.empty());
    EXPECT_EQ(BatchText(b.lines),
              L"C:\r\nCD /D C:\\PICS\r\nIF ERRORLEVEL 1 GOTO :EOF\r\n@CALL COPY A.BMP "
              L"SUB\r\n@CALL COPY B.MAG SUB\r\n");
}

TEST(MacroExpansion, EmptySlotWritesOnlyTheFolderLinesAndStartsNothingInABatch) {
    Expansion r({L"A.BMP"});
    MacroBatch b = r.Expand(L"");
    EXPECT_TRUE(b.startDirectly);
    EXPECT_EQ(b.macroText, L"");
    EXPECT_EQ(b.lines, (Lines{L"C:", L"CD /D C:\\PICS", kGuard}));
    EXPECT_TRUE(r.asked.empty());
}

TEST(MacroExpansion, LeadingAtChoosesTheSecondBatchAndAProgramWithoutBlankStartsDirectly) {
    Expansion r({L"A.BMP"});
    MacroBatch b = r.Expand(L"@NOTEPAD");
    EXPECT_EQ(b.kind, BatchKind::Temp2);
    EXPECT_TRUE(b.startDirectly);
    EXPECT_EQ(b.macroText, L"NOTEPAD");
    EXPECT_EQ(b.lines.size(), 3u);
    EXPECT_STREQ(BatchFileName(b.kind), L"TEMP2.BAT");
    EXPECT_STREQ(BatchFileName(BatchKind::Temp), L"TEMP.BAT");

    b = r.Expand(L"@ECHO HELLO"); // a blank: one line, run through the batch
    EXPECT_FALSE(b.startDirectly);
    EXPECT_EQ(b.lines.back(), L"@CALL ECHO HELLO");
}

TEST(MacroExpansion, FolderVariableFirstOccurrenceOnlyAndDriveRootKeptWhole) {
    Expansion r({});
    EXPECT_EQ(r.Expand(L"$PX").macroText, L"C:\\PICSX");
    EXPECT_EQ(r.Expand(L"CD $P").lines.back(), L"@CALL CD C:\\PICS");
    EXPECT_EQ(r.Expand(L"X $P $P $p").macroText, L"X C:\\PICS $P $p");
    MacroBatch root = r.Expand(L"DIR $P", L"A:\\");
    EXPECT_EQ(root.lines, (Lines{L"A:", L"CD /D A:\\", kGuard, L"@CALL DIR A:\\"}));
    // No folder line for 2 characters.
    EXPECT_EQ(r.Expand(L"DIR", L"A:").lines, (Lines{L"A:", kGuard}));
}

TEST(MacroExpansion, PriorityNotPositionChoosesTheVariableAndOnlyItsFirstOccurrence) {
    Expansion r({L"A.BMP", L"B.BMP", L"C.BMP"});
    MacroBatch b = r.Expand(L"X $M $A $M $Z");
    EXPECT_EQ(b.lines, (Lines{L"C:", L"CD /D C:\\PICS", kGuard, L"@CALL X $M A.BMP B.BMP $M $Z",
                              L"@CALL X $M A.BMP C.BMP $M $Z"}));
    b = r.Expand(L"CAT $t-$T.TXT"); // "$T" outranks "$t"
    EXPECT_EQ(b.lines.back(), L"@CALL CAT $t-A.BMP B.BMP C.BMP .TXT");
}

TEST(MacroExpansion, BaseNameVariantsUseTheTextBeforeTheFirstDot) {
    Expansion r({L"A.X.BMP", L"B.PI", L"C.MAG", L"D.PIC"});
    EXPECT_EQ(r.Expand(L"CV $m.BMP").lines[3], L"@CALL CV A.BMP");
    EXPECT_EQ(r.Expand(L"CV $t").lines[3], L"@CALL CV A B C D ");
    EXPECT_EQ(r.Expand(L"CV $a").lines[5], L"@CALL CV A D");
    EXPECT_EQ(r.Expand(L"CV $b!").lines,
              (Lines{L"C:", L"CD /D C:\\PICS", kGuard, L"@CALL CV A B!", L"@CALL CV C D!"}));
    EXPECT_EQ(BaseName(L"NODOT"), L"NODOT");
}

TEST(MacroExpansion, MissingTargetsWriteNothingAndAreReported) {
    Expansion r({L"A.BMP", L"B.BMP", L"C.BMP"}, {L"B.BMP"});
    MacroBatch b = r.Expand(L"VIEW $T/S");
    EXPECT_EQ(b.lines.back(), L"@CALL VIEW A.BMP C.BMP /S");
    EXPECT_EQ(b.lines.size(), 4u);
    EXPECT_EQ(b.missingSlots, std::vector<int>{11});

    b = r.Expand(L"DEL $M");
    EXPECT_EQ(b.lines,
              (Lines{L"C:", L"CD /D C:\\PICS", kGuard, L"@CALL DEL A.BMP", L"@CALL DEL C.BMP"}));
    EXPECT_EQ(b.missingSlots, std::vector<int>{11});
}

TEST(MacroExpansion, FirstWithEachNeedsTwoTargetsAndNeverTestsTheFirst) {
    Expansion one({L"A.BMP"});
    MacroBatch b = one.Expand(L"CMP $A");
    EXPECT_FALSE(b.startDirectly); // the batch still runs
    EXPECT_EQ(b.lines.size(), 3u);
    EXPECT_TRUE(one.asked.empty());

    Expansion three({L"A.BMP", L"B.BMP", L"C.BMP"}, {L"A.BMP", L"C.BMP"});
    b = three.Expand(L"CMP $A");
    EXPECT_EQ(b.lines.back(), L"@CALL CMP A.BMP B.BMP");
    EXPECT_EQ(b.lines.size(), 4u);
    EXPECT_EQ(three.asked, (std::vector<std::wstring>{L"B.BMP", L"C.BMP"}));
    EXPECT_EQ(b.missingSlots, std::vector<int>{12});
}

TEST(MacroExpansion, PairsLeaveAnOddLastTargetOutAndStopAtTheFirstMissingOfAPair) {
    Expansion five({L"1.BMP", L"2.BMP", L"3.BMP", L"4.BMP", L"5.BMP"});
    MacroBatch b = five.Expand(L"JOIN $B");
    EXPECT_EQ(b.lines, (Lines{L"C:", L"CD /D C:\\PICS", kGuard, L"@CALL JOIN 1.BMP 2.BMP",
                              L"@CALL JOIN 3.BMP 4.BMP"}));
    EXPECT_EQ(std::count(five.asked.begin(), five.asked.end(), L"5.BMP"), 0);

    Expansion gaps({L"1.BMP", L"2.BMP", L"3.BMP", L"4.BMP"}, {L"1.BMP", L"4.BMP"});
    b = gaps.Expand(L"JOIN $B");
    EXPECT_EQ(b.lines.size(), 3u);
    EXPECT_EQ(gaps.asked, (std::vector<std::wstring>{L"1.BMP", L"3.BMP", L"4.BMP"}));
    EXPECT_EQ(b.missingSlots, (std::vector<int>{10, 13}));
}

TEST(MacroExpansion, EveryExpansionIsSpelledForWhereTheAuthorPutIt) {
    Expansion r({L"MY PIC.BMP", L"A&B.BMP", L"a+b.BMP"});
    MacroBatch b = r.Expand(L"DEL $M", L"C:\\TOM&JERRY\\");
    EXPECT_EQ(b.lines,
              (Lines{L"C:", L"CD /D \"C:\\TOM&JERRY\"", kGuard, L"@CALL DEL \"MY PIC.BMP\"",
                     L"@CALL DEL \"A&B.BMP\"", L"@CALL DEL \"a+b.BMP\""}));
    EXPECT_EQ(r.Expand(L"ECHO $m").lines[3], L"@CALL ECHO \"MY PIC\"");
    EXPECT_EQ(r.Expand(L"DIR", L"C:\\5%\\").lines[1], L"CD /D \"C:\\5%%\"");
    EXPECT_EQ(r.Expand(L"DIR", L"C:\\A^B\\").lines[1], L"CD /D \"C:\\A^B\"");
    EXPECT_EQ(r.Expand(L"ECHO \"$M\"").lines[3], L"@CALL ECHO \"MY PIC.BMP\"");
    EXPECT_EQ(r.Expand(L"ECHO $P\\x \"$P\"", L"C:\\A B\\").lines[3],
              L"@CALL ECHO \"C:\\A B\"\\x \"$P\"");
    EXPECT_EQ(r.Expand(L"ECHO \"$P\"", L"C:\\A B\\").lines[3], L"@CALL ECHO \"C:\\A B\"");
    // A folder named like a file variable is no variable.
    EXPECT_EQ(r.Expand(L"ECHO $P", L"C:\\$M\\").lines.back(), L"@CALL ECHO \"C:\\$M\"");
}

// A "%" or a caret has no spelling that a called line hands on whole under every
// interpreter, nor a name the code page cannot spell: such names go by
// their short name, or are left out; a folder without one refuses the whole batch.
TEST(MacroExpansion, NamesNoCalledLineCarriesGoByTheirShortNameOrAreLeftOut) {
    Expansion r({L"100%.BMP", L"50% OFF.BMP", L"A.BMP", L"X^Y.BMP"});
    r.shortNames[L"50% OFF.BMP"] = L"50OFF~1.BMP";
    MacroBatch b = r.Expand(L"DEL $M");
    EXPECT_EQ(b.lines, (Lines{L"C:", L"CD /D C:\\PICS", kGuard, L"@CALL DEL 50OFF~1.BMP",
                              L"@CALL DEL A.BMP"}));
    EXPECT_EQ(b.leftOut, (std::vector<std::wstring>{L"100%.BMP", L"X^Y.BMP"}));
    EXPECT_EQ(b.refusal, BatchRefusal::None);
    b = r.Expand(L"DEL \"$M\"");
    EXPECT_EQ(b.leftOut, (std::vector<std::wstring>{L"100%.BMP", L"X^Y.BMP"}));
    b = r.Expand(L"CMP $A $T");
    EXPECT_EQ(b.lines.size(), 3u); // the first target cannot be written: no line at all
    EXPECT_EQ(b.leftOut, (std::vector<std::wstring>{L"100%.BMP", L"X^Y.BMP"}));
    EXPECT_EQ(r.Expand(L"VIEW $T/S").lines.back(), L"@CALL VIEW 50OFF~1.BMP A.BMP /S");
    EXPECT_EQ(r.Expand(L"ECHO $m").lines[3], L"@CALL ECHO A"); // a short name has no base

    r.unspelled = {L"A.BMP"};
    EXPECT_EQ(r.Expand(L"COPY $M SUB").leftOut,
              (std::vector<std::wstring>{L"100%.BMP", L"A.BMP", L"X^Y.BMP"}));
    EXPECT_TRUE(r.Expand(L"ECHO X").leftOut.empty()); // no file variable: nothing left out

    EXPECT_EQ(r.Expand(L"ECHO $P", L"C:\\100%\\").refusal, BatchRefusal::Folder);
    r.folder = {L"", L"C:\\PICS~1"};
    b = r.Expand(L"ECHO \"$P\"", L"C:\\\u2603\\");
    EXPECT_EQ(b.refusal, BatchRefusal::None);
    EXPECT_EQ(b.lines, (Lines{L"C:", L"CD /D C:\\PICS~1", kGuard, L"@CALL ECHO \"C:\\PICS~1\""}));
    r.folder = {L"", L"C:\\100%"};
    EXPECT_EQ(r.Expand(L"DIR", L"C:\\\u2603\\").refusal, BatchRefusal::None);
    EXPECT_EQ(r.Expand(L"DIR $P", L"C:\\\u2603\\").refusal, BatchRefusal::Folder);
    r.folder = {L"", L"C:\\A\"B"};
    EXPECT_EQ(r.Expand(L"DIR", L"C:\\\u2603\\").refusal, BatchRefusal::Folder);
}

TEST(MacroExpansion, ALineLongerThanTheInterpreterReadsRefusesTheBatch) {
    std::vector<std::wstring> names;
    for (int i = 0; i < 1000; ++i) names.push_back(L"PICTURE" + std::to_wstring(i) + L".BMP");
    Expansion r(names);
    EXPECT_EQ(r.Expand(L"VIEW $T").refusal, BatchRefusal::TooLong);
    EXPECT_EQ(r.Expand(L"VIEW $M").refusal, BatchRefusal::None);
    r.targets.resize(500);
    EXPECT_EQ(r.Expand(L"VIEW $T").refusal, BatchRefusal::None);
}
