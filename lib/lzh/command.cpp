#include "lzh/command.h"
#include "lzh/archive.h"
#include "lzh/paths.h"
#include "lzh/writer.h"
#include <cctype>
#include <cstdio>

namespace lzh {
namespace {

std::vector<std::string> Tokenize(const std::string& text) {
    std::vector<std::string> tokens;
    std::string current;
    bool quoted = false, any = false;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (!quoted && (c == ' ' || c == '\t' || c == '\r' || c == '\n')) {
            if (any) tokens.push_back(current);
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (any) tokens.push_back(current);
    return tokens;
}

bool IsOn(char value) {
    return value != '0' && value != '-';
}

void ParseSwitch(const std::string& token, CommandLine& out) {
    for (size_t i = 1; i < token.size();) {
        char c = static_cast<char>(std::tolower(static_cast<unsigned char>(token[i++])));
        char sub = 0;
        if ((c == 'g' || c == 'j') && i < token.size())
            sub = static_cast<char>(std::tolower(static_cast<unsigned char>(token[i++])));
        if (c == 'g' && sub == 'r') {
            out.new_name = token.substr(i);
            out.has_new_name = true;
            return;
        }
        if (c == 'g' && (sub == 'b' || sub == 'l' || sub == 'w')) return; // take the rest
        if (c == 'j' && (sub == 'x' || sub == 'w')) return;
        char value = '+';
        if (i < token.size() && std::string("+-0123456789").find(token[i]) != std::string::npos &&
            c != '+')
            value = token[i++];
        if (c == '+' && i < token.size() && std::isdigit(static_cast<unsigned char>(token[i]))) ++i;
        if (c == 'y') out.overwrite = IsOn(value);
        if (c == 'c') out.ignore_time = IsOn(value);
        if (c == 'x') out.keep_paths = value == '1' || value == '+';
        if (c == 'j' && sub == 'm') out.store_only = value == '0';
        if (c == 'j' && sub == 'y') out.overwrite = true;
    }
}

bool IsFolderToken(const std::string& token) {
    char last = token.back();
    return last == '\\' || last == '/' || last == ':';
}

// "%s.LZH" is assumed when the archive name has no extension.
std::string WithExtension(const std::string& name) {
    std::vector<std::string> parts = SplitPath(name);
    if (!parts.empty() && parts.back().find('.') == std::string::npos) return name + ".LZH";
    return name;
}

std::string Native(const std::string& relative, char separator) {
    std::string out = relative;
    for (char& c : out)
        if (c == '/') c = separator;
    return out;
}

std::string JoinFolder(const std::string& folder, const std::string& relative, char separator) {
    if (folder.empty()) return Native(relative, separator);
    char last = folder.back();
    bool ends = last == '\\' || last == '/' || last == ':';
    return folder + (ends ? "" : std::string(1, separator)) + Native(relative, separator);
}

bool IsFullPath(const std::string& name) {
    return name.size() > 1 && (name[1] == ':' || name[0] == '\\' || name[0] == '/');
}

// Where the last part of a path begins: after its last separator, never inside a two-byte
// character.
size_t NameStart(const std::string& path) {
    size_t start = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        if (IsSjisLead(static_cast<unsigned char>(path[i]))) {
            ++i;
        } else if (path[i] == '\\' || path[i] == '/' || path[i] == ':') {
            start = i + 1;
        }
    }
    return start;
}

std::string ParentOf(const std::string& path, char separator) {
    size_t cut = path.rfind(separator);
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

// Does the command-line name select this member? A name without a folder part is compared
// with the member's file name only.
bool Selects(const std::string& pattern, const Member& member) {
    std::string normalized = JoinPath(SplitPath(pattern), '/');
    if (normalized.find('/') == std::string::npos && WildcardMatch(normalized, member.Name()))
        return true;
    return WildcardMatch(normalized, member.path);
}

class NullSink : public Sink {
public:
    bool Write(const uint8_t*, size_t) override { return true; }
};

struct OpenArchive {
    std::unique_ptr<Source> source;
    Listing listing;
};

// Loads the archive for a command. `may_be_new` lets a missing archive count as empty.
int Load(FileSystem& fs, const std::string& path, bool may_be_new, OpenArchive& out) {
    FileInfo info;
    if (!fs.Stat(path, info)) return may_be_new ? kResultOk : kErrNotFindArcFile;
    out.source = fs.Open(path);
    if (!out.source) return kErrArcFileOpen;
    out.listing = ListArchive(*out.source);
    if (out.listing.members.empty() && out.listing.status != Status::kOk) return kErrNotArcFile;
    return ResultForStatus(out.listing.status);
}

// Reads the written file back: every member must be listed and decode to its CRC.
bool Verify(FileSystem& fs, const std::string& path, size_t expected_members) {
    std::unique_ptr<Source> source = fs.Open(path);
    if (!source) return false;
    Listing listing = ListArchive(*source);
    if (listing.status != Status::kOk || listing.members.size() != expected_members) return false;
    for (const Member& m : listing.members) {
        NullSink sink;
        if (DecodeMember(*source, m, sink) != Status::kOk) return false;
    }
    return true;
}

std::string TempNameBeside(FileSystem& fs, const std::string& archive) {
    FileInfo info;
    for (int i = 0;; ++i) {
        std::string name = archive + ".$" + std::to_string(i) + "$";
        if (!fs.Stat(name, info)) return name;
    }
}

// Writes the new archive beside the old one and swaps it in only when it reads back clean.
int Commit(FileSystem& fs, const std::string& archive, OpenArchive& old, ArchiveBuilder& builder,
           size_t expected_members) {
    old.source.reset(); // Windows cannot replace a file that is still open
    std::string temp = TempNameBeside(fs, archive);
    if (!fs.WriteFile(temp, builder.Finish())) {
        fs.Remove(temp);
        return kErrCannotWrite;
    }
    if (!Verify(fs, temp, expected_members)) {
        fs.Remove(temp);
        return kErrCannotWrite;
    }
    if (!fs.Replace(temp, archive)) {
        fs.Remove(temp);
        return kErrCannotWrite;
    }
    return kResultOk;
}

struct Runner {
    FileSystem& fs;
    CommandLine& cmd;
    std::string& output;

    void Say(const std::string& line) { output += line + "\r\n"; }

    int List() {
        OpenArchive arc;
        int rc = Load(fs, cmd.archive, false, arc);
        for (const Member& m : arc.listing.members) {
            char line[64];
            std::snprintf(line, sizeof line, "%12llu %12llu %s %04X  ",
                          static_cast<unsigned long long>(m.original_size),
                          static_cast<unsigned long long>(m.packed_size), m.method.c_str(), m.crc);
            Say(line + m.path);
        }
        return rc;
    }

    int Test() {
        OpenArchive arc;
        int rc = Load(fs, cmd.archive, false, arc);
        if (!arc.source) return rc;
        for (const Member& m : arc.listing.members) {
            NullSink sink;
            Status status = DecodeMember(*arc.source, m, sink);
            Say(std::string(status == Status::kOk ? "OK     " : "ERROR  ") + m.path);
            if (status != Status::kOk && rc == kResultOk) rc = ResultForStatus(status);
        }
        return rc;
    }

    bool Selected(const Member& m) const {
        if (cmd.names.empty()) return true;
        for (const std::string& name : cmd.names)
            if (Selects(name, m)) return true;
        return false;
    }

    int ExtractOne(Source& source, const Member& m) {
        std::string relative = SafeRelativePath(cmd.keep_paths ? m.path : m.Name());
        if (relative.empty()) return kErrInvalidPath;
        char sep = fs.Separator();
        std::string target = JoinFolder(cmd.base_dir, relative, sep);
        FileInfo existing;
        if (fs.Stat(target, existing) && (!cmd.overwrite || existing.is_directory))
            return kErrAlreadyExist;
        std::vector<uint8_t> data;
        Status status = ExtractToMemory(source, m, data);
        if (status != Status::kOk) return ResultForStatus(status);
        std::string parent = ParentOf(target, sep);
        if (!parent.empty() && !fs.MakeDirectories(parent)) return kErrMakeDirectory;
        if (!fs.WriteFile(target, data)) {
            fs.Remove(target);
            return kErrCannotWrite;
        }
        fs.SetTime(target, m.mtime);
        Say("Extracted  " + relative);
        return kResultOk;
    }

    int Extract() {
        OpenArchive arc;
        int rc = Load(fs, cmd.archive, false, arc);
        if (!arc.source) return rc;
        if (!cmd.base_dir.empty() && !fs.MakeDirectories(cmd.base_dir)) return kErrMakeDirectory;
        bool any = false;
        for (const Member& m : arc.listing.members) {
            if (m.IsDirectory() && cmd.keep_paths && Selected(m)) {
                std::string relative = SafeRelativePath(m.path);
                if (!relative.empty())
                    fs.MakeDirectories(JoinFolder(cmd.base_dir, relative, fs.Separator()));
            }
            if (m.IsDirectory() || !Selected(m)) continue;
            any = true;
            int one = ExtractOne(*arc.source, m);
            if (one != kResultOk && (rc == kResultOk || rc < one)) rc = one;
        }
        return any || rc != kResultOk ? rc : kErrNotExist;
    }

    int Delete() {
        if (cmd.names.empty()) return kErrNotFilename;
        OpenArchive arc;
        int rc = Load(fs, cmd.archive, false, arc);
        if (rc != kResultOk) return rc;
        ArchiveBuilder builder;
        size_t kept = 0;
        for (const Member& m : arc.listing.members) {
            if (Selected(m)) {
                Say("Deleted  " + m.path);
                continue;
            }
            if (!builder.AddCopy(*arc.source, m)) return kErrCannotRead;
            ++kept;
        }
        if (kept == arc.listing.members.size()) return kErrNotExist;
        return Commit(fs, cmd.archive, arc, builder, kept);
    }

    int Rename() {
        if (cmd.names.size() != 1 || !cmd.has_new_name || cmd.new_name.empty())
            return kErrNotFilename;
        OpenArchive arc;
        int rc = Load(fs, cmd.archive, false, arc);
        if (rc != kResultOk) return rc;
        const Member* target = nullptr;
        for (const Member& m : arc.listing.members)
            if (!target && Selects(cmd.names[0], m)) target = &m;
        if (!target) return kErrNotExist;
        std::string new_path = target->Dir() + JoinPath(SplitPath(cmd.new_name), '/');
        for (const Member& m : arc.listing.members)
            if (&m != target && SameName(m.path, new_path)) return kErrSameNameFile;
        ArchiveBuilder builder;
        for (const Member& m : arc.listing.members) {
            bool ok = &m == target ? builder.AddRenamed(*arc.source, m, new_path)
                                   : builder.AddCopy(*arc.source, m);
            if (!ok) return kErrTooBig;
        }
        Say("Renamed  " + target->path + " -> " + new_path);
        return Commit(fs, cmd.archive, arc, builder, arc.listing.members.size());
    }

    // The stored name of a file named on the command line.
    std::string StoredName(const std::string& file) const {
        std::string relative = file;
        if (!cmd.base_dir.empty() && file.compare(0, cmd.base_dir.size(), cmd.base_dir) == 0)
            relative = file.substr(cmd.base_dir.size());
        std::vector<std::string> parts = SplitPath(SafeRelativePath(relative));
        if (parts.empty()) return std::string();
        return cmd.keep_paths ? JoinPath(parts, '/') : parts.back();
    }

    // A file named on the command line and where it is read from.
    struct SourceName {
        std::string name, source;
    };

    // The files to add: a name whose last part holds '*' or '?' stands for the matching
    // files of its folder (none matching is a warning).
    std::vector<SourceName> Sources(int& warning) {
        std::vector<SourceName> out;
        for (const std::string& name : cmd.names) {
            std::string source =
                IsFullPath(name) ? name : JoinFolder(cmd.base_dir, name, fs.Separator());
            size_t cut = NameStart(source);
            std::string pattern = source.substr(cut);
            if (pattern.find_first_of("*?") == std::string::npos) {
                out.push_back({name, source});
                continue;
            }
            size_t before = out.size();
            std::string folder = source.substr(0, cut), prefix = name.substr(0, NameStart(name));
            for (const std::string& file : fs.ListFiles(folder))
                if (WildcardMatch(pattern, file)) out.push_back({prefix + file, folder + file});
            if (out.size() == before) warning = kErrNotExist;
        }
        return out;
    }

    struct Addition {
        std::string source, stored;
        FileInfo info;
        bool stored_ok = false;
    };

    int Add(bool move) {
        if (cmd.names.empty()) return kErrNotFilename;
        OpenArchive arc;
        int rc = Load(fs, cmd.archive, true, arc);
        if (rc != kResultOk) return rc;
        std::vector<Addition> additions;
        int warning = kResultOk;
        for (const SourceName& name : Sources(warning)) {
            Addition a{name.source, StoredName(name.name), {}, false};
            if (a.stored.empty() || !fs.Stat(a.source, a.info) || a.info.is_directory) {
                warning = kErrNotExist;
                continue;
            }
            for (Addition& earlier : additions)
                if (SameName(earlier.stored, a.stored)) earlier.stored.clear(); // last one wins
            additions.push_back(a);
        }
        ArchiveBuilder builder;
        size_t count = 0;
        for (const Member& m : arc.listing.members) {
            Addition* replacing = nullptr;
            for (Addition& a : additions)
                if (!a.stored.empty() && SameName(a.stored, m.path)) replacing = &a;
            if (replacing && !cmd.ignore_time && replacing->info.mtime < m.mtime) {
                replacing->stored.clear(); // the archive's copy is newer: keep it
                replacing = nullptr;
                warning = kErrAlreadyExist;
            }
            int one = replacing ? Pack(builder, *replacing)
                                : (builder.AddCopy(*arc.source, m) ? 0 : kErrCannotRead);
            if (one != kResultOk) return one;
            ++count;
        }
        for (Addition& a : additions) {
            if (a.stored.empty() || a.stored_ok) continue;
            int one = Pack(builder, a);
            if (one != kResultOk) return one;
            ++count;
        }
        rc = Commit(fs, cmd.archive, arc, builder, count);
        if (rc != kResultOk) return rc;
        for (const Addition& a : additions) {
            if (!a.stored_ok) continue;
            Say((move ? "Moved  " : "Added  ") + a.stored);
            if (move && !fs.Remove(a.source)) warning = kErrCannotWrite;
        }
        return warning;
    }

    int Pack(ArchiveBuilder& builder, Addition& a) {
        std::vector<uint8_t> data;
        if (!fs.ReadFile(a.source, data)) return kErrFileOpen;
        if (data.size() > 0xFFFFFFFFu) return kErrTooBig;
        if (!builder.AddFile(a.stored, data, a.info.mtime, a.info.attribute & 0x27,
                             !cmd.store_only))
            return kErrTooBig;
        a.stored_ok = true;
        return kResultOk;
    }
};

} // namespace

int ResultForStatus(Status status) {
    switch (status) {
    case Status::kOk:
    case Status::kEnd:
        return kResultOk;
    case Status::kTruncated:
        return kErrEof;
    case Status::kBadHeader:
        return kErrHeaderBroken;
    case Status::kBadHeaderChecksum:
        return kErrHeaderCrc;
    case Status::kUnsupportedMethod:
        return kErrMethod;
    case Status::kBadData:
        return kErrHuffmanCode;
    case Status::kBadCrc:
        return kErrFileCrc;
    case Status::kTooLarge:
        return kErrTooBig;
    }
    return kErrHeaderBroken;
}

bool ParseCommandLine(const std::string& text, CommandLine& out) {
    out = CommandLine();
    std::vector<std::string> tokens = Tokenize(text);
    size_t i = 0;
    if (!tokens.empty() && tokens[0].size() == 1 && tokens[0][0] != '-') {
        out.command = static_cast<char>(std::tolower(static_cast<unsigned char>(tokens[0][0])));
        i = 1;
    }
    bool have_archive = false;
    for (; i < tokens.size(); ++i) {
        const std::string& t = tokens[i];
        if (t.size() > 1 && t[0] == '-') {
            ParseSwitch(t, out);
        } else if (!have_archive) {
            out.archive = WithExtension(t);
            have_archive = true;
        } else if (out.names.empty() && out.base_dir.empty() && IsFolderToken(t)) {
            out.base_dir = t;
        } else if (t[0] != '@') {
            out.names.push_back(t);
        }
    }
    return have_archive && std::string("auemdxnlvt").find(out.command) != std::string::npos;
}

int RunCommand(const std::string& text, FileSystem& fs, std::string& output) {
    CommandLine cmd;
    if (!ParseCommandLine(text, cmd))
        return cmd.archive.empty() ? kErrNotFilename : kErrCommandName;
    Runner run{fs, cmd, output};
    switch (cmd.command) {
    case 'a':
    case 'u':
        return run.Add(false);
    case 'm':
        return run.Add(true);
    case 'd':
        return run.Delete();
    case 'e':
        return run.Extract();
    case 'x':
        cmd.keep_paths = true;
        return run.Extract();
    case 'n':
        return run.Rename();
    case 't':
        return run.Test();
    default:
        return run.List();
    }
}

} // namespace lzh
