#include "fileops/commands.h"

namespace tovn {

Result FilesKept() {
    return Result::Error(L"コピーを確かめられないため，元のファイルは削除しませんでした．",
                         L"Files Kept");
}

} // namespace tovn
