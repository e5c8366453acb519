// The collision shape a GeometryRecord describes: a sphere (radius =
// dimension x), a box (dimension), a capped cylinder (radius x, length y)
// or, for any other shape code, a plane through the record's position with
// the dimension as its normal.
#pragma once
#include <ode/ode.h>

namespace tge {

struct GeometryRecord;

bool IsPlaneRecord(const GeometryRecord& record);
// The bare shape in space (null for none), neither placed nor tied to the
// record; null, with nothing made, for a plane without a normal.
dGeomID CreateRecordShape(dSpaceID space, const GeometryRecord& record);

}  // namespace tge
