// The joint-kind check every joint operation makes before it reaches the
// library, which aborts on a joint of the wrong kind. Used only inside the
// physics wrapper.
#pragma once
#include <ode/ode.h>

namespace tge::physics {

// Not null and of that kind; a mismatch is reported as a physics error.
bool IsJointOfKind(const char* operation, dJointID joint, dJointType kind);

}  // namespace tge::physics
