// A measurement of the program's start for the benchmarks, which start the program as a user
// would and cannot look into it otherwise. With QUARRYLOG_START_PROBE set in the environment,
// the program writes "window" to standard output as soon as its window has painted after the
// report was shown, then turns to the found URL list as a user clicking its tab would and
// writes "list" once the list has painted its rows, and ends at once (no settings are written).
#pragma once

class TFmain;

// Whether the environment asks for the measurement.
bool StartProbeWanted();
// Watches the window's first paintings as described above.
void WatchStart(TFmain* window);
