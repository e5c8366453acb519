// What a vehicle does every frame: input, wheel motors and steering, the
// rider's camera, engine, tyre and crash sounds with the exhaust, and the
// blob shadow; and what it notes of its contacts.
#include <algorithm>
#include <cmath>

#include "core/ClassIds.h"
#include "core/ObjectRecording.h"
#include "core/math/Color.h"
#include "core/math/Matrix4.h"
#include "objects/gameplay/physics/PhysicsContact.h"
#include "objects/gameplay/physics/PhysicsJoint.h"
#include "objects/gameplay/props/JointHinge2.h"
#include "objects/gameplay/vehicles/Vehicle.h"
#include "objects/gameplay/weapons/Weapon.h"
#include "objects/scene/Camera.h"
#include "objects/scene/ColourVertex.h"
#include "objects/scene/effects/Collector.h"
#include "objects/ui/sound/Sound.h"
#include "services/EngineServices.h"

namespace tge {
namespace {

constexpr std::uint32_t kCommandSetParticlesPerSec = 3256;
constexpr std::uint32_t kTriangleList = 4;

constexpr float kSteeringForce = 200.0f;
constexpr float kSteeringFudge = 0.2f;
constexpr float kStopMargin = 0.05f;
constexpr float kEngineForce = 400.0f;
constexpr float kRollingResistance = 10.0f;
constexpr float kSlowSpeed = 0.2f;
constexpr float kTyreSpeed = 1.0f;
constexpr float kCrashDepth = 0.02f;
constexpr float kCrash2Depth = 0.08f;
// The shadow texture spans 2.8 units across the vehicle and 4.6 along it.
constexpr float kShadowU = 1.0f / 2.8f;
constexpr float kShadowV = 1.0f / 4.6f;
constexpr float kShadowLift = 0.02f;

float ReadPlayerAction(int action) {
  const EngineServices* services = GetEngineServices();
  return services != nullptr ? services->GetInputActionValue(0, action) : 0.0f;
}

// The steering motor aims a little inside the joint's stops: aimed at a
// stop, it would press its whole force into it every step and a light wheel
// breaks through. Stops closer together than the margins hold the middle.
float SteeringTarget(float wanted, float lo, float hi) {
  if (hi - lo <= 2 * kStopMargin) return 0.5f * (lo + hi);
  return std::clamp(wanted, lo + kStopMargin, hi - kStopMargin);
}

}  // namespace

void Vehicle::Update() {
  if (!GetActive()) return;
  const ObjectRecording* recording = GetRecording();
  if (recording == nullptr || recording->state != RecordingState::kPlaying) {
    const float dt = GetFrameTime();
    ReadInput(dt);
    FireWeapon();
    SteerCamera(dt);
    InvalidateTransform();
    DriveWheels();
  }
  UpdateSounds();
}

void Vehicle::ReadInput(float dt) {
  if (inputDevice_ >= kFirstDigitalScheme) {
    ApplyDigitalScheme(controls_, inputDevice_, &ReadPlayerAction);
  } else if (FindRiderCamera()) {
    ApplyAnalogScheme(controls_, dt, &ReadPlayerAction);
  }
}

// The vehicle's weapon fires while the fire action is held.
void Vehicle::FireWeapon() {
  Weapon* weapon = weapon_.Get();
  if (weapon != nullptr && ReadPlayerAction(kActionFire) != 0) weapon->Fire(nullptr, nullptr, false);
}

// The analog scheme reads input only while a rider with a camera sits under
// "PlayerPosition"; the camera goes when the rider does.
bool Vehicle::FindRiderCamera() {
  Object* seat = playerPosition_.Get();
  if (seat == nullptr) return false;
  Object* rider = seat->GetChild(0);
  if (rider == nullptr) camera_.Reset();
  if (rider != nullptr && rider->GetClassId() == kClassPlayerTP && !camera_) {
    camera_.Set(static_cast<Camera*>(seat->FindChildByClass(kClassCamera)));
  }
  return static_cast<bool>(camera_);
}

void Vehicle::SteerCamera(float dt) {
  Camera* camera = camera_.Get();
  if (camera == nullptr) return;
  const float turn = ReadPlayerAction(kActionCameraTurn);
  const float height = ReadPlayerAction(kActionCameraHeight);
  if (turn != 0) camera->RotateAroundTarget({0, 2 * turn * dt, 0});
  if (height != 0) camera->AddPositionLimited({0, 4 * height * dt, 0});
  camera->SetFollowTargetHeight(controls_.throttle != 0);
}

void Vehicle::DriveWheels() {
  for (const WheelRecord& wheel : wheels_) {
    JointHinge2* joint = wheel.joint.Get();
    if (joint == nullptr || !joint->HasJoint()) return;
    const float brake = wheel.brakeMul * brakeForceMul_ * controls_.brake;
    const float handbrake = wheel.handbrakeMul * handbrakeForceMul_ * handbrake_;
    const float drive = wheel.engineMul * engineVelocityMul_ * controls_.throttle;
    joint->SetParameter(kHinge2Velocity2, (1 - brake) * drive);
    float force = kRollingResistance;
    if (brake != 0) {
      force = brake;
    } else if (handbrake != 0) {
      force = handbrake;
    } else if (drive != 0) {
      force = engineForceMul_ * kEngineForce;
    }
    joint->SetParameter(kHinge2MaxVelocityForce2, force);
    if (wheel.steeringMul == 0) continue;
    const float target = SteeringTarget(wheel.steeringMul * controls_.steering, joint->GetLoStop(), joint->GetHiStop());
    joint->SetParameter(kHinge2Velocity, (target - GetHinge2Angle1(joint->GetJoint())) * steeringVelocityMul_);
    joint->SetParameter(kHinge2MaxVelocityForce, steeringForceMul_ * kSteeringForce);
    joint->SetParameter(kHinge2FudgeFactor, kSteeringFudge);
  }
}

void Vehicle::UpdateSounds() {
  Sound* speaker = speaker_.Get();
  if (speaker != nullptr) {
    Vector3 velocity = GetLinearVelocity();
    velocity.y = 0;
    const float speed = Vector3Length(velocity);
    const bool moving = speed > kSlowSpeed;
    const float pitch = moving ? 1 + 0.04f * speed + 0.5f * std::fabs(controls_.throttle) : 1.0f;
    const float tyrePitch = moving ? 1 + 0.1f * speed : 1.0f;
    const float volume = moving ? 1.0f : 0.95f;
    float rate = pitch * exhaustBaseRate_;
    for (Object* exhaust : {exhaust_.Get(), exhaust2_.Get()}) {
      if (exhaust != nullptr) exhaust->ExecuteCommand(kCommandSetParticlesPerSec, &rate);
    }
    if (engineLoopSound_ != -1) {
      if (!speaker->IsEntryPlaying(engineLoopSound_) && std::fabs(controls_.throttle) > 0) {
        speaker->PlayEntryEx(engineLoopSound_, 1);
        speaker->PlayEntryEx(engineStartSound_, 0);
        for (Object* exhaust : {exhaust_.Get(), exhaust2_.Get()}) {
          if (exhaust != nullptr) exhaust->Start();
        }
      }
      speaker->SetEntryFrequency(engineLoopSound_, pitch);
      speaker->SetEntryVolume(engineLoopSound_, volume);
    }
    if (tiresSound_ != -1) {
      if (!speaker->IsEntryPlaying(tiresSound_) && moving) {
        speaker->SetEntryVolume(tiresSound_, 0);
        speaker->PlayEntryEx(tiresSound_, 1);
      }
      if (speed > kTyreSpeed) speaker->SetEntryFrequency(tiresSound_, tyrePitch);
      speaker->SetEntryVolume(tiresSound_, speed > kTyreSpeed ? 0.95f * volume : 0.0f);
    }
    if (crashSound_ != -1 && maxContactDepth_ > kCrashDepth && !speaker->IsEntryPlaying(crashSound_)) {
      speaker->SetEntryVolume(crashSound_, 10 * maxContactDepth_ + 0.4f);
      speaker->PlayEntryEx(crashSound_, 0);
    }
    if (crash2Sound_ != -1 && maxContactDepth_ > kCrash2Depth && !speaker->IsEntryPlaying(crash2Sound_)) {
      speaker->PlayEntryEx(crash2Sound_, 0);
    }
  }
  maxContactDepth_ = 0;
}

int Vehicle::HandleContact(GeometryRecord*, GeometryRecord*, ContactParameters* contacts, int count) {
  for (int i = 0; i < count; ++i) {
    maxContactDepth_ = std::max(maxContactDepth_, static_cast<float>(contacts[i].geom.depth));
  }
  return kContactUsual;
}

void Vehicle::Draw() {
  if (!GetActive()) return;
  DrawShadow();
  Object::Draw();
}

// The ground triangles around the vehicle, lifted a little and mapped with
// the shadow texture turned with the vehicle's heading.
void Vehicle::DrawShadow() {
  Collector* collector = Collector::GetGlobal();
  EngineServices* services = GetEngineServices();
  CollectorTriangleList* list = shadowTriangles_.get();
  if (!shadowMaterial_ || list == nullptr || collector == nullptr || services == nullptr) return;
  const Vector3 centre = GetPositionWS();
  collector->GatherTriangles(*list, centre);
  const std::uint32_t colour = ColorToDword({0.5f, 0.5f, 0.5f, 1.0f});
  Vector3 forward = GetAxisZWS();
  Vector3Normalize(forward, forward);
  // Each vertex's offset from the centre turned about y by minus the heading.
  const float turn = -Vector3Yaw(forward);
  const float c = std::cos(turn), s = std::sin(turn);
  for (std::uint32_t i = 0; i < list->count * 3u; ++i) {
    ColourVertex& vertex = list->vertices[i];
    vertex.y += kShadowLift;
    const float dx = centre.x - vertex.x, dz = centre.z - vertex.z;
    vertex.u = (dx * c + dz * s) * kShadowU + 0.5f;
    vertex.v = (dz * c - dx * s) * kShadowV + 0.5f;
    vertex.colour = colour;
  }
  services->GetRenderQueue().QueuePrimitives(list->vertices.data(), kColourVertexFormat, kTriangleList, list->count,
                                             Matrix4{}, shadowMaterial_.Get(), 1.0f, nullptr, nullptr, nullptr);
}

}  // namespace tge
