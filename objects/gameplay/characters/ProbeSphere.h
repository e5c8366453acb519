// A sphere geometry outside any collision space that a character probes
// its surroundings with (an AI's senses, a player's reach to use things):
// made on first use, destroyed with its holder. A copy starts without one.
#pragma once

namespace tge {

struct PhysicsGeom;

class ProbeSphere {
 public:
  ProbeSphere() = default;
  ProbeSphere(const ProbeSphere&) {}
  ProbeSphere& operator=(const ProbeSphere&) = delete;
  ~ProbeSphere();

  // The geometry, made with radius on the first call; null when the
  // library refused it.
  PhysicsGeom* Make(float radius);
  PhysicsGeom* Get() const { return geometry_; }
  bool Exists() const { return geometry_ != nullptr; }

 private:
  PhysicsGeom* geometry_ = nullptr;
};

}  // namespace tge
