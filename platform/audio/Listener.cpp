#include "platform/audio/Listener.h"

#include <cmath>

#include "platform/audio/AudioContext.h"

namespace tge::audio {
namespace {

bool IsZero(const Vec3& v) { return v.x == 0 && v.y == 0 && v.z == 0; }

}  // namespace

template <typename Change>
void Listener::Defer(Change change) {
  if (!context_) return;
  auto lock = context_->Lock();
  change(context_->PendingListener());
}

void Listener::SetPosition(const Vec3& position) {
  if (IsFinite(position)) Defer([&](ListenerSettings& s) { s.position = position; });
}

void Listener::SetVelocity(const Vec3& velocity) {
  if (IsFinite(velocity)) Defer([&](ListenerSettings& s) { s.velocity = velocity; });
}

void Listener::SetOrientation(const Vec3& front, const Vec3& top) {
  if (!IsFinite(front) || !IsFinite(top) || IsZero(front) || IsZero(top)) return;
  Defer([&](ListenerSettings& s) {
    s.front = front;
    s.top = top;
  });
}

void Listener::SetDistanceFactor(float metresPerUnit) {
  if (std::isfinite(metresPerUnit) && metresPerUnit > 0)
    Defer([&](ListenerSettings& s) { s.distanceFactor = metresPerUnit; });
}

void Listener::SetRolloffFactor(float factor) {
  if (std::isfinite(factor) && factor >= 0)
    Defer([&](ListenerSettings& s) { s.rolloffFactor = factor; });
}

void Listener::SetDopplerFactor(float factor) {
  if (std::isfinite(factor) && factor >= 0)
    Defer([&](ListenerSettings& s) { s.dopplerFactor = factor; });
}

}  // namespace tge::audio
