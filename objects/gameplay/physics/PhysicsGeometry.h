// Collision geometries: creation of each shape, placement, attachment to a
// body, size, enable state, collision bits and bounding boxes.
//
// Planes have no place of their own: they are never positioned, rotated,
// attached to a body or wrapped in a transform (the library aborts on each).
// A ray whose start equals its end hits nothing. A triangle mesh keeps its
// own copy of the vertices and indices, so the caller's arrays may go.
#pragma once
#include <ode/ode.h>

#include "core/math/Quaternion.h"
#include "core/math/Vector.h"

namespace tge {

struct GeometryRecord;

// space may be null for a geometry in no space.
dGeomID CreateSphereGeom(dSpaceID space, float radius);
dGeomID CreateBoxGeom(dSpaceID space, const Vector3& lengths);
// Along the geometry's local z axis.
dGeomID CreateCCylinderGeom(dSpaceID space, float radius, float length);
// The plane a x + b y + c z = d.
dGeomID CreatePlaneGeom(dSpaceID space, float a, float b, float c, float d);
// Reports its nearest hit, triangle meshes included.
dGeomID CreateRayGeom(dSpaceID space, float length);
// Three floats per vertex, three indices per triangle. Null, with a physics
// error, when the counts are not positive, indexCount is not a multiple of 3
// or an index lies outside the vertices.
dGeomID CreateTriMeshGeom(dSpaceID space, const float* vertices, int vertexCount,
                          const int* indices, int indexCount);
dGeomID CreateGeomTransform(dSpaceID space);
// The geometry must be placeable and in no space; otherwise it is refused.
void SetGeomTransformGeom(dGeomID transform, dGeomID geometry);
// 1: contacts name the transform, not the geometry inside it.
void SetGeomTransformInfo(dGeomID transform, int info);
// Frees a triangle mesh's data with it. A transform never destroys its content.
void DestroyGeom(dGeomID geometry);

void SetGeomBody(dGeomID geometry, dBodyID body);
dBodyID GetGeomBody(dGeomID geometry);
void EnableGeom(dGeomID geometry, int enable);
int IsGeomEnabled(dGeomID geometry);
int IsGeomSpace(dGeomID geometry);

void SetSphereGeomRadius(dGeomID geometry, float radius);
void SetBoxGeomLengths(dGeomID geometry, const Vector3& lengths);
void SetCCylinderGeomParams(dGeomID geometry, float radius, float length);
// The ray from one point to another.
void SetRayGeom(dGeomID ray, const Vector3& from, const Vector3& to);

void SetGeomPosition(dGeomID geometry, const Vector3& position);
void SetGeomRotation(dGeomID geometry, const Quaternion& rotation);
// The record the geometry was made from; its owner hears of the geometry's
// contacts. Null for a geometry no object owns.
void SetGeomData(dGeomID geometry, GeometryRecord* record);
GeometryRecord* GetGeomData(dGeomID geometry);
void SetGeomCollideBits(dGeomID geometry, unsigned bits);
void SetGeomCategoryBits(dGeomID geometry, unsigned bits);
void GetGeomAABB(dGeomID geometry, Vector3* min, Vector3* max);
// 1 unless the two bounding boxes are apart on some axis; touching boxes overlap.
int GeomAABBsOverlap(dGeomID a, dGeomID b);

}  // namespace tge
