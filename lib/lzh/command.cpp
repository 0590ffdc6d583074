#include "lzh/command.h"
#include "lzh/archive.h"
#include "lzh/paths.h"
#include "lzh/writer.h"
#include <algorithm>
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
        if (c == 'r') out.recurse = IsOn(value);
        if (c == 'c') out.ignore_time = IsOn(value);
        if (c == 'x') out.keep_paths = value == '1' || value == '+';
        if (c == 'j' && sub == 'm') out.store_only = value == '0';
        if (c == 'j' && sub == 'y') out.overwrite = true;
    }
}

bool IsFolderToken(const std::string& token) {
    return EndsWithSeparator(token) || (token.size() == 2 && token[1] == ':');
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
    bool ends = EndsWithSeparator(folder) || folder.back() == ':';
    return folder + (ends ? "" : std::string(1, separator)) + Native(relative, separator);
}

// Where the last part of a path begins: after its last separator, never inside a two-byte
// character.
size_t NameStart(const std::string& path) {
    size_t start = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        if (IsSjisLead(static_cast<unsigned char>(path[i])))
            ++i;
        else if (path[i] == '\\' || path[i] == '/' || path[i] == ':')
            start = i + 1;
    }
    return start;
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

// Loads an archive that is about to be rebuilt from its listing: bytes the listing does
// not account for would be lost, so such an archive is left alone.
int LoadForUpdate(FileSystem& fs, const std::string& path, bool may_be_new, OpenArchive& out) {
    int rc = Load(fs, path, may_be_new, out);
    if (rc == kResultOk && out.source && out.listing.trailing_bytes) return kErrInvalidEndMark;
    return rc;
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

// A file written beside its final name and moved over it only when complete; removed
// if that never happens.
class FileBeside {
public:
    FileBeside(FileSystem& fs, const std::string& target)
        : fs_(fs), target_(target), temp_(TempNameBeside(fs, target)), out_(fs.Create(temp_)) {}
    ~FileBeside() {
        if (!done_) {
            out_.reset();
            fs_.Remove(temp_);
        }
    }
    FileBeside(const FileBeside&) = delete;
    FileBeside& operator=(const FileBeside&) = delete;

    OutputFile* out() { return out_.get(); }
    FileSystem& fs() { return fs_; }
    const std::string& temp() const { return temp_; }
    bool Close() { return out_ && out_->Close(); }
    bool Replace() {
        out_.reset();
        done_ = fs_.Replace(temp_, target_);
        return done_;
    }

private:
    FileSystem& fs_;
    std::string target_, temp_;
    std::unique_ptr<OutputFile> out_;
    bool done_ = false;
};

// Finishes the new archive and swaps it in only when it reads back clean.
int Commit(FileBeside& file, OpenArchive& old, ArchiveBuilder& builder, size_t expected_members) {
    if (!builder.Close() || !file.Close()) return kErrCannotWrite;
    if (!Verify(file.fs(), file.temp(), expected_members)) return kErrCannotWrite;
    old.source.reset(); // Windows cannot replace a file that is still open
    return file.Replace() ? kResultOk : kErrCannotWrite;
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
        std::string target = JoinFolder(cmd.base_dir, relative, fs.Separator());
        FileInfo existing;
        if (fs.Stat(target, existing) && (!cmd.overwrite || existing.is_directory))
            return kErrAlreadyExist;
        std::string parent = ParentPath(target);
        if (!parent.empty() && !fs.MakeDirectories(parent)) return kErrMakeDirectory;
        // The old file stays until the new one is complete.
        FileBeside file(fs, target);
        if (!file.out()) return kErrCannotWrite;
        Status status = ExtractMember(source, m, *file.out());
        bool written = file.Close();
        if (!written) return kErrCannotWrite;
        if (status != Status::kOk) return ResultForStatus(status);
        if (!file.Replace()) return kErrCannotWrite;
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
        int rc = LoadForUpdate(fs, cmd.archive, false, arc);
        if (rc != kResultOk) return rc;
        size_t kept = 0;
        for (const Member& m : arc.listing.members) kept += Selected(m) ? 0 : 1;
        if (kept == arc.listing.members.size()) return kErrNotExist;
        FileBeside file(fs, cmd.archive);
        if (!file.out()) return kErrTmpOpen;
        ArchiveBuilder builder(*file.out());
        for (const Member& m : arc.listing.members) {
            if (Selected(m)) {
                Say("Deleted  " + m.path);
            } else if (!builder.AddCopy(*arc.source, m)) {
                return kErrCannotWrite;
            }
        }
        return Commit(file, arc, builder, kept);
    }

    int Rename() {
        if (cmd.names.size() != 1 || !cmd.has_new_name || cmd.new_name.empty())
            return kErrNotFilename;
        OpenArchive arc;
        int rc = LoadForUpdate(fs, cmd.archive, false, arc);
        if (rc != kResultOk) return rc;
        const Member* target = nullptr;
        for (const Member& m : arc.listing.members)
            if (!target && Selects(cmd.names[0], m)) target = &m;
        if (!target) return kErrNotExist;
        std::string new_path = target->Dir() + JoinPath(SplitPath(cmd.new_name), '/');
        for (const Member& m : arc.listing.members)
            if (&m != target && SameName(m.path, new_path)) return kErrSameNameFile;
        FileBeside file(fs, cmd.archive);
        if (!file.out()) return kErrTmpOpen;
        ArchiveBuilder builder(*file.out());
        for (const Member& m : arc.listing.members) {
            bool ok = &m == target ? builder.AddRenamed(*arc.source, m, new_path)
                                   : builder.AddCopy(*arc.source, m);
            if (!ok) return kErrCannotWrite;
        }
        Say("Renamed  " + target->path + " -> " + new_path);
        return Commit(file, arc, builder, arc.listing.members.size());
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

    struct Addition {
        std::string source, stored;
        FileInfo info;
        bool stored_ok = false;
        Source* memory = nullptr; // contents handed over in memory instead of a file
    };

    // A name whose last part holds '*' or '?' stands for the matching plain files of its
    // folder; any other name for itself.
    void CollectMatches(const std::string& name, const std::string& source,
                        std::vector<Addition>& out) {
        size_t cut = NameStart(source);
        std::string pattern = source.substr(cut);
        if (pattern.find_first_of("*?") == std::string::npos) {
            Collect(source, StoredName(name), out);
            return;
        }
        std::string folder = source.substr(0, cut), prefix = name.substr(0, NameStart(name));
        std::vector<std::string> entries;
        if (!fs.ListFolder(folder.empty() ? std::string(".") : folder, entries)) return;
        for (const std::string& file : entries) {
            FileInfo info;
            if (!WildcardMatch(pattern, file) || !fs.Stat(folder + file, info) || info.is_directory)
                continue;
            Collect(folder + file, StoredName(prefix + file), out);
        }
    }

    // The files a command-line name stands for: the file itself, or with -r every file
    // inside the named folder.
    void Collect(const std::string& path, const std::string& stored, std::vector<Addition>& out,
                 int depth = 0) {
        Addition a{path, stored, {}, false};
        if (stored.empty() || !fs.Stat(path, a.info)) return;
        if (!a.info.is_directory) {
            out.push_back(a);
            return;
        }
        std::vector<std::string> names;
        if (!cmd.recurse || depth > 64 || !fs.ListFolder(path, names)) return;
        for (const std::string& name : names) {
            std::string inner = cmd.keep_paths ? stored + "/" + name : name;
            Collect(JoinFolder(path, name, fs.Separator()), inner, out, depth + 1);
        }
    }

    int Add(bool move) {
        if (cmd.names.empty()) return kErrNotFilename;
        std::vector<Addition> additions;
        int warning = kResultOk;
        for (const std::string& name : cmd.names) {
            std::string source = JoinFolder(cmd.base_dir, name, fs.Separator());
            if (name.size() > 1 && (name[1] == ':' || name[0] == '\\' || name[0] == '/'))
                source = name; // already a full path
            size_t before = additions.size();
            CollectMatches(name, source, additions);
            if (additions.size() == before) warning = kErrNotExist;
        }
        int rc = Store(additions, move);
        return rc != kResultOk ? rc : warning;
    }

    // Rebuilds the archive with `additions` in it (replacing members of the same name).
    int Store(std::vector<Addition>& additions, bool move) {
        OpenArchive arc;
        int rc = LoadForUpdate(fs, cmd.archive, true, arc);
        if (rc != kResultOk) return rc;
        int warning = kResultOk;
        std::vector<Addition> kept;
        for (Addition& a : additions) {
            // The archive never goes into itself, whatever spelling names it.
            if (!a.memory && fs.SameFile(a.source, cmd.archive)) {
                warning = kErrSameNameFile;
                continue;
            }
            for (Addition& earlier : kept)
                if (SameName(earlier.stored, a.stored)) earlier.stored.clear(); // last one wins
            kept.push_back(a);
        }
        additions.swap(kept);
        if (additions.empty()) return warning;

        FileBeside file(fs, cmd.archive);
        if (!file.out()) return kErrTmpOpen;
        ArchiveBuilder builder(*file.out());
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
                                : (builder.AddCopy(*arc.source, m) ? 0 : kErrCannotWrite);
            if (one != kResultOk) return one;
            ++count;
        }
        for (Addition& a : additions) {
            if (a.stored.empty() || a.stored_ok) continue;
            int one = Pack(builder, a);
            if (one != kResultOk) return one;
            ++count;
        }
        rc = Commit(file, arc, builder, count);
        if (rc != kResultOk) return rc;
        for (const Addition& a : additions) {
            if (!a.stored_ok) continue;
            Say((move ? "Moved  " : "Added  ") + a.stored);
            if (move && !a.memory && !fs.Remove(a.source)) warning = kErrCannotWrite;
        }
        return warning;
    }

    int Pack(ArchiveBuilder& builder, Addition& a) {
        std::unique_ptr<Source> file = a.memory ? nullptr : fs.Open(a.source);
        Source* data = a.memory ? a.memory : file.get();
        if (!data) return kErrFileOpen;
        if (!builder.AddFile(a.stored, *data, a.info.mtime, a.info.attribute & 0x27,
                             !cmd.store_only))
            return kErrCannotWrite;
        a.stored_ok = true;
        return kResultOk;
    }
};

