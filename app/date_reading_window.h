#pragma once
// The window's side of reading the dates photos were taken: the reading runs while a "taken"
// type is chosen, its results come back as WM_APP_DATES, and the status bar shows its progress.
#include <string>

// Before a plan: gives the rows the dates already read and starts reading the others when a
// "taken" type is chosen; stops the reading when none is.
void PrepareDatesTaken();
// A new scan, a new filter or Clear List: the running reading stops (what it read is kept).
void CancelDatesTaken();
// After a batch, before its rescan: the dates of the rows done are remembered under their new
// paths (a rename or move keeps a file's size and last-write time).
void CarryDatesTaken();
// WM_APP_DATES: the rows take the dates read so far and are planned again.
void OnDatesRead();
// "Reading dates: 12 / 340" while a reading runs; empty otherwise.
std::wstring DatesTakenStatusText();
