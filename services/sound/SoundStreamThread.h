// The streaming thread and the list of the streams it feeds. Every 100 ms the
// thread takes the list's lock and lets each stream queue what its voice has
// room for; a stream that does not loop and has played out is taken off the
// list and rewound in the same pass, under the same lock, so the main thread
// never finds it half-way. The list and its count are all the threads share:
// the main thread adds and removes streams, the thread serves them.
//
// The thread stops by a flag, is woken at once and joined; it holds the lock
// only inside a pass.
#pragma once
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace tge {

class SoundStream;

class SoundStreamThread {
 public:
  static constexpr std::chrono::milliseconds kInterval{100};

  // `limit`: how many streams may play at once.
  explicit SoundStreamThread(int limit) : limit_(limit) {}
  ~SoundStreamThread();
  SoundStreamThread(const SoundStreamThread&) = delete;
  SoundStreamThread& operator=(const SoundStreamThread&) = delete;

  void Start();
  // Returns once the thread has ended; the list is emptied.
  void Stop();
  bool IsRunning() const { return thread_.joinable(); }

  // Puts the stream at the head of the list; false, and nothing done, when
  // `checkLimit` is set and the list is full. A stream already in the list
  // stays there once.
  bool Add(SoundStream* stream, bool checkLimit);
  // Takes it off the list when it is there.
  void Remove(SoundStream* stream);
  bool Contains(const SoundStream* stream) const;
  int GetCount() const;
  int GetLimit() const { return limit_; }

  // One pass over the list, as the thread makes it every interval.
  void RunPass();

 private:
  void Run();

  const int limit_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::vector<SoundStream*> streams_;
  std::thread thread_;
};

}  // namespace tge
