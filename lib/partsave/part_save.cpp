#include "partsave/part_save.h"
#include "core/list_file.h"
#include <cstdlib>

namespace tovn {

namespace {

std::vector<std::string> SplitFields(const std::string& entry) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t comma = entry.find(',', start);
        fields.push_back(entry.substr(start, comma - start));
        if (comma == std::string::npos) return fields;
        start = comma + 1;
    }
}

bool Number(const std::string& text, long long& value) {
    if (text.empty() || text.size() > 19) return false;
    size_t i = text[0] == '-' || text[0] == '+' ? 1 : 0;
    if (i == text.size()) return false;
    for (size_t k = i; k < text.size(); ++k)
        if (text[k] < '0' || text[k] > '9') return false;
    value = std::strtoll(text.c_str(), nullptr, 10);
    return value >= INT32_MIN && value <= INT32_MAX;
}

std::wstring Rect(const EditSettings& s) {
    return std::to_wstring(s.StartX) + L"," + std::to_wstring(s.StartY) + L"," +
           std::to_wstring(s.EndX) + L"," + std::to_wstring(s.EndY);
}

} // namespace

std::vector<std::string> ParsePartSaveFile(const std::string& bytes) {
    return ReadListFile(bytes, kPartSaveEntries);
}

std::string PartSaveFileText(const std::vector<std::string>& lines) {
    return ListFileText(lines);
}

std::optional<PartEntry> ParsePartEntry(const std::string& entry, const EditSettings& current) {
    std::vector<std::string> fields = SplitFields(entry);
    if (fields.size() != 10 && fields.size() != 14) return std::nullopt;
    long long v[13] = {};
    for (size_t i = 1; i < fields.size(); ++i)
        if (!Number(fields[i], v[i - 1])) return std::nullopt;
    PartEntry e{fields[0], current};
    EditSettings& s = e.settings;
    s.StartX = int(v[0]), s.StartY = int(v[1]), s.EndX = int(v[2]), s.EndY = int(v[3]);
    s.Gyoukan = int(v[4]);
    s.Nuri = int32_t(v[5]), s.Ami = int32_t(v[6]), s.Mozi = int32_t(v[7]), s.Kage = int32_t(v[8]);
    // An entry without flags draws every layer.
    s.bNuri = v[9] != 0, s.bAmi = v[10] != 0, s.bMozi = v[11] != 0, s.bKage = v[12] != 0;
    // An entry is text anyone may edit: its rectangle and spacing must not reach the editor,
    // the snapping or the batch files out of range.
    ClampToRanges(s);
    return e;
}

std::string FormatPartEntry(const std::string& name, const EditSettings& s) {
    std::string text = name;
    for (long long v : {(long long)s.StartX, (long long)s.StartY, (long long)s.EndX,
                        (long long)s.EndY, (long long)s.Gyoukan, (long long)s.Nuri,
                        (long long)s.Ami, (long long)s.Mozi, (long long)s.Kage})
        text += "," + std::to_string(v);
    for (bool b : {s.bNuri, s.bAmi, s.bMozi, s.bKage}) text += b ? ",1" : ",0";
    return text;
}

void SnapToColumns(EditSettings& s) {
    s.StartX = SnapStartX(s.StartX);
    s.EndX = SnapEndX(s.EndX);
}

namespace {

// The tool's lines after the COPY of its picture into the backup folder.
std::optional<std::vector<std::wstring>> PssLines(const NameForms& backupDir,
                                                  std::vector<std::wstring> tool) {
    const auto folder = CmdWord(backupDir, LineKind::Plain, false);
    if (!folder) return std::nullopt;
    tool.insert(tool.begin(), L"COPY %1.MAG " + *folder);
    return tool;
}

} // namespace

std::optional<std::vector<std::wstring>> Pss01Lines(const NameForms& backupDir,
                                                    const EditSettings& s) {
    return PssLines(backupDir, {L"A:\\TOOL\\GRAPH\\TEAM %1",
                                L"A:\\TOOL\\GRAPH\\MAGDSAVE -b- -p=%1 -s" + Rect(s) + L" %1"});
}

std::optional<std::vector<std::wstring>> Pss10Lines(const NameForms& backupDir,
                                                    const EditSettings& s) {
    return PssLines(backupDir, {L"A:\\TOOL\\GRAPH\\TEAM21 %1",
                                L"A:\\TOOL\\GRAPH\\21MAGSV -s" + Rect(s) + L" %1"});
}

} // namespace tovn
