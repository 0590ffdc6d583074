#pragma once
#include "lzh/filesystem.h"

namespace lzh {

// Archive file operations through the ANSI Win32 API: names are code page 932 bytes.
class Win32FileSystem : public FileSystem {
public:
    char Separator() const override { return '\\'; }
    std::unique_ptr<Source> Open(const std::string& path) override;
    bool Stat(const std::string& path, FileInfo& info) override;
    std::unique_ptr<OutputFile> Create(const std::string& path) override;
    bool Replace(const std::string& from, const std::string& to) override;
    bool Remove(const std::string& path) override;
    bool MakeDirectories(const std::string& path) override;
    void SetTime(const std::string& path, int64_t mtime) override;
    bool SameFile(const std::string& a, const std::string& b) override;
    bool ListFolder(const std::string& path, std::vector<std::string>& names) override;
};

} // namespace lzh
