// Placeholder bodies until the processing worker lands.
#include "files/worker.h"

void StartProcessing() {}
void OnProgress(ProgressRecord* record) { delete record; }
void OnFinished() {}
