#include "app/FrameReport.h"

#include <ctime>
#include <fstream>

namespace tge {
namespace {

double ProcessorMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return double(now.tv_sec) * 1e3 + double(now.tv_nsec) * 1e-6;
}

}  // namespace

void FrameReport::BeginFrame(std::uint64_t opensSoFar) {
  start_ = std::chrono::steady_clock::now();
  processorStart_ = ProcessorMilliseconds();
  opensAtStart_ = opensSoFar;
}

void FrameReport::EndFrame(std::uint64_t opensSoFar) {
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start_;
  frames_.push_back({took.count(), ProcessorMilliseconds() - processorStart_, opensSoFar - opensAtStart_});
}

bool FrameReport::Write(const std::string& path, std::string& error) const {
  std::ofstream out(path);
  out << "frame milliseconds processor_milliseconds file_opens\n";
  for (std::size_t i = 0; i < frames_.size(); ++i) {
    const Frame& frame = frames_[i];
    out << i + 1 << ' ' << frame.milliseconds << ' ' << frame.processorMilliseconds << ' ' << frame.fileOpens << '\n';
  }
  out.flush();
  if (!out) error = "cannot write " + path;
  return static_cast<bool>(out);
}

}  // namespace tge
