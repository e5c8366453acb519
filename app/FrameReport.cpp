#include "app/FrameReport.h"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>

namespace tge {
namespace {

double ProcessorMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return double(now.tv_sec) * 1e3 + double(now.tv_nsec) * 1e-6;
}

// The time every thread of the process has stood ready to run without a
// processor, from the kernel's scheduler statistics; 0 where the system
// keeps none.
double WaitingMilliseconds() {
  double total = 0;
  std::error_code error;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error)) {
    std::ifstream in(task.path() / "schedstat");
    double running = 0;
    double waiting = 0;
    if (in >> running >> waiting) total += waiting * 1e-6;
  }
  return total;
}

}  // namespace

void FrameReport::BeginFrame(std::uint64_t opensSoFar) {
  start_ = std::chrono::steady_clock::now();
  processorStart_ = ProcessorMilliseconds();
  waitingStart_ = WaitingMilliseconds();
  opensAtStart_ = opensSoFar;
}

void FrameReport::EndFrame(std::uint64_t opensSoFar) {
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start_;
  // A thread that ended during the frame takes its waiting time with it.
  const double waited = std::max(WaitingMilliseconds() - waitingStart_, 0.0);
  frames_.push_back({took.count(), ProcessorMilliseconds() - processorStart_, waited, opensSoFar - opensAtStart_});
}

bool FrameReport::Write(const std::string& path, std::string& error) const {
  std::ofstream out(path);
  out << "frame milliseconds processor_milliseconds waiting_milliseconds file_opens\n";
  for (std::size_t i = 0; i < frames_.size(); ++i) {
    const Frame& frame = frames_[i];
    out << i + 1 << ' ' << frame.milliseconds << ' ' << frame.processorMilliseconds << ' '
        << frame.waitingMilliseconds << ' ' << frame.fileOpens << '\n';
  }
  out.flush();
  if (!out) error = "cannot write " + path;
  return static_cast<bool>(out);
}

}  // namespace tge
