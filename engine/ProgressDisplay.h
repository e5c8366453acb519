// What a resource load shows its progress on: a bar whose width grows from
// 8 towards the width it had, redrawn as a whole frame after every tenth
// resource. The UI's progress bar widget provides it.
#pragma once

namespace tge {

class ProgressDisplay {
 public:
  virtual ~ProgressDisplay() = default;
  virtual float GetWidth() const = 0;
  virtual void SetWidth(float width) = 0;
  virtual void SetActive(bool active) = 0;
  virtual void Redraw() = 0;
};

}  // namespace tge
