#include "macro/expansion.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <set>

using namespace tovn;

namespace {

using Lines = std::vector<std::wstring>;

// Targets T0, T1, ... at slots 10, 11, ...; names in `missing` do not exist. Every name
// the expansion asked about is recorded.
struct Expansion {
    std::vector<NamedIndex> targets;
    std::set<std::wstring> missing;
    std::vector<std::wstring> asked;

    explicit Expansion(std::vector<std::wstring> names, std::set<std::wstring> gone = {})
        : missing(std::move(gone)) {
        int slot = 10;
        for (auto& n : names) targets.push_back({n, slot++});
    }
    MacroBatch Expand(const std::wstring& macro, const std::wstring& workDir = L"C:\\PICS\\") {
        return ExpandMacro(macro, workDir, targets, [this](const std::wstring& name) {
            asked.push_back(name);
            return missing.count(name) == 0;
        });
    }
};

} // namespace

TEST(MacroExpansion, OneLinePerMarkedFileAfterTheDriveAndFolderLines) {
    Expansion r({L"A.BMP", L"B.MAG"});
    MacroBatch b = r.Expand(L"COPY $M SUB");
    EXPECT_EQ(b.kind, BatchKind::Temp);
    EXPECT_FALSE(b.startDirectly);
    EXPECT_EQ(b.lines,
              (Lines{L"C:", L"CD \\PICS\\", L"@CALL COPY A.BMP SUB", L"@CALL COPY B.MAG SUB"}));
    EXPECT_TRUE(b.missingSlots.empty());
    EXPECT_EQ(BatchText(b.lines),
              L"C:\r\nCD \\PICS\\\r\n@CALL COPY A.BMP SUB\r\n@CALL COPY B.MAG SUB\r\n");
}

TEST(MacroExpansion, EmptySlotWritesOnlyTheFolderLinesAndStartsNothingInABatch) {
    Expansion r({L"A.BMP"});
    MacroBatch b = r.Expand(L"");
    EXPECT_TRUE(b.startDirectly);
    EXPECT_EQ(b.macroText, L"");
    EXPECT_EQ(b.lines, (Lines{L"C:", L"CD \\PICS\\"}));
    EXPECT_TRUE(r.asked.empty());
}

TEST(MacroExpansion, LeadingAtChoosesTheSecondBatchAndAProgramWithoutBlankStartsDirectly) {
    Expansion r({L"A.BMP"});
    MacroBatch b = r.Expand(L"@NOTEPAD");
    EXPECT_EQ(b.kind, BatchKind::Temp2);
    EXPECT_TRUE(b.startDirectly);
    EXPECT_EQ(b.macroText, L"NOTEPAD");
    EXPECT_EQ(b.lines.size(), 2u);
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
    EXPECT_EQ(root.lines, (Lines{L"A:", L"CD \\", L"@CALL DIR A:\\"}));
    EXPECT_EQ(r.Expand(L"DIR", L"A:").lines, (Lines{L"A:"})); // no folder line for 2 characters
}

TEST(MacroExpansion, PriorityNotPositionChoosesTheVariableAndOnlyItsFirstOccurrence) {
    Expansion r({L"A.BMP", L"B.BMP", L"C.BMP"});
    MacroBatch b = r.Expand(L"X $M $A $M $Z");
    EXPECT_EQ(b.lines, (Lines{L"C:", L"CD \\PICS\\", L"@CALL X $M A.BMP B.BMP $M $Z",
                              L"@CALL X $M A.BMP C.BMP $M $Z"}));
    b = r.Expand(L"CAT $t>$T.TXT"); // "$T" outranks "$t"
    EXPECT_EQ(b.lines.back(), L"@CALL CAT $t>A.BMP B.BMP C.BMP .TXT");
}

TEST(MacroExpansion, BaseNameVariantsUseTheTextBeforeTheFirstDot) {
    Expansion r({L"A.X.BMP", L"B.PI", L"C.MAG", L"D.PIC"});
    EXPECT_EQ(r.Expand(L"CV $m.BMP").lines[2], L"@CALL CV A.BMP");
    EXPECT_EQ(r.Expand(L"CV $t").lines[2], L"@CALL CV A B C D ");
    EXPECT_EQ(r.Expand(L"CV $a").lines[4], L"@CALL CV A D");
    EXPECT_EQ(r.Expand(L"CV $b!").lines,
              (Lines{L"C:", L"CD \\PICS\\", L"@CALL CV A B!", L"@CALL CV C D!"}));
    EXPECT_EQ(BaseName(L"NODOT"), L"NODOT");
}

