// Masses of bodies from their collision shapes.
//
// A shape mass is computed for spheres, boxes and capped cylinders only;
// for any other geometry, and for a mass the library would refuse (zero,
// negative or not finite total, a degenerate inertia), the body keeps the
// mass it has and a physics error is reported.
#pragma once
#include <ode/ode.h>

#include "core/math/Vector.h"

namespace tge {

// byDensity non-zero: value x 0.1 is a density; zero: value is the total mass.
void SetBodyMassFromGeom(dBodyID body, dGeomID geometry, float value, int byDensity);
// The same shape mass added to the body's mass (centres weighted, inertias summed).
void AddBodyMassFromGeom(dBodyID body, dGeomID geometry, float value, int byDensity);
// 0 for a null body.
float GetBodyMass(dBodyID body);
// Sets the diagonal of the body's inertia tensor; a null body does nothing.
void SetBodyInertia(dBodyID body, const Vector3& diagonal);

}  // namespace tge
