// One task of an AI player: what to do (walk to an object, play an
// animation, turn, attack, ride), for how long and how many times. Tasks
// wait in ordered lists owned by the AI; the first task of a list is the one
// running. The target is held weakly: a task whose target is gone finishes.
#pragma once
#include <cstdint>
#include <list>
#include <string>

#include "core/ObjectRef.h"

namespace tge {

enum class AITaskType : std::uint32_t {
  kIdle = 1,
  kPerform = 2,
  kObject = 3,  // built by code with an object; no behaviour
  kUnused = 4,
  kMoveTo = 5,
  kAnimation = 6,
  kAttack = 7,
  kGetHit = 8,
  kDie = 9,
  kAlign = 10,
  kTurnAt = 11,
  kEnterTransport = 12,
  kRide = 13,
  kExitTransport = 14,
  kLookAt = 15,
};

struct AITask {
  AITaskType type = AITaskType::kIdle;
  ObjectRef<> target;
  // Whether the task was given a target: a targeted task whose target is
  // gone finishes.
  bool targeted = false;
  std::string name;
  // Runs left; -1 endless.
  std::int32_t loopCount = 1;
  // Seconds; 0 at start means the animation's length + 0.2; -1 infinite.
  float time = 0;
  float elapsed = 0;
  // MoveTo pace: 0.5 walk, 1.0 run, 0 (tasks the AI adds itself) walk.
  float speed = 0;
  // Tells a task from a later one: a step that calls out (a hit, an event)
  // finishes its task only while that task still runs.
  std::uint32_t serial = 0;
};

using AITaskList = std::list<AITask>;

}  // namespace tge
