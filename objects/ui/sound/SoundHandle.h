// A counted handle on a sound an object plays. A copy of the object starts
// silent, so copying the handle gives an empty one: a shared registered
// sound would otherwise be stopped by the copy's release while the original
// still plays it.
#pragma once
#include <string>

#include "services/resources/Resource.h"
#include "services/resources/ResourceRef.h"

namespace tge {

class SoundHandle {
 public:
  SoundHandle() = default;
  SoundHandle(const SoundHandle&) {}
  SoundHandle& operator=(const SoundHandle&) {
    ref_.Reset();
    return *this;
  }
  SoundHandle(SoundHandle&&) noexcept = default;
  SoundHandle& operator=(SoundHandle&&) noexcept = default;

  // Takes a reference on the registered sound of that name (exact case);
  // stays empty when there is none or no services object.
  void Acquire(const std::string& name);
  // Gives the reference back, which stops the sound.
  void Reset() { ref_.Reset(); }

  Resource* Get() const { return ref_.Get(); }
  explicit operator bool() const { return static_cast<bool>(ref_); }
  // The registered sound behind the handle: an instance's source, else the
  // sound itself.
  const Resource* Registered() const {
    const Resource* sound = ref_.Get();
    return sound != nullptr && sound->GetSource() != nullptr ? sound->GetSource() : sound;
  }

 private:
  ResourceRef ref_;
};

}  // namespace tge
