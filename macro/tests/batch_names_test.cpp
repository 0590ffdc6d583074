// Hostile folder and file names through the macro batch and Wine's command interpreter to a
// program of ours that records what it receives: each name arrives exactly (or, where the
// code page cannot spell it, as the short name of the same file), or nothing is run.
#include "core/text.h"
#include "macro/tests/macro_fixture.h"

using namespace tovn;
using namespace tovn::test;

namespace {

struct Hostile {
    const wchar_t* folder; // below the picture folder; empty for the picture folder itself
    const wchar_t* name;
};

// What the recorder received: its current folder, then its arguments.
std::vector<std::vector<std::wstring>> Records(const std::wstring& log) {
    std::string bytes;
    if (!ReadFileBytes(log, bytes)) return {};
    std::vector<std::vector<std::wstring>> records(1);
    std::string field;
    for (char c : bytes) {
        if (c == '\x1f') {
            const int n =
                ::MultiByteToWideChar(CP_UTF8, 0, field.data(), int(field.size()), nullptr, 0);
            std::wstring wide(n, L'\0');
            ::MultiByteToWideChar(CP_UTF8, 0, field.data(), int(field.size()), &wide[0], n);
            records.back().push_back(wide);
            field.clear();
        } else if (c == '\x1e') {
            records.emplace_back();
        } else {
            field += c;
        }
    }
    records.pop_back();
    return records;
}

std::wstring LongPath(const std::wstring& path) {
    wchar_t out[MAX_PATH * 2] = {};
    return ::GetLongPathNameW(path.c_str(), out, MAX_PATH * 2) ? out : L"";
}

// A name arrives as it is, or, when no batch line can carry it (the code page cannot spell
// it, or a called line would change its "%" or "^"), as the short name of the same file.
bool SameFile(const std::wstring& got, const std::wstring& want, const std::wstring& where) {
    if (got == want) return true;
    std::string bytes;
    const bool carried = ExactAnsi(want, bytes) && want.find_first_of(L"%^") == std::wstring::npos;
    return !carried && EqualNoCase(LongPath(where + got), LongPath(where + want));
}

class BatchNames : public MacroFixture, public ::testing::WithParamInterface<Hostile> {};

} // namespace

TEST_P(BatchNames, ArriveExactlyOrNothingRuns) {
    const Hostile h = GetParam();
    const std::wstring folder = *h.folder ? pictures.MakeFolder(h.folder) + L"\\" : pictures.Path();
    WriteSolidBmp(folder + h.name, 16, 12, 200, 90, 160);
    WriteTextFile(folder + L"a", "decoy");
    WriteTextFile(folder + L"b.BMP", "decoy");
    pictures.MakeFolder(L"cafe");
    WriteTextFile(pictures / L"cafe\\P1.BMP", "decoy");
    WriteTextFile(program / L"P1.BMP", "decoy");
    const std::wstring recorder = program / L"REC.EXE";
    ASSERT_TRUE(::CopyFileW(
        (ModulePath(nullptr).substr(0, ModulePath(nullptr).rfind(L'\\')) + L"\\arg_recorder.exe")
            .c_str(),
        recorder.c_str(), FALSE));
    PutIni(L"Window", L"Img", L"3");
    Start({folder});
    ASSERT_EQ(st().FileList.size(), 2u);
    const int slot = Name(0) == h.name ? 0 : 1;
    ASSERT_EQ(Name(slot), h.name);
    core().SetMark(slot, true);
    WriteMacros({ToAnsi(recorder) + " $M $P", "DEL $M"});

    Open();
    Press(L'a');
    const auto records = Records(recorder + L".log");
    const std::wstring bare = folder.substr(0, folder.size() - 1);
    if (records.empty()) {
        ASSERT_EQ(dialogs.messages.size(), 1u) << "refused without a word";
        EXPECT_TRUE(dialogs.messages[0].caption == L"Names Left Out" ||
                    dialogs.messages[0].caption == L"Batch Not Run");
    } else {
        ASSERT_EQ(records.size(), 1u);
        ASSERT_EQ(records[0].size(), 3u);
        EXPECT_TRUE(EqualNoCase(LongPath(records[0][0]), LongPath(bare))) << records[0][0];
        EXPECT_TRUE(SameFile(records[0][1], h.name, folder)) << records[0][1];
        EXPECT_TRUE(SameFile(records[0][2], bare, L"")) << records[0][2];
    }

    form.reset();
    dialogs.messages.clear();
    core().SetMark(slot, true);
    Open();
    Press(L'b');
    EXPECT_EQ(FileExists(folder + h.name), !dialogs.messages.empty());
    for (const std::wstring& decoy :
         {folder + L"a", folder + L"b.BMP", pictures / L"cafe\\P1.BMP", program / L"P1.BMP"})
        EXPECT_TRUE(FileExists(decoy)) << ToAnsi(decoy);
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, BatchNames,
    ::testing::Values(Hostile{L"caf\u00e9", L"P1.BMP"}, Hostile{L"\ud55c", L"P1.BMP"},
                      Hostile{L"pics 100%", L"P1.BMP"}, Hostile{L"pr&x 100%", L"P1.BMP"},
                      Hostile{L"a^b (1)", L"P1.BMP"}, Hostile{L"\u5199\u771f", L"P1.BMP"},
                      Hostile{L"", L"a+b.BMP"}, Hostile{L"", L"a`b.BMP"}, Hostile{L"", L"x!y.BMP"},
                      Hostile{L"", L"(p).BMP"}, Hostile{L"", L"s;c,e=q.BMP"},
                      Hostile{L"", L"it's.BMP"}, Hostile{L"", L"two  blanks.BMP"},
                      Hostile{L"", L"-lead.BMP"}, Hostile{L"", L"%%.BMP"},
                      Hostile{L"", L"%PATH%.BMP"}, Hostile{L"", L"\u5199\u771f.BMP"},
                      Hostile{L"", L"\u8868\u30dd.BMP"}, Hostile{L"", L"A^B.BMP"},
                      Hostile{L"", L"my ^x.BMP"}, Hostile{L"", L"\u2603.BMP"},
                      Hostile{L"", L"caf\u00e9.BMP"}, Hostile{L"", L"&.BMP"}));