TEST(MacroExpansion, MissingTargetsWriteNothingAndAreReported) {
    Expansion r({L"A.BMP", L"B.BMP", L"C.BMP"}, {L"B.BMP"});
    MacroBatch b = r.Expand(L"VIEW $T/S");
    EXPECT_EQ(b.lines.back(), L"@CALL VIEW A.BMP C.BMP /S");
    EXPECT_EQ(b.lines.size(), 3u);
    EXPECT_EQ(b.missingSlots, std::vector<int>{11});

    b = r.Expand(L"DEL $M");
    EXPECT_EQ(b.lines, (Lines{L"C:", L"CD \\PICS\\", L"@CALL DEL A.BMP", L"@CALL DEL C.BMP"}));
    EXPECT_EQ(b.missingSlots, std::vector<int>{11});
}

TEST(MacroExpansion, FirstWithEachNeedsTwoTargetsAndNeverTestsTheFirst) {
    Expansion one({L"A.BMP"});
    MacroBatch b = one.Expand(L"CMP $A");
    EXPECT_FALSE(b.startDirectly); // the batch still runs
    EXPECT_EQ(b.lines.size(), 2u);
    EXPECT_TRUE(one.asked.empty());

    Expansion three({L"A.BMP", L"B.BMP", L"C.BMP"}, {L"A.BMP", L"C.BMP"});
    b = three.Expand(L"CMP $A");
    EXPECT_EQ(b.lines.back(), L"@CALL CMP A.BMP B.BMP");
    EXPECT_EQ(b.lines.size(), 3u);
    EXPECT_EQ(three.asked, (std::vector<std::wstring>{L"B.BMP", L"C.BMP"}));
    EXPECT_EQ(b.missingSlots, std::vector<int>{12});
}

TEST(MacroExpansion, PairsLeaveAnOddLastTargetOutAndStopAtTheFirstMissingOfAPair) {
    Expansion five({L"1.BMP", L"2.BMP", L"3.BMP", L"4.BMP", L"5.BMP"});
    MacroBatch b = five.Expand(L"JOIN $B");
    EXPECT_EQ(b.lines,
              (Lines{L"C:", L"CD \\PICS\\", L"@CALL JOIN 1.BMP 2.BMP", L"@CALL JOIN 3.BMP 4.BMP"}));
    EXPECT_EQ(std::count(five.asked.begin(), five.asked.end(), L"5.BMP"), 0);

    Expansion gaps({L"1.BMP", L"2.BMP", L"3.BMP", L"4.BMP"}, {L"1.BMP", L"4.BMP"});
    b = gaps.Expand(L"JOIN $B");
    EXPECT_EQ(b.lines.size(), 2u);
    EXPECT_EQ(gaps.asked, (std::vector<std::wstring>{L"1.BMP", L"3.BMP", L"4.BMP"}));
    EXPECT_EQ(b.missingSlots, (std::vector<int>{10, 13}));
}

TEST(MacroExpansion, NamesTheInterpreterWouldSplitAreQuotedAndPercentSignsDoubled) {
    EXPECT_EQ(BatchName(L"PLAIN.BMP"), L"PLAIN.BMP");
    EXPECT_EQ(BatchName(L"MY PIC.BMP"), L"\"MY PIC.BMP\"");
    for (const wchar_t* special : {L"&", L"|", L"<", L">", L"^", L"(", L")", L",", L";", L"="})
        EXPECT_EQ(BatchName(std::wstring(L"A") + special + L"B.BMP"),
                  std::wstring(L"\"A") + special + L"B.BMP\"");
    EXPECT_EQ(BatchName(L"100%.BMP"), L"100%%%%.BMP"); // "CALL" expands its line again
    EXPECT_EQ(BatchName(L"50% OFF.BMP"), L"\"50%%%% OFF.BMP\"");
    EXPECT_EQ(BatchName(L"100%", false), L"100%%");
    EXPECT_EQ(BatchName(L"写真.BMP"), L"写真.BMP");

    Expansion r({L"MY PIC.BMP", L"A&B.BMP"});
    MacroBatch b = r.Expand(L"DEL $M", L"C:\\TOM&JERRY\\");
    EXPECT_EQ(b.lines, (Lines{L"C:", L"CD \"\\TOM&JERRY\\\"", L"@CALL DEL \"MY PIC.BMP\"",
                              L"@CALL DEL \"A&B.BMP\""}));
    EXPECT_EQ(r.Expand(L"ECHO $m").lines[2], L"@CALL ECHO \"MY PIC\"");
    EXPECT_EQ(r.Expand(L"DIR", L"C:\\5%\\").lines[1], L"CD \\5%%\\");
    EXPECT_EQ(r.Expand(L"ECHO $T").lines[2], L"@CALL ECHO \"MY PIC.BMP\" \"A&B.BMP\" ");
}
