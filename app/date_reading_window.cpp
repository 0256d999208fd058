#include "app/date_reading_window.h"

#include "app/app_state.h"
#include "app/file_list.h"
#include "files/date_reading.h"

namespace {

DatesTaken g_dates;

}  // namespace

void PrepareDatesTaken()
{
    if (!UsesDateTaken(g_app.settings.rules)) {
        CancelDatesTaken();
        return;
    }
    ApplyCachedDates(g_dates, g_app.files);
    // During a batch the rows belong to it; the reading starts again after its rescan.
    if (!g_app.busy) StartDateReading(g_dates, g_app.files, g_app.mainWindow);
}

void CancelDatesTaken()
{
    CancelDateReading(g_dates);
}

void CarryDatesTaken()
{
    RememberDatesAtTargets(g_dates, g_app.files);
}

void OnDatesRead()
{
    const bool wasRunning = DateReadingRunning(g_dates);
    const bool changed = CollectDateResults(g_dates, g_app.files);
    if (g_app.busy || (!changed && wasRunning == DateReadingRunning(g_dates))) return;
    // Rows listed after the reading began (a filter change) get theirs now.
    if (!DateReadingRunning(g_dates)) PrepareDatesTaken();
    ReplanAfterReorder();
}

std::wstring DatesTakenStatusText()
{
    return DateReadingText(g_dates);
}