// Appends the names listed in the response files, one a line (quotes allowed).
int ReadResponseFiles(FileSystem& fs, CommandLine& cmd) {
    for (const std::string& list : cmd.response_files) {
        std::unique_ptr<Source> source = fs.Open(list);
        if (!source || source->Size() > (1 << 24)) return kErrResponseRead;
        std::string text(static_cast<size_t>(source->Size()), '\0');
        if (source->Read(0, reinterpret_cast<uint8_t*>(&text[0]), text.size()) != text.size())
            return kErrResponseRead;
        size_t from = 0;
        while (from < text.size()) {
            size_t to = text.find('\n', from);
            if (to == std::string::npos) to = text.size();
            std::string line = text.substr(from, to - from);
            from = to + 1;
            while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
            line.erase(std::remove(line.begin(), line.end(), '"'), line.end());
            if (!line.empty()) cmd.names.push_back(line);
        }
    }
    return kResultOk;
}

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
        } else if (t[0] == '@' && t.size() > 1) {
            out.response_files.push_back(t.substr(1));
        } else {
            out.names.push_back(t);
        }
    }
    return have_archive && std::string("auemdxnlvt").find(out.command) != std::string::npos;
}

int RunCommand(const std::string& text, FileSystem& fs, std::string& output) {
    CommandLine cmd;
    if (!ParseCommandLine(text, cmd)) {
        if (cmd.archive.empty()) return kErrNotFilename;
        // Commands of the interface that this archiver does not offer.
        return std::string("fpsjyc").find(cmd.command) != std::string::npos ? kErrNotSupport
                                                                            : kErrCommandName;
    }
    int rc = ReadResponseFiles(fs, cmd);
    if (rc != kResultOk) return rc;
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

int ExtractToBuffer(const std::string& text, FileSystem& fs, uint8_t* buffer, size_t size,
                    size_t& written, Member& member) {
    written = 0;
    CommandLine cmd;
    if (!ParseCommandLine(text, cmd) || cmd.names.empty()) return kErrNotFilename;
    std::string output;
    Runner run{fs, cmd, output};
    OpenArchive arc;
    int rc = Load(fs, cmd.archive, false, arc);
    if (!arc.source) return rc;
    for (const Member& m : arc.listing.members) {
        if (m.IsDirectory() || !run.Selected(m)) continue;
        member = m;
        if (m.original_size > size) return kErrTooBig;
        return ResultForStatus(ExtractToBlock(*arc.source, m, buffer, size, written));
    }
    return rc != kResultOk ? rc : kErrNotExist;
}

int AddFromMemory(const std::string& text, FileSystem& fs, const uint8_t* data, size_t size,
                  int64_t mtime, uint16_t attribute, std::string& output) {
    CommandLine cmd;
    if (!ParseCommandLine(text, cmd) || cmd.names.size() != 1) return kErrNotFilename;
    Runner run{fs, cmd, output};
    MemorySource source(data, size);
    Runner::Addition a{cmd.names[0], run.StoredName(cmd.names[0]), {}, false, &source};
    if (a.stored.empty()) return kErrInvalidPath;
    a.info.mtime = mtime;
    a.info.attribute = attribute;
    std::vector<Runner::Addition> additions{a};
    return run.Store(additions, false);
}

} // namespace lzh
