#pragma once
#include "lzh/filesystem.h"

namespace lzh {

// Archive file operations through the ANSI Win32 API: names are code page 932 bytes.
class Win32FileSystem : public FileSystem {
public:
    char Separator() const override { return '\\'; }
    std::unique_ptr<Source> Open(const std::string& path) override;
    bool ReadFile(const std::string& path, std::vector<uint8_t>& data) override;
    bool Stat(const std::string& path, FileInfo& info) override;
    bool WriteFile(const std::string& path, const std::vector<uint8_t>& data) override;
    bool Replace(const std::string& from, const std::string& to) override;
    bool Remove(const std::string& path) override;
    bool MakeDirectories(const std::string& path) override;
    void SetTime(const std::string& path, int64_t mtime) override;
    std::vector<std::string> ListFiles(const std::string& folder) override;
};

} // namespace lzh
