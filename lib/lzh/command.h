#pragma once
#include "lzh/filesystem.h"
#include "lzh/header.h"
#include <string>
#include <vector>

namespace lzh {

// Result codes of the archiver command entry (0 = success).
enum Result : int {
    kResultOk = 0,
    kErrMethod = 0x8009,
    kErrFileCrc = 0x800C,
    kErrFileOpen = 0x800D,
    kErrNotExist = 0x800F,
    kErrAlreadyExist = 0x8010,
    kErrMakeDirectory = 0x8012,
    kErrCannotWrite = 0x8013,
    kErrHuffmanCode = 0x8014,
    kErrHeaderCrc = 0x8016,
    kErrHeaderBroken = 0x8017,
    kErrArcFileOpen = 0x8018,
    kErrNotArcFile = 0x8019,
    kErrCannotRead = 0x801A,
    kErrCommandName = 0x801C,
    kErrNotSupport = 0x8023,
    kErrTmpOpen = 0x8025,
    kErrSameNameFile = 0x8028,
    kErrNotFindArcFile = 0x8029,
    kErrResponseRead = 0x802A,
    kErrNotFilename = 0x802B,
    kErrEof = 0x802D,
    kErrInvalidEndMark = 0x8043,
    kErrInvalidPath = 0x8049,
    kErrTooBig = 0x804A,
};

int ResultForStatus(Status status);

struct CommandLine {
    char command = 'l';
    bool overwrite = false;    // -y: answer yes to every question
    bool ignore_time = false;  // -c: replace members whatever their time stamps
    bool keep_paths = false;   // -x1: use stored directories / store relative paths
    bool store_only = false;   // -jm0
    bool recurse = false;      // -r: files inside named folders too
    bool has_new_name = false; // -gr<name> given
    std::string new_name;      // for the rename command
    std::string archive;
    std::string base_dir; // extraction folder or base folder of added files
    std::vector<std::string> names;
    std::vector<std::string> response_files; // @listfile: more names, one a line
};

// Splits an archiver command line: command letter, '-' switches anywhere (quoted or
// not), the archive, an optional folder ending in '\' (or ':' or '/'), then names.
bool ParseCommandLine(const std::string& text, CommandLine& out);

// Runs a command line against the file system: a, u, m, d, e, x, n, l, v, t.
// Archive updates go to a new file beside the archive, which replaces it only once the
// new file has been read back and every member CRC-checked; extracted files go to a new
// file beside the target, which replaces it only once complete. Everything streams.
int RunCommand(const std::string& text, FileSystem& fs, std::string& output);

// Extracts the first member that a command line ("[e] archive name") selects into a
// caller's buffer of `size` bytes. A member that does not fit is refused with kErrTooBig
// and nothing is written past the buffer.
int ExtractToBuffer(const std::string& text, FileSystem& fs, uint8_t* buffer, size_t size,
                    size_t& written, Member& member);

// Adds `size` bytes from memory to the archive a command line ("[a] archive name") names,
// under the name it gives, as the add command would add a file.
int AddFromMemory(const std::string& text, FileSystem& fs, const uint8_t* data, size_t size,
                  int64_t mtime, uint16_t attribute, std::string& output);

} // namespace lzh
