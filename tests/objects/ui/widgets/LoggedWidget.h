// Test widgets that log the events they raise and the codes that reach them.
#pragma once
#include <string>
#include <vector>

#include "objects/ui/widgets/Window.h"

namespace tge::test {

// "name:event" for an event, "name:nav code" and "name:in code" for the
// codes handed to a widget (not to a top-level window, which routes them).
using EventLog = std::vector<std::string>;

template <class Base>
class Logged : public Base {
 public:
  explicit Logged(EventLog& log) : log_(log) {}
  int FireEvent(int eventId, Object* sender) override {
    log_.push_back(this->GetName() + ":" + std::to_string(eventId));
    return Base::FireEvent(eventId, sender);
  }
  void OnNavigate(const Vector3& pointer, int code) override {
    if (!this->IsTopLevel()) log_.push_back(this->GetName() + ":nav " + std::to_string(code));
    Base::OnNavigate(pointer, code);
  }
  void OnInput(const Vector3& pointer, int code) override {
    if (!this->IsTopLevel()) log_.push_back(this->GetName() + ":in " + std::to_string(code));
    Base::OnInput(pointer, code);
  }

 private:
  EventLog& log_;
};

}  // namespace tge::test
