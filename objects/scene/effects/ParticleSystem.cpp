// ParticleSystem's command tables, file record and life cycle: the pool,
// the held end of the action and the trail system.
#include "objects/scene/effects/ParticleSystem.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <memory>
#include <type_traits>

#include "core/BaseCommandIds.h"
#include "core/ClassIds.h"
#include "core/ObjectFactory.h"
#include "core/files/SerializeStream.h"
#include "services/EngineServices.h"
#include "services/resources/ResourceSet.h"

namespace tge {
namespace {

using PS = ParticleSystem;
constexpr auto C = CommandKind::kCommand;
constexpr auto P = CommandKind::kProperty;
constexpr std::uint32_t kCommandActionKillPost = 80;
// OnStopDraw's id, when it arrives as a command.
constexpr std::uint32_t kCommandStopDraw = 219;
constexpr int kFirstVersionWithBox = 67;
constexpr int kLastVersionWithoutCullFlag = 80;
// The table block of the file: 17 words after the curves, written as 0.
constexpr int kTableReservedWords = 17;

}  // namespace

// Plain "Set" and "Get" commands (flags 0), not properties: id 3260 and 3261
// both carry "GetEmitOnActionStart", so a script call by that name sets it.
// clang-format off
constexpr CommandEntry<ParticleSystem> ParticleSystem::kCommands[] = {
    {3250, "SetPreset", C, 0, {kValueDword}, Member<&PS::NothingCommand>},
    {3251, "GetPreset", C, 0, {kValueDword}, Member<&PS::GetPresetCommand>},
    {3252, "SetSavePreset", C, 0, {kValueString}, Member<&PS::NothingCommand>},
    {3253, "GetSavePreset", C, 0, {kValueString}, Member<&PS::GetSavePresetCommand>},
    {3254, "SetEmissionResidue", C, 0, {kValueFloat}, FieldSetter<&PS::emissionResidue_>},
    {3255, "GetEmissionResidue", C, 0, {kValueFloat}, FieldGetter<&PS::emissionResidue_>},
    {3256, "SetParticlesPerSec", C, 0, {kValueFloat}, FieldSetter<&PS::particlesPerSec_>},
    {3257, "GetParticlesPerSec", C, 0, {kValueFloat}, FieldGetter<&PS::particlesPerSec_>},
    {3258, "SetUseSpawntrail", C, 0, {kValueBool}, Member<&PS::SetUseSpawnTrailCommand>},
    {3259, "GetUseSpawntrail", C, 0, {kValueBool}, FlagGetter<&PS::particleFlags_, kParticleUseSpawnTrail>},
    {3260, "GetEmitOnActionStart", C, 0, {kValueDword}, FieldSetter<&PS::emitOnActionStart_>},
    {3261, "GetEmitOnActionStart", C, 0, {kValueDword}, FieldGetter<&PS::emitOnActionStart_>},
    {3262, "SetSpawnTrailDelayStart", C, 0, {kValueFloat}, FieldSetter<&PS::spawnTrailDelayStart_>},
    {3263, "GetSpawnTrailDelayStart", C, 0, {kValueFloat}, FieldGetter<&PS::spawnTrailDelayStart_>},
    {3264, "SetSpawnTrailDelayEnd", C, 0, {kValueFloat}, FieldSetter<&PS::spawnTrailDelayEnd_>},
    {3265, "GetSpawnTrailDelayEnd", C, 0, {kValueFloat}, FieldGetter<&PS::spawnTrailDelayEnd_>},
    {3266, "SetSpawnTrailInheritSpeed", C, 0, {kValueDword}, Member<&PS::SetInheritCommand<0>>},
    {3267, "GetSpawnTrailInheritSpeed", C, 0, {kValueDword}, Member<&PS::GetInheritCommand<0>>},
    {3268, "SetSpawnTrailInheritSize", C, 0, {kValueDword}, Member<&PS::SetInheritCommand<4>>},
    {3269, "GetSpawnTrailInheritSize", C, 0, {kValueDword}, Member<&PS::GetInheritCommand<4>>},
    {3270, "SetSpawnTrailInheritLife", C, 0, {kValueDword}, Member<&PS::SetInheritCommand<8>>},
    {3271, "GetSpawnTrailInheritLife", C, 0, {kValueDword}, Member<&PS::GetInheritCommand<8>>},
    {3272, "SetSpawnTrailInheritSpin", C, 0, {kValueDword}, Member<&PS::SetInheritCommand<12>>},
    {3273, "GetSpawnTrailInheritSpin", C, 0, {kValueDword}, Member<&PS::GetInheritCommand<12>>},
    {3274, "SetSpawnTrailInheritColor", C, 0, {kValueDword}, Member<&PS::SetInheritCommand<16>>},
    {3275, "GetSpawnTrailInheritColor", C, 0, {kValueDword}, Member<&PS::GetInheritCommand<16>>},
    {3276, "SetSpawnTrailInheritMap", C, 0, {kValueDword}, Member<&PS::SetInheritCommand<20>>},
    {3277, "GetSpawnTrailInheritMap", C, 0, {kValueDword}, Member<&PS::GetInheritCommand<20>>},
    {3284, "SetUseParticleTBL", C, 0, {kValueBool}, LowBitFlagSetter<&PS::particleFlags_, kParticleUseTable>},
    {3285, "GetUseParticleTBL", C, 0, {kValueBool}, FlagGetter<&PS::particleFlags_, kParticleUseTable>},
    {3286, "SetParticleTBLCommand", C, 0, {kValueDword}, Member<&PS::SetTableCommand>},
    {3287, "GetParticleTBLCommand", C, 0, {kValueDword}, Member<&PS::NothingCommand>},
    {3288, "SetParticleTBLReg1", C, 0, {kValueFloat}, Member<&PS::SetRegisterCommand<0>>},
    {3289, "GetParticleTBLReg1", C, 0, {kValueFloat}, Member<&PS::GetRegisterCommand<0>>},
    {3290, "SetParticleTBLReg2", C, 0, {kValueFloat}, Member<&PS::SetRegisterCommand<1>>},
    {3291, "GetParticleTBLReg2", C, 0, {kValueFloat}, Member<&PS::GetRegisterCommand<1>>},
    {3292, "SetParticleTBLReg3", C, 0, {kValueFloat}, Member<&PS::SetRegisterCommand<2>>},
    {3293, "GetParticleTBLReg3", C, 0, {kValueFloat}, Member<&PS::GetRegisterCommand<2>>},
    {3294, "SetParticleTBLReg4", C, 0, {kValueFloat}, Member<&PS::SetRegisterCommand<3>>},
    {3295, "GetParticleTBLReg4", C, 0, {kValueFloat}, Member<&PS::GetRegisterCommand<3>>},
    {3296, "SetParticleTBLReg5", C, 0, {kValueFloat}, Member<&PS::SetRegisterCommand<4>>},
    {3297, "GetParticleTBLReg5", C, 0, {kValueFloat}, Member<&PS::GetRegisterCommand<4>>},
    {3298, "SetParticleTBLReg6", C, 0, {kValueFloat}, Member<&PS::SetRegisterCommand<5>>},
    {3299, "GetParticleTBLReg6", C, 0, {kValueFloat}, Member<&PS::GetRegisterCommand<5>>},
    {3300, "SetParticleTBLReg7", C, 0, {kValueFloat}, Member<&PS::SetRegisterCommand<6>>},
    {3301, "GetParticleTBLReg7", C, 0, {kValueFloat}, Member<&PS::GetRegisterCommand<6>>},
    {3302, "SetParticleTBLReg8", C, 0, {kValueFloat}, Member<&PS::SetRegisterCommand<7>>},
    {3303, "GetParticleTBLReg8", C, 0, {kValueFloat}, Member<&PS::GetRegisterCommand<7>>},
    {3304, "SetParticleTBLReg9", C, 0, {kValueFloat}, Member<&PS::SetRegisterCommand<8>>},
    {3305, "GetParticleTBLReg9", C, 0, {kValueFloat}, Member<&PS::GetRegisterCommand<8>>},
    {3306, "SetParticleTBLSpeedOffest", C, 0, {kValueFloat}, Member<&PS::SetClampedCommand<&PS::tableSpeedOffset_, 900>>},
    {3307, "GetParticleTBLSpeedOffest", C, 0, {kValueFloat}, FieldGetter<&PS::tableSpeedOffset_>},
    {3308, "SetParticleTBLSpeedMul", C, 0, {kValueFloat}, Member<&PS::SetClampedCommand<&PS::tableSpeedMul_, 99>>},
    {3309, "GetParticleTBLSpeedMul", C, 0, {kValueFloat}, FieldGetter<&PS::tableSpeedMul_>},
    {3310, "SetParticleTBLSizeOffest", C, 0, {kValueFloat}, Member<&PS::SetClampedCommand<&PS::tableSizeOffset_, 900>>},
    {3311, "GetParticleTBLSizeOffest", C, 0, {kValueFloat}, FieldGetter<&PS::tableSizeOffset_>},
    {3312, "SetParticleTBLSizeMul", C, 0, {kValueFloat}, Member<&PS::SetClampedCommand<&PS::tableSizeMul_, 99>>},
    {3313, "GetParticleTBLSizeMul", C, 0, {kValueFloat}, FieldGetter<&PS::tableSizeMul_>},
    {3314, "SetGravityStart", C, 0, {kValueFloat}, FieldSetter<&PS::gravityStart_>},
    {3315, "GetGravityStart", C, 0, {kValueFloat}, FieldGetter<&PS::gravityStart_>},
    {3316, "SetGravityVar", C, 0, {kValueFloat}, FieldSetter<&PS::gravityVar_>},
    {3317, "GetGravityVar", C, 0, {kValueFloat}, FieldGetter<&PS::gravityVar_>},
    {3318, "SetGravityEnd", C, 0, {kValueFloat}, FieldSetter<&PS::gravityEnd_>},
    {3319, "GetGravityEnd", C, 0, {kValueFloat}, FieldGetter<&PS::gravityEnd_>},
    {3320, "SetSizeStart", C, 0, {kValueFloat}, FieldSetter<&PS::sizeStart_>},
    {3321, "GetSizeStart", C, 0, {kValueFloat}, FieldGetter<&PS::sizeStart_>},
    {3322, "SetSizeVar", C, 0, {kValueFloat}, FieldSetter<&PS::sizeVar_>},
    {3323, "GetSizeVar", C, 0, {kValueFloat}, FieldGetter<&PS::sizeVar_>},
    {3324, "SetSizeEnd", C, 0, {kValueFloat}, FieldSetter<&PS::sizeEnd_>},
    {3325, "GetSizeEnd", C, 0, {kValueFloat}, FieldGetter<&PS::sizeEnd_>},
    {3326, "SetAlphaStart", C, 0, {kValueFloat}, FieldSetter<&PS::alphaStart_>},
    {3327, "GetAlphaStart", C, 0, {kValueFloat}, FieldGetter<&PS::alphaStart_>},
    {3328, "SetAlphaVar", C, 0, {kValueFloat}, FieldSetter<&PS::alphaVar_>},
    {3329, "GetAlphaVar", C, 0, {kValueFloat}, FieldGetter<&PS::alphaVar_>},
    {3330, "SetAlphaEnd", C, 0, {kValueFloat}, FieldSetter<&PS::alphaEnd_>},
    {3331, "GetAlphaEnd", C, 0, {kValueFloat}, FieldGetter<&PS::alphaEnd_>},
    {3332, "SetMaxParticles", C, 0, {kValueDword}, Member<&PS::SetMaxParticlesCommand>},
    {3333, "GetMaxParticles", C, 0, {kValueDword}, FieldGetter<&PS::maxParticles_>},
    {3334, "SetMapStyle", C, 0, {kValueDword}, FieldSetter<&PS::mapStyle_>},
    {3335, "GetMapStyle", C, 0, {kValueDword}, FieldGetter<&PS::mapStyle_>},
    {3336, "SetMapOffset", C, 0, {kValueDword}, FieldSetter<&PS::mapOffset_>},
    {3337, "GetMapOffset", C, 0, {kValueDword}, FieldGetter<&PS::mapOffset_>},
    {3338, "SetMapCount", C, 0, {kValueDword}, FieldSetter<&PS::mapCount_>},
    {3339, "GetMapCount", C, 0, {kValueDword}, FieldGetter<&PS::mapCount_>},
    {3340, "SetSpeedMulStart", C, 0, {kValueFloat}, FieldSetter<&PS::speedMulStart_>},
    {3341, "GetSpeedMulStart", C, 0, {kValueFloat}, FieldGetter<&PS::speedMulStart_>},
    {3342, "SetSpeedMulVar", C, 0, {kValueFloat}, FieldSetter<&PS::speedMulVar_>},
    {3343, "GetSpeedMulVar", C, 0, {kValueFloat}, FieldGetter<&PS::speedMulVar_>},
    {3344, "SetSpeedMulEnd", C, 0, {kValueFloat}, FieldSetter<&PS::speedMulEnd_>},
    {3345, "GetSpeedMulEnd", C, 0, {kValueFloat}, FieldGetter<&PS::speedMulEnd_>},
    {3346, "SetPositionVar", C, 0, {kValueFloat}, FieldSetter<&PS::positionVar_>},
    {3347, "GetPositionVar", C, 0, {kValueFloat}, FieldGetter<&PS::positionVar_>},
    {3348, "SetDirectionVar", C, 0, {kValueFloat}, FieldSetter<&PS::directionVar_>},
    {3349, "GetDirectionVar", C, 0, {kValueFloat}, FieldGetter<&PS::directionVar_>},
    {3350, "SetRotStart", C, 0, {kValueFloat}, FieldSetter<&PS::rotStart_>},
    {3351, "GetRotStart", C, 0, {kValueFloat}, FieldGetter<&PS::rotStart_>},
    {3352, "SetRotVar", C, 0, {kValueFloat}, FieldSetter<&PS::rotVar_>},
    {3353, "GetRotVar", C, 0, {kValueFloat}, FieldGetter<&PS::rotVar_>},
    {3354, "SetSpinStart", C, 0, {kValueFloat}, FieldSetter<&PS::spinStart_>},
    {3355, "GetSpinStart", C, 0, {kValueFloat}, FieldGetter<&PS::spinStart_>},
    {3356, "SetSpinVar", C, 0, {kValueFloat}, FieldSetter<&PS::spinVar_>},
    {3357, "GetSpinVar", C, 0, {kValueFloat}, FieldGetter<&PS::spinVar_>},
    {3358, "SetSpinEnd", C, 0, {kValueFloat}, FieldSetter<&PS::spinEnd_>},
    {3359, "GetSpinEnd", C, 0, {kValueFloat}, FieldGetter<&PS::spinEnd_>},
    {3360, "SetColorStart", C, 0, {kValueColor}, FieldSetter<&PS::colorStart_>},
    {3361, "GetColorStart", C, 0, {kValueColor}, FieldGetter<&PS::colorStart_>},
    {3362, "SetColorADDVar", C, 0, {kValueColor}, FieldSetter<&PS::colorAddVar_>},
    {3363, "GetColorADDVar", C, 0, {kValueColor}, FieldGetter<&PS::colorAddVar_>},
    {3364, "SetColorVar", C, 0, {kValueColor}, Member<&PS::SetColorVarCommand>},
    {3365, "GetColorVar", C, 0, {kValueColor}, Member<&PS::GetColorVarCommand>},
    {3366, "SetColorEnd", C, 0, {kValueColor}, FieldSetter<&PS::colorEnd_>},
    {3367, "GetColorEnd", C, 0, {kValueColor}, FieldGetter<&PS::colorEnd_>},
    {3368, "SetSpeed", C, 0, {kValueFloat}, FieldSetter<&PS::speed_>},
    {3369, "GetSpeed", C, 0, {kValueFloat}, FieldGetter<&PS::speed_>},
    {3370, "SetSpeedVar", C, 0, {kValueFloat}, FieldSetter<&PS::speedVar_>},
    {3371, "GetSpeedVar", C, 0, {kValueFloat}, FieldGetter<&PS::speedVar_>},
    {3372, "SetLife", C, 0, {kValueFloat}, FieldSetter<&PS::life_>},
    {3373, "GetLife", C, 0, {kValueFloat}, FieldGetter<&PS::life_>},
    {3374, "SetLifeVar", C, 0, {kValueFloat}, FieldSetter<&PS::lifeVar_>},
    {3375, "GetLifeVar", C, 0, {kValueFloat}, FieldGetter<&PS::lifeVar_>},
    {3376, "SetTheta", C, 0, {kValueFloat}, FieldSetter<&PS::theta_>},
    {3377, "GetTheta", C, 0, {kValueFloat}, FieldGetter<&PS::theta_>},
    {3378, "AnimatedTexture", C, 0, {kValueBool}, LowBitFlagSetter<&PS::particleFlags_, kParticleAnimatedTexture>},
    {3380, "NodeAnimated", C, 0, {kValueBool}, LowBitFlagSetter<&PS::particleFlags_, kParticleNodeAnimated>},
    {3392, "SetMaterial", C, 0, {kValueString}, Member<&PS::SetMaterialCommand>},
    {3393, "GetMaterial", C, 0, {kValueString}, Member<&PS::GetMaterialCommand>},
};

std::span<const CommandEntry<ParticleSystem>> ParticleSystem::Commands() { return kCommands; }

// Nine float arguments each: more than a table entry lists, so they are
// registered on their own.
constexpr CommandEntry<ParticleSystem> ParticleSystem::kCurveCommands[] = {
    {3278, "SetParticleTBLSpeed", C, 0, {kValueFloat}, Member<&PS::SetCurveCommand<&PS::speedTable_>>},
    {3279, "GetParticleTBLSpeed", C, 0, {kValueFloat}, Member<&PS::GetCurveCommand<&PS::speedTable_>>},
    {3280, "SetParticleTBLSize", C, 0, {kValueFloat}, Member<&PS::SetCurveCommand<&PS::sizeTable_>>},
    {3281, "GetParticleTBLSize", C, 0, {kValueFloat}, Member<&PS::GetCurveCommand<&PS::sizeTable_>>},
    {3282, "SetParticleTBLFade", C, 0, {kValueFloat}, Member<&PS::SetCurveCommand<&PS::fadeTable_>>},
    {3283, "GetParticleTBLFade", C, 0, {kValueFloat}, Member<&PS::GetCurveCommand<&PS::fadeTable_>>},
};

std::span<const CommandEntry<ParticleSystem>> ParticleSystem::CurveCommands() { return kCurveCommands; }

// Answered but never registered: reachable by number only.
constexpr CommandEntry<ParticleSystem> ParticleSystem::kHiddenCommands[] = {
    {3379, "", C, 0, {kValueBool}, FlagGetter<&PS::particleFlags_, kParticleAnimatedTexture>},
    {3381, "", C, 0, {kValueBool}, FlagGetter<&PS::particleFlags_, kParticleNodeAnimated>},
    {3382, "", P, 0, {kValueBool}, LowBitFlagSetter<&PS::particleFlags_, kParticleLocalSpace>, FlagGetter<&PS::particleFlags_, kParticleLocalSpace>},
    {3384, "", P, 0, {kValueBool}, LowBitFlagSetter<&PS::particleFlags_, kParticleDistanceFade>, FlagGetter<&PS::particleFlags_, kParticleDistanceFade>},
    {3386, "", P, 0, {kValueBool}, LowBitFlagSetter<&PS::particleFlags_, kParticleSphereCull>, FlagGetter<&PS::particleFlags_, kParticleSphereCull>},
    {3388, "", P, 0, {kValueBool}, LowBitFlagSetter<&PS::particleFlags_, kParticleBoxEmission>, FlagGetter<&PS::particleFlags_, kParticleBoxEmission>},
    {3390, "", P, 0, {kValueVector3}, FieldSetter<&PS::boxSize_>, FieldGetter<&PS::boxSize_>},
};

std::span<const CommandEntry<ParticleSystem>> ParticleSystem::HiddenCommands() { return kHiddenCommands; }
// clang-format on

ParticleSystem::ParticleSystem() : Object(kClassParticleSystem) {
  for (std::size_t k = 0; k < 8; ++k) speedTable_[k] = std::pow(0.98f, static_cast<float>(k));
  speedTable_[8] = speedTable_[7];
}

ParticleSystem::~ParticleSystem() { FreeStorage(); }

// The copy starts without pool, buffer, particles or pending posts.
void ParticleSystem::CopyFrom(const Object& source) {
  Object::CopyFrom(source);
  pool_ = {};
  blocks_ = {};
  extras_ = {};
  freeRecords_ = {};
  firstFree_ = 0;
  vertices_ = {};
  writtenCellSpan_ = 0;
  liveCount_ = 0;
  ForgetParticles();
  deathPost_ = 0;
  particleFlags_ &= ~(kParticleStopPending | kParticleKillPending);
  material_.Release();
  nodeRoot_.Reset();
  previousNode_.Reset();
  targetNode_.Reset();
  FindTrailSystem();
}

int ParticleSystem::ExecuteCommand(std::uint32_t id, void* args) {
  static constexpr CommandHandlers<ParticleSystem> handlers(kClassParticleSystem,
                                                        {kCommands, kCurveCommands, kHiddenCommands});
  if (handlers.Run(*this, id, args) && id == 3286 && args != nullptr &&
      (CommandArgs(args).Get<std::uint32_t>() & 2) != 0) {
    return 200;
  }
  switch (id) {
    case kCommandCollectResources:
      if (args == nullptr) break;
      material_.Collect(*static_cast<ResourceSet*>(args));
      break;
    case kCommandActionStartStep:
      StartEmitting();
      break;
    case kCommandActionStopPost:
      if (HoldActionPost(kParticleStopPending)) return 1;
      break;
    case kCommandActionKillPost:
      if (HoldActionPost(kParticleKillPending)) return 1;
      break;
    case kCommandChildDeleted:
      if (args != nullptr && CommandArgs(args).GetPointer<Object>() == trailSystem_.Get()) trailSystem_.Reset();
      break;
    case kCommandStopDraw:
      EndDrawing();
      break;
    default:
      break;
  }
  return Object::ExecuteCommand(id, args);
}

void ParticleSystem::StartEmitting() {
  InvalidateLocalMatrix();
  previousPosition_ = currentPosition_ = EmitterPosition();
  const Vector3 direction = EmitterDirection();
  AllocateStorage(-1);
  for (std::uint32_t i = 0; i < emitOnActionStart_; ++i) {
    Spawn(*this, currentPosition_, currentPosition_, direction, nullptr);
  }
}

bool ParticleSystem::HoldActionPost(std::uint32_t pendingBit) {
  if (liveCount_ == 0) return false;
  ResetAction();
  particleFlags_ |= pendingBit;
  updatedSinceTick_ = true;
  EnableUpdate();
  return true;
}

// While a post is held back, a whole frame without an update ends it.
void ParticleSystem::Update() {
  if ((particleFlags_ & (kParticleStopPending | kParticleKillPending)) == 0) {
    DisableUpdate();
    return;
  }
  if (!updatedSinceTick_) {
    ExecuteCommand(kCommandStopDraw, nullptr);
    return;
  }
  updatedSinceTick_ = false;
}

void ParticleSystem::EndDrawing() {
  liveCount_ = 0;
  if ((particleFlags_ & kParticleKillPending) != 0) {
    particleFlags_ &= ~kParticleKillPending;
    FreeStorage();
    ExecuteCommand(kCommandActionKillPost, nullptr);
  } else if ((particleFlags_ & kParticleStopPending) != 0) {
    particleFlags_ &= ~kParticleStopPending;
    FreeStorage();
    ExecuteCommand(kCommandActionStopPost, nullptr);
  } else {
    FreeStorage();
  }
}

// The vertices may sit in this frame's queue: the services keep them until
// the frame has ended.
void ParticleSystem::FreeStorage() {
  EngineServices* services = GetEngineServices();
  if (services != nullptr && !vertices_.empty()) {
    services->GetRenderQueue().KeepUntilReset(std::make_shared<std::vector<ColourVertex>>(std::move(vertices_)));
  }
  vertices_ = {};
  writtenCellSpan_ = 0;
  pool_ = {};
  blocks_ = {};
  extras_ = {};
  freeRecords_ = {};
  firstFree_ = 0;
  liveCount_ = 0;
  ForgetParticles();
}

std::uint32_t ParticleSystem::ClampPoolSize(std::uint32_t count) const {
  return ClampParticlePool(count, "ParticleSystem", GetName());
}

void ParticleSystem::AllocateStorage(std::int64_t count) {
  if (count != -1) {
    maxParticles_ = ClampPoolSize(static_cast<std::uint32_t>(count));
    FreeStorage();
  }
  if (!pool_.empty() || maxParticles_ == 0) return;
  pool_.assign(maxParticles_, Particle{});
  blocks_.assign((maxParticles_ + kParticleLanes - 1) / kParticleLanes, ParticleBlock{});
  extras_.assign(maxParticles_, ParticleExtras{});
  MarkAllRecordsFree();
  vertices_.assign(std::size_t{6} * maxParticles_, ColourVertex{});
}

void ParticleSystem::MarkAllRecordsFree() {
  freeRecords_.assign((pool_.size() + kRecordsPerWord - 1) / kRecordsPerWord, ~std::uint64_t{0});
  if (pool_.size() % kRecordsPerWord != 0) {
    freeRecords_.back() = (std::uint64_t{1} << (pool_.size() % kRecordsPerWord)) - 1;
  }
  firstFree_ = 0;
}

void ParticleSystem::FreeRecord(std::size_t index) {
  freeRecords_[index / kRecordsPerWord] |= std::uint64_t{1} << (index % kRecordsPerWord);
  firstFree_ = std::min(firstFree_, index);
}

std::size_t ParticleSystem::TakeFreeRecord() {
  for (std::size_t word = firstFree_ / kRecordsPerWord; word < freeRecords_.size(); ++word) {
    std::uint64_t& bits = freeRecords_[word];
    if (bits == 0) continue;
    const std::size_t index = word * kRecordsPerWord + static_cast<std::size_t>(std::countr_zero(bits));
    bits &= bits - 1;
    firstFree_ = index + 1;
    return index;
  }
  firstFree_ = pool_.size();
  return pool_.size();
}

void ParticleSystem::FindTrailSystem() {
  trailSystem_.Reset();
  if ((particleFlags_ & kParticleUseSpawnTrail) == 0) return;
  trailSystem_.Set(static_cast<ParticleSystem*>(FindChildByClass(kClassParticleSystem)));
}

Vector3 ParticleSystem::EmitterPosition() {
  return (particleFlags_ & kParticleLocalSpace) != 0 ? GetPosition() : GetPositionWS();
}

Vector3 ParticleSystem::EmitterDirection() {
  const Matrix4& m = (particleFlags_ & kParticleLocalSpace) != 0 ? GetCachedWorldMatrix() : GetWorldMatrix();
  return {m.m[8], m.m[9], m.m[10]};
}

template <int Shift>
int ParticleSystem::SetInheritCommand(CommandArgs args) {
  inheritModes_ = (inheritModes_ & ~(15u << Shift)) | ((args.Get<std::uint32_t>() & 15u) << Shift);
  return 1;
}

template <int Shift>
int ParticleSystem::GetInheritCommand(CommandArgs args) {
  args.Set<std::uint32_t>((inheritModes_ >> Shift) & 15u);
  return 1;
}

template <ParticleCurve ParticleSystem::*Table>
int ParticleSystem::SetCurveCommand(CommandArgs args) {
  for (std::size_t k = 0; k < 9; ++k) (this->*Table)[k] = args.Get<float>(k * 4);
  return 1;
}

template <ParticleCurve ParticleSystem::*Table>
int ParticleSystem::GetCurveCommand(CommandArgs args) {
  for (std::size_t k = 0; k < 9; ++k) args.Set((this->*Table)[k], k * 4);
  return 1;
}

template <int Register>
int ParticleSystem::SetRegisterCommand(CommandArgs args) {
  registers_[Register] = args.Get<float>();
  return 1;
}

template <int Register>
int ParticleSystem::GetRegisterCommand(CommandArgs args) {
  args.Set(registers_[Register]);
  return 1;
}

// Max100 is the upper bound in hundredths.
template <float ParticleSystem::*Field, int Max100>
int ParticleSystem::SetClampedCommand(CommandArgs args) {
  this->*Field = std::clamp(args.Get<float>(), 0.0f, static_cast<float>(Max100) / 100.0f);
  return 1;
}

int ParticleSystem::NothingCommand(CommandArgs) { return 1; }

int ParticleSystem::GetPresetCommand(CommandArgs args) {
  args.Set<std::uint32_t>(0);
  return 1;
}

int ParticleSystem::GetSavePresetCommand(CommandArgs args) {
  args.AsString().clear();
  return 1;
}

int ParticleSystem::SetUseSpawnTrailCommand(CommandArgs args) {
  LowBitFlagSetter<&ParticleSystem::particleFlags_, kParticleUseSpawnTrail>(*this, args);
  FindTrailSystem();
  return 1;
}

// Bit 1 enables; bits 3-4 pick the table, bit 0 the direction.
int ParticleSystem::SetTableCommand(CommandArgs args) {
  const std::uint32_t command = args.Get<std::uint32_t>();
  if ((command & 2) == 0) return 1;
  ParticleCurve* table = nullptr;
  switch (command & 0x18) {
    case 0: table = &sizeTable_; break;
    case 0x10: table = &fadeTable_; break;
    case 8: table = &speedTable_; break;
    default: return 200;
  }
  if ((command & 1) != 0) {
    std::copy(registers_.begin(), registers_.end(), table->begin());
  } else {
    std::copy(table->begin(), table->end(), registers_.begin());
  }
  return 200;
}

// Dropping the particles ends a held post: none is left to wait for.
int ParticleSystem::SetMaxParticlesCommand(CommandArgs args) {
  AllocateStorage(args.Get<std::uint32_t>());
  if ((particleFlags_ & (kParticleStopPending | kParticleKillPending)) != 0) EndDrawing();
  return 1;
}

int ParticleSystem::SetColorVarCommand(CommandArgs args) {
  colorVar_ = args.Get<Color>().r;
  return 1;
}

int ParticleSystem::GetColorVarCommand(CommandArgs args) {
  args.Set(colorVar_);
  return 1;
}

int ParticleSystem::SetMaterialCommand(CommandArgs args) {
  material_.SetName(args.AsString());
  return 1;
}

int ParticleSystem::GetMaterialCommand(CommandArgs args) {
  args.AsString() = material_.GetName();
  return 1;
}

void ParticleSystem::Precalculate() {
  FindTrailSystem();
  if ((particleFlags_ & kParticleNodeAnimated) != 0) StartNodeWalk();
  previousPosition_ = currentPosition_ = EmitterPosition();
  boundsCentre_ = GetPositionWS();
  boundsRadius_ = 20.0f;
  Object::Precalculate();
}

// Pending posts are never saved: a loaded system has no particles to wait for.
bool ParticleSystem::Serialize(SerializeStream& stream) {
  if (!Object::Serialize(stream)) return false;
  const int version = stream.GetVersion();
  if (version < 1) return !stream.Failed();
  std::uint32_t flags = particleFlags_ & ~(kParticleStopPending | kParticleKillPending);
  stream.Serialize(flags);
  if (!stream.IsWriting()) particleFlags_ = flags & ~(kParticleStopPending | kParticleKillPending);
  stream.Serialize(emitOnActionStart_);
  for (float* value : {&particlesPerSec_, &gravityStart_, &gravityVar_, &gravityEnd_, &sizeStart_, &sizeVar_,
                       &sizeEnd_, &alphaStart_, &alphaVar_, &alphaEnd_}) {
    stream.Serialize(*value);
  }
  if (version > 2) {
    std::uint32_t poolSize = maxParticles_;
    stream.Serialize(poolSize);
    if (!stream.IsWriting() && poolSize != maxParticles_) AllocateStorage(poolSize);
    for (std::uint32_t* value : {&mapStyle_, &mapOffset_, &mapCount_}) stream.Serialize(*value);
    for (float* value : {&speedMulStart_, &speedMulVar_, &speedMulEnd_, &positionVar_, &directionVar_, &rotStart_,
                         &rotVar_, &spinStart_, &spinVar_, &spinEnd_}) {
      stream.Serialize(*value);
    }
  }
  if ((particleFlags_ & kParticleUseTable) != 0 && version > 2) SerializeTables(stream);
  if ((particleFlags_ & kParticleUseSpawnTrail) != 0 && version > 3) {
    stream.Serialize(spawnTrailDelayStart_);
    stream.Serialize(spawnTrailDelayEnd_);
    stream.Serialize(inheritModes_);
  }
  for (Color* colour : {&colorStart_, &colorAddVar_, &colorEnd_}) stream.Serialize(*colour);
  for (float* value : {&speed_, &speedVar_, &life_, &lifeVar_, &theta_}) stream.Serialize(*value);
  stream.Serialize(reserved_);
  material_.Serialize(stream);
  if (version >= kFirstVersionWithBox) stream.Serialize(boxSize_);
  if (!stream.IsWriting()) {
    if (version < kFirstVersionWithBox) particleFlags_ |= kParticleDistanceFade;
    if (version <= kLastVersionWithoutCullFlag) particleFlags_ |= kParticleSphereCull;
  }
  return !stream.Failed();
}

void ParticleSystem::SerializeTables(SerializeStream& stream) {
  for (ParticleCurve* table : {&sizeTable_, &fadeTable_, &speedTable_}) stream.Serialize(*table);
  for (float* value : {&tableSpeedOffset_, &tableSpeedMul_, &tableSizeOffset_, &tableSizeMul_}) {
    stream.Serialize(*value);
  }
  std::uint32_t unused[kTableReservedWords] = {};
  stream.Serialize(unused);
}

void RegisterParticleSystemCommands() {
  CommandRegistry& registry = BuildCommandRegistry();
  RegisterCommandTable<ParticleSystem>(registry, kClassParticleSystem, ParticleSystem::Commands());
  const std::int32_t nineFloats[9] = {kValueFloat, kValueFloat, kValueFloat, kValueFloat, kValueFloat,
                                      kValueFloat, kValueFloat, kValueFloat, kValueFloat};
  for (const auto& entry : ParticleSystem::CurveCommands()) {
    registry.RegisterCommand(entry.id, entry.name, kClassParticleSystem, entry.flags, nineFloats);
  }
  GetObjectFactory().RegisterType<ParticleSystem>(kClassParticleSystem);
}

}  // namespace tge
