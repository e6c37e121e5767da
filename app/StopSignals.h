#pragma once

// Ctrl-C, SIGTERM and SIGHUP end an interactive run the way Q does. The
// handlers only set a flag, which every wait of the run reads at its next
// poll, so the run stays single-threaded and ends through its normal path:
// results logged, board released. A signal the caller inherited as ignored
// (nohup, a background job) stays ignored.
void catchStopSignals();
bool stopSignalReceived();
// For a process that runs more than one manager (the unit tests).
void forgetStopSignal();
