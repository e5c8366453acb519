// The local transform, its cached matrices and the world-space queries.
// Rows are vectors: world = local x parent's world. Setters only mark what
// is stale; GetWorldMatrix rebuilds lazily.
#include "core/Object.h"
#include "core/math/Matrix4.h"
#include "core/math/Quaternion.h"
#include "core/math/Vector.h"

namespace tge {
namespace {

const Vector3 kZero{};
const Vector3 kUnitScale{1, 1, 1};
const Quaternion kIdentityRotation{};
const Matrix4 kIdentity{};

Matrix4 RotationMatrix(const Quaternion& rotation, const Vector3& translation) {
  Matrix4 out;
  return Matrix4FromQuaternionPosition(out, rotation, translation);
}

Matrix4 ScaleMatrix(const Vector3& scale) {
  Matrix4 out;
  return Matrix4Scaling(out, scale.x, scale.y, scale.z);
}

Quaternion RotationOf(const Matrix4& m) {
  Quaternion out;
  return QuaternionFromMatrix4(out, m);
}

Vector3 Row(const Matrix4& m, int row) {
  return {m.m[row * 4], m.m[row * 4 + 1], m.m[row * 4 + 2]};
}

bool IsUnit(const Vector3& scale) { return scale.x == 1 && scale.y == 1 && scale.z == 1; }

}  // namespace

const Vector3& Object::GetPosition() const { return transform_ ? transform_->position : kZero; }
const Vector3& Object::GetScale() const { return transform_ ? transform_->scale : kUnitScale; }
const Quaternion& Object::GetRotation() const { return transform_ ? transform_->rotation : kIdentityRotation; }

bool Object::SetPosition(const Vector3& position, bool update) {
  if (!transform_) return false;
  transform_->position = position;
  InvalidateLocalMatrix();
  if (update) {
    PushTransformToPhysics(true, false);
    InvalidateWorldTransform();
  }
  return true;
}

bool Object::SetRotation(const Quaternion& rotation, bool update) {
  if (!transform_) return false;
  transform_->rotation = rotation;
  InvalidateLocalMatrix();
  if (update) {
    PushTransformToPhysics(false, true);
    InvalidateWorldTransform();
  }
  return true;
}

bool Object::SetScale(const Vector3& scale, bool update) {
  if (!transform_) return false;
  transform_->scale = scale;
  if (!IsUnit(scale)) SetFlag(kFlagNonUnitScale, true);
  InvalidateLocalMatrix();
  if (update) {
    PushTransformToPhysics(false, false);
    InvalidateWorldTransform();
  }
  return true;
}

bool Object::AddPosition(const Vector3& delta) {
  if (!transform_) return false;
  const Vector3& p = transform_->position;
  return SetPosition({p.x + delta.x, p.y + delta.y, p.z + delta.z}, true);
}

bool Object::AddScale(const Vector3& delta) {
  if (!transform_) return false;
  Vector3& s = transform_->scale;
  s = {s.x + delta.x, s.y + delta.y, s.z + delta.z};
  if (!IsUnit(s)) SetFlag(kFlagNonUnitScale, true);
  InvalidateTransform();
  return true;
}

bool Object::RotateBy(const Quaternion& rotation) {
  if (!transform_) return false;
  Quaternion turned;
  QuaternionMultiply(turned, transform_->rotation, rotation);
  return SetRotation(turned, true);
}

// A body takes the new position or rotation itself; a body-less object's
// geometries follow its world matrix.
void Object::PushTransformToPhysics(bool position, bool rotation) {
  PhysicsHooks* hooks = GetPhysicsHooks();
  if (PhysicsBody* body = GetBody(); body && hooks) {
    if (position) hooks->SetBodyPosition(body, transform_->position);
    if (rotation) hooks->SetBodyRotation(body, transform_->rotation);
  } else if (physics_ && !physics_->geometries.empty()) {
    PlaceGeometries();
  }
}

void Object::SetInheritOrientation(bool on) {
  SetFlag(kFlagInheritOrientation, on);
  if (on) {
    transform_.reset();
    return;
  }
  if (!transform_) transform_ = std::make_unique<TransformRecord>();
  SetFlag(kFlagMatrixValid, false);
}

void Object::SetWSOrientation(bool on) {
  if (on && !HasFlag(kFlagWSOrientation) && transform_) {
    const Vector3 position = GetPositionWS();
    const Quaternion rotation = GetRotationWS();
    transform_->position = position;
    transform_->rotation = rotation;
  }
  SetFlag(kFlagWSOrientation, on);
  InvalidateTransform();
}

void Object::InvalidateTransform() {
  InvalidateLocalMatrix();
  InvalidateWorldTransform();
}

void Object::InvalidateWorldTransform() {
  if (!HasFlag(kFlagActive | kFlagWorldMatrixValid)) return;
  SetFlag(kFlagWorldMatrixValid, false);
  if (physics_ && physics_->body == nullptr) PlaceGeometries();
  for (std::size_t i = 0; i < children_.size(); ++i) {
    if (!children_[i]->HasFlag(kFlagWSOrientation)) children_[i]->InvalidateWorldTransform();
  }
}

void Object::RebuildLocalMatrix() {
  Matrix4 local = RotationMatrix(transform_->rotation, kZero);
  if (HasFlag(kFlagNonUnitScale)) local = ScaleMatrix(transform_->scale) * local;
  local.m[12] = transform_->position.x;
  local.m[13] = transform_->position.y;
  local.m[14] = transform_->position.z;
  transform_->localMatrix = local;
}

const Matrix4& Object::GetWorldMatrix() {
  PhysicsHooks* hooks = GetPhysicsHooks();
  if (PhysicsBody* body = GetBody(); body && hooks && transform_) {
    Matrix4 local = hooks->GetBodyMatrix(body);
    if (HasFlag(kFlagNonUnitScale)) local = ScaleMatrix(transform_->scale) * local;
    const GeometryRecord* geometry = GetCurrentGeometry();
    if ((physics_->flags & kPhysicsRigidBodyUseGeomOrien) && geometry) {
      local = Inverse(RotationMatrix(geometry->rotation, geometry->position)) * local;
    }
    transform_->localMatrix = local;
    SetFlag(kFlagMatrixValid, true);
    return transform_->localMatrix;
  }
  if (!transform_) {
    SetFlag(kFlagMatrixValid, true);
    return parent_ ? parent_->GetWorldMatrix() : kIdentity;
  }
  if (!HasFlag(kFlagLocalMatrixValid)) RebuildLocalMatrix();
  if (HasFlag(kFlagWSOrientation)) {
    SetFlag(kFlagMatrixValid, true);
    return transform_->localMatrix;
  }
  if (!HasFlag(kFlagMatrixValid)) {
    transform_->worldMatrix =
        parent_ ? transform_->localMatrix * parent_->GetWorldMatrix() : transform_->localMatrix;
    SetFlag(kFlagMatrixValid, true);
  }
  return transform_->worldMatrix;
}

void Object::GetInverseWorldMatrix(Matrix4& out) { out = Inverse(GetWorldMatrix()); }

const Matrix4& Object::GetCachedWorldMatrix() {
  if (!transform_) return kIdentity;
  if (!HasFlag(kFlagLocalMatrixValid)) RebuildLocalMatrix();
  return transform_->worldMatrix;
}

Vector3 Object::GetPositionWS() {
  if (HasFlag(kFlagWSOrientation) && !GetBody() && transform_) return transform_->position;
  return Row(GetWorldMatrix(), 3);
}

Quaternion Object::GetRotationWS() {
  if (GetBody()) return RotationOf(GetWorldMatrix());
  if (HasFlag(kFlagWSOrientation) && transform_) return transform_->rotation;
  Quaternion rotation = RotationOf(GetWorldMatrix());
  QuaternionNormalize(rotation, rotation);
  return rotation;
}

Vector3 Object::GetScaleWS() {
  if (HasFlag(kFlagWSOrientation)) return GetScale();
  const Matrix4& m = GetWorldMatrix();
  return {Vector3Length({m.m[0], m.m[4], m.m[8]}), Vector3Length({m.m[1], m.m[5], m.m[9]}),
          Vector3Length({m.m[2], m.m[6], m.m[10]})};
}

Vector3 Object::GetAxisXWS() { return Row(GetWorldMatrix(), 0); }
Vector3 Object::GetAxisYWS() { return Row(GetWorldMatrix(), 1); }
Vector3 Object::GetAxisZWS() { return Row(GetWorldMatrix(), 2); }

float Object::GetDistanceTo(Object& other) {
  const Vector3 a = GetPositionWS();
  const Vector3 b = other.GetPositionWS();
  return Vector3Length({a.x - b.x, a.y - b.y, a.z - b.z});
}

// A geometry inside a geometry transform carries its offset in the
// transform, so the transform sits at the object's own world matrix.
void Object::PlaceGeometries() {
  PhysicsHooks* hooks = GetPhysicsHooks();
  if (!physics_ || hooks == nullptr) return;
  for (const auto& geometry : physics_->geometries) {
    if (!geometry->HasLiveGeometry()) continue;
    const Matrix4& world = GetWorldMatrix();
    PhysicsGeom* handle = geometry->transformGeometry ? geometry->transformGeometry : geometry->geometry;
    const Matrix4 placed = geometry->transformGeometry
                               ? world
                               : RotationMatrix(geometry->rotation, geometry->position) * world;
    hooks->SetGeomPosition(handle, Row(placed, 3));
    hooks->SetGeomRotation(handle, RotationOf(placed));
  }
}

}  // namespace tge
