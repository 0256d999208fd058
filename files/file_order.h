#pragma once
// Reading the input directory into the file list, and ordering it.

void ScanInputDirectory();
void ClearFileList();
void SortByColumn(int column);
void UpdateSortIndicators();
// After a reorder that is not a scan: plan again, reset both item counts, repaint, counts.
void ReplanAfterReorder();
