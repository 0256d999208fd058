// Placeholder bodies until the directory scan lands.
#include "files/file_order.h"

void ScanInputDirectory() {}
void ClearFileList() {}
void SortByColumn(int) {}
void UpdateSortIndicators() {}
void ReplanAfterReorder() {}
