// The chooser's rules that need no window: what each purpose word asks of it, the texts
// of its count list, the file mask test and the shape of the folder it answers.
#pragma once
#include <string>
#include <vector>

namespace tovn {

enum class ChooserPurpose { Lha, Pack, Dire, Copy, Move, Kazu };

struct PurposeRules {
    ChooserPurpose purpose;
    const wchar_t* caption;
    bool archiveMask;    // "*.LZH" instead of the picture mask
    bool startInCopyDir; // CopyDir instead of CurrentDir
    bool filesEnabled;   // the file list can be selected
    bool countEnabled;
    bool foldersEnabled; // the drive and folder lists
};

// The rules of a purpose word; an unknown word is taken as a folder change ("Dire").
const PurposeRules& RulesFor(const std::wstring& word);

// "　１　×　１" … "３０　×　３０": the count n in full-width digits, the first one padded
// to two places.
std::wstring CountText(int n);

// Whether name matches one of the ";"-separated patterns of mask ("*" and "?" wildcards,
// letters compared without case).
bool MatchesMask(const std::wstring& name, const std::wstring& mask);

// A folder as the chooser answers it: without a trailing "\" except for a drive root "X:\".
std::wstring FolderAnswer(const std::wstring& folder);

// The folders from the root down to folder itself: "C:\A\B" gives "C:\", "C:\A", "C:\A\B".
std::vector<std::wstring> PathLevels(const std::wstring& folder);

// The name part after the last "\" or ":".
std::wstring FileNamePart(const std::wstring& path);

// folder and name joined by exactly one "\".
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);

} // namespace tovn
