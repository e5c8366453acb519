// The process-wide clock: seconds elapsed since it was first read. The World's
// frame tick takes its frame time from it. Main thread only.
#pragma once

namespace tge {

void StartClock();
void ReadClock();
double GetElapsedSeconds();

}  // namespace tge
