// What each frame of the game took: its time on the wall clock, the
// processor time of the whole process (every thread, the software
// rasteriser's too), the time its threads stood ready to run while the
// machine gave the processors to others (summed as the processor time is),
// and the data files it opened. "-frametimes=FILE" asks for it; the table
// is written when the game ends, one line a frame. The processor and
// waiting times tell a frame that works hard from one that waited for a
// busy machine; a frame that opens files loads data while the player waits.
#pragma once
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace tge {

class FrameReport {
 public:
  struct Frame {
    double milliseconds = 0;
    double processorMilliseconds = 0;
    double waitingMilliseconds = 0;
    std::uint64_t fileOpens = 0;
  };

  void BeginFrame(std::uint64_t opensSoFar);
  void EndFrame(std::uint64_t opensSoFar);

  // False with the reason in error when the file cannot be written.
  bool Write(const std::string& path, std::string& error) const;

 private:
  std::vector<Frame> frames_;
  std::chrono::steady_clock::time_point start_;
  double processorStart_ = 0;
  double waitingStart_ = 0;
  std::uint64_t opensAtStart_ = 0;
};

}  // namespace tge
