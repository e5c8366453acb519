// The four viewport slots, each holding the camera that decides what its
// viewport shows, or null. The last camera activated for a slot holds it
// until another takes it or it goes (the slots hold weak references).
//
// The camera type lives with the scene objects, above the object model; the
// World's post pass and the frame step's sound update reach a slot's camera
// through ViewCamera, the two operations they need of it.
#pragma once
#include <array>

#include "core/Object.h"
#include "core/ObjectRef.h"

namespace tge {

inline constexpr int kViewportCount = 4;

// Where a camera sees from: its eye, and the unit directions ahead of and
// above its view.
struct ViewFrame {
  Vector3 eye;
  Vector3 forward;
  Vector3 up;
};

class ViewCamera : public Object {
 public:
  // Hands the camera's view and projection to the render services.
  virtual void ApplyView() = 0;
  // The frame of the view ApplyView hands over.
  virtual ViewFrame GetViewFrame() = 0;

 protected:
  using Object::Object;
};

class ActiveCameraTable {
 public:
  // Null for an empty slot and for a slot outside 0 to 3.
  ViewCamera* Get(int slot) const;
  // Ignored for a slot outside 0 to 3.
  void Set(int slot, ViewCamera* camera);
  void Clear();

 private:
  std::array<ObjectRef<ViewCamera>, kViewportCount> slots_;
};

// The program's table, empty at start.
ActiveCameraTable& GetActiveCameraTable();

}  // namespace tge
