#include "services/sound/SoundStreamThread.h"

#include <algorithm>

#include "services/sound/SoundStream.h"

namespace tge {

SoundStreamThread::~SoundStreamThread() { Stop(); }

void SoundStreamThread::Start() {
  if (IsRunning()) return;
  {
    std::lock_guard lock(mutex_);
    stopping_ = false;
  }
  thread_ = std::thread([this] { Run(); });
}

void SoundStreamThread::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    streams_.clear();
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void SoundStreamThread::Run() {
  std::unique_lock lock(mutex_);
  while (!wake_.wait_for(lock, kInterval, [this] { return stopping_; })) {
    lock.unlock();
    RunPass();
    lock.lock();
  }
}

bool SoundStreamThread::Add(SoundStream* stream, bool checkLimit) {
  std::lock_guard lock(mutex_);
  if (std::find(streams_.begin(), streams_.end(), stream) != streams_.end()) return true;
  if (checkLimit && static_cast<int>(streams_.size()) >= limit_) return false;
  streams_.insert(streams_.begin(), stream);
  return true;
}

void SoundStreamThread::Remove(SoundStream* stream) {
  std::lock_guard lock(mutex_);
  std::erase(streams_, stream);
}

bool SoundStreamThread::Contains(const SoundStream* stream) const {
  std::lock_guard lock(mutex_);
  return std::find(streams_.begin(), streams_.end(), stream) != streams_.end();
}

int SoundStreamThread::GetCount() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(streams_.size());
}

void SoundStreamThread::RunPass() {
  std::lock_guard lock(mutex_);
  for (auto it = streams_.begin(); it != streams_.end();) {
    SoundStream* stream = *it;
    if (stream->Feed()) {
      it = streams_.erase(it);
      stream->Rewind();
    } else {
      ++it;
    }
  }
}

}  // namespace tge
