// Small object types the object-model tests share.
#pragma once
#include <string>
#include <vector>

#include "core/Object.h"

namespace tge::test {

// Records the commands it receives and, when given a log, its destruction.
class Recorder : public Object {
 public:
  explicit Recorder(int classId = 0, std::vector<std::string>* destroyed = nullptr)
      : Object(classId), destroyed_(destroyed) {}
  ~Recorder() override {
    if (destroyed_) destroyed_->push_back(GetName());
  }

  int ExecuteCommand(std::uint32_t id, void* args) override {
    received.push_back({id, args});
    return Object::ExecuteCommand(id, args);
  }

  struct Call {
    std::uint32_t id;
    void* args;
  };
  std::vector<Call> received;

 private:
  std::vector<std::string>* destroyed_;
};

inline std::unique_ptr<Object> Named(const std::string& name, int classId = 0,
                                     std::vector<std::string>* destroyed = nullptr) {
  auto object = std::make_unique<Recorder>(classId, destroyed);
  object->SetName(name);
  return object;
}

}  // namespace tge::test
