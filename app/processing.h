#pragma once
// The processing flow on the main thread: checks, prompts, the worker's start, its results.
#include <cstddef>
#include <string>

void StartProcessing();
// WM_APP_PROGRESS: rows up to `lastRow` are done; applies every outcome not applied yet.
void OnProgress(size_t lastRow);
// WM_APP_FINISHED, and after any box shown during a batch: once the worker has ended, applies
// the outcomes left and ends the batch; otherwise nothing.
void OnFinished();
// The Undo Last Batch command: asks, then puts the last batch's files back on the worker.
void StartUndo();
// The Stop Batch command (Esc while busy): asks, then lets the worker end after the file in hand.
void AskToStopBatch();
// Undo Last Batch has something to put back and nothing runs.
bool CanUndoLastBatch();
// The record of the last batch as the journal beside the exe keeps it (Undo after a restart).
void RestoreLastBatch();
// At start-up, before the window: a batch that never ended is finished or rolled back, as the
// user answers; the status bar text saying what was done (empty when there was none).
std::wstring RecoverInterruptedBatch();
// The window is going: its running batch (which can no longer report to it) and its last batch
// are let go.
void ForgetBatches();
