// Writes a benchmark page into a scratch folder of the running program.
#pragma once
#include "page_pictures.h"
#include "support/test_folder.h"

namespace tovn::bench {

inline void WritePage(const test::TestFolder& folder, const std::vector<PictureFile>& page) {
    for (const PictureFile& f : page)
        test::WriteTextFile(folder / std::wstring(f.name.begin(), f.name.end()),
                            std::string(f.bytes.begin(), f.bytes.end()));
}

} // namespace tovn::bench
