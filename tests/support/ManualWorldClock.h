// The World's clock stepped by hand: Install() points every World's frame
// tick at it, from time 0; a test moves it on through Now() before a tick.
#pragma once
#include "core/World.h"

namespace tge::test {

class ManualWorldClock {
 public:
  static void Install() {
    Now() = 0;
    World::SetClock(&Read);
  }
  static double& Now() {
    static double now = 0;
    return now;
  }

 private:
  static double Read() { return Now(); }
};

}  // namespace tge::test
