#pragma once
namespace tovn {
int Index(int page, int cell, int cellsPerPage);
}
