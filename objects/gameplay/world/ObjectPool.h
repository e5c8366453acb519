// ObjectPool (class 32): ready-made copies of its children, so short-lived
// objects (hit effects, debris, sparks) appear without objects being made
// during play. The children are the templates; the first request clones
// each of them into an inactive run-time child "Pool", and every request
// takes a random free clone out of it, places and starts it. A clone that is
// deleted comes back (its return link leads here) stopped, inactive and
// without physics or updates.
//
// When the pool goes first, its clones in use are cut loose and are then
// destroyed like any object.
#pragma once
#include <cstdint>
#include <span>

#include "core/CommandTable.h"
#include "core/Object.h"
#include "core/ObjectRef.h"
#include "core/ScheduleLink.h"

namespace tge {

class ObjectPool : public Object {
 public:
  // Clones in all, whatever MaxSize asks for.
  static constexpr std::uint32_t kMaxClones = 1024;

  static std::span<const CommandEntry<ObjectPool>> Commands();
  static const CommandEntry<ObjectPool> kCommands[];

  ObjectPool();
  // The settings; the copy builds a pool of its own on its first request.
  ObjectPool(const ObjectPool& source);
  ~ObjectPool() override;

  int ExecuteCommand(std::uint32_t id, void* args) override;
  bool Serialize(SerializeStream& stream) override;
  // The pool and its subtree are neither updated, drawn nor precalculated
  // through the pool.
  void Update() override {}
  void Draw() override {}
  void Precalculate() override {}

  // A free clone under newParent, placed at placement when given and
  // started; null when there is none (or no parent to take it).
  Object* GetObject(Object* newParent, const Matrix4* placement, const Vector3* direction, float intensity);
  // The child holding the free clones; null until the first request.
  Object* GetStore() const { return store_.Get(); }
  bool IsFilled() const { return filled_ != 0; }

 private:
  void Fill();
  // The clone's copies of one template, made ready and returnable.
  void AddClones(const Object& source, Object& store, std::uint32_t count);
  void TakeBack(Object& clone);
  // A clone whose pool has no store left goes its own way.
  void Release(Object& clone);
  static void Place(Object& clone, Object& parent, const Matrix4& placement);

  std::uint32_t maxSize_ = 0;
  std::uint32_t growSize_ = 0;
  ObjectRef<Object> store_;
  ScheduleLink returnLink_;
  std::int32_t filled_ = 0;
  std::uint32_t reserved_ = 0;
};

void RegisterObjectPoolCommands();

}  // namespace tge
