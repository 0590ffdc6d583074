#include "core/slots.h"
namespace tovn {
int Index(int page, int cell, int cellsPerPage) {
    int i = (page - 1) * cellsPerPage + cell - 1;
    return i < 0 ? -1 : i;
}
} // namespace tovn
