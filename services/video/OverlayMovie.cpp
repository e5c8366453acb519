#include "services/video/OverlayMovie.h"

#include <chrono>
#include <thread>
#include <vector>

#include "platform/audio/StreamVoice.h"
#include "platform/video/VideoPlayer.h"
#include "platform/window/EventPump.h"
#include "services/EngineServices.h"
#include "services/ErrorMessage.h"
#include "services/RenderCommand.h"
#include "services/RenderDevice.h"
#include "services/render/EmptyTexture.h"
#include "services/render/MaterialType.h"
#include "services/render/PrimitivePools.h"
#include "services/resources/MaterialResource.h"
#include "services/sound/SoundSystem.h"
#include "services/video/VideoResource.h"

namespace tge {
namespace {

constexpr double kSkipTestInterval = 0.05;
constexpr auto kIdleSleep = std::chrono::milliseconds(5);
constexpr int kBlackFrames = 2;
constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::size_t kSoundBuffers = 4;
// Sound is queued in pieces of a tenth of a second.
constexpr std::uint32_t kSoundPiecesPerSecond = 10;

class OverlayMovie {
 public:
  OverlayMovie(EngineServices& services, RenderDevice& device, std::unique_ptr<video::MediaFile> file);
  ~OverlayMovie();
  int Play(const MovieSkipTest& skip);

 private:
  bool Ready() const { return material_ && texture_; }
  // One frame on the back buffer: black, with the picture when asked.
  void Show(bool picture);
  void DrawPicture();
  void FeedSound();

  EngineServices& services_;
  RenderDevice& device_;
  std::unique_ptr<video::MediaFile> file_;
  ResourceRef texture_;
  ResourceRef material_;
  std::unique_ptr<audio::StreamVoice> voice_;
  std::unique_ptr<video::VideoPlayer> player_;
  video::VideoFrame frame_;
  std::vector<std::uint8_t> sound_;
};

OverlayMovie::OverlayMovie(EngineServices& services, RenderDevice& device, std::unique_ptr<video::MediaFile> file)
    : services_(services), device_(device), file_(std::move(file)) {
  const video::MediaInfo& info = file_->Info();
  texture_ = CreateEmptyTexture(services.GetResources(), device, std::uint32_t(info.width), std::uint32_t(info.height),
                                gfx::kFormatA8R8G8B8, false);
  if (!texture_) return;
  material_ = services.GetResources().CreateMaterial();
  SetMaterialTexture(material_.Get(), 0, texture_.Get());
  SetMaterialFog(material_.Get(), false);
  SoundSystem* sound = GetRunningSoundSystem();
  if (sound && info.audioFormat.IsPlayable()) {
    voice_ = sound->GetDevice().CreateStreamVoice(info.audioFormat, audio::VoiceMode::Plain, kSoundBuffers);
  }
}

OverlayMovie::~OverlayMovie() {
  if (voice_) voice_->Stop();
  player_.reset();
}

int OverlayMovie::Play(const MovieSkipTest& skip) {
  if (!Ready()) return 0;
  platform::EventPump* pump = services_.GetEventPump();
  for (int i = 0; i < kBlackFrames; ++i) Show(false);
  // The skip test is paced by the clock that paces the pictures.
  const std::shared_ptr<const video::PlaybackClock>& clock = services_.GetVideoTextures().GetClock();
  player_ = std::make_unique<video::VideoPlayer>(std::move(file_), clock, false);
  double nextSkipTest = clock->Now();
  for (;;) {
    if (pump) pump->PumpEvents();
    if (pump && pump->QuitRequested()) break;
    if (player_->TakeFrame(frame_)) Show(true);
    FeedSound();
    // Counted from now, so a stalled loop does not make up missed calls at once.
    const double now = clock->Now();
    if (now >= nextSkipTest) {
      nextSkipTest = now + kSkipTestInterval;
      if (skip && skip()) break;
    }
    if (player_->Ended()) break;
    std::this_thread::sleep_for(kIdleSleep);
  }
  for (int i = 0; i < kBlackFrames; ++i) Show(false);
  return 1;
}

void OverlayMovie::Show(bool picture) {
  gfx::Texture* texture = static_cast<TextureResource*>(texture_.Get())->GetTexture();
  if (picture && texture) UploadVideoFrame(frame_, *texture);
  if (!device_.HandleDeviceLost()) return;
  gfx::Device& device = device_.Device();
  device.BeginScene();
  device.Clear(gfx::kClearTarget | gfx::kClearZBuffer, kBlack, 1.0f, 0);
  if (picture) DrawPicture();
  device.EndScene();
  device.Present();
}

// Clamped, so the stretched edges do not blend in the opposite side.
void OverlayMovie::DrawPicture() {
  const gfx::Viewport view = device_.GetViewport();
  const float left = float(view.x) - 0.5f, top = float(view.y) - 0.5f;
  const float right = left + float(view.width), bottom = top + float(view.height);
  const ScreenVertex quad[4] = {{left, top, 0.5f, 1, kWhite, 0, 0},
                                {right, top, 0.5f, 1, kWhite, 1, 0},
                                {right, bottom, 0.5f, 1, kWhite, 1, 1},
                                {left, bottom, 0.5f, 1, kWhite, 0, 1}};
  const std::uint32_t addressU = device_.Device().GetSamplerState(0, gfx::kSampAddressU);
  const std::uint32_t addressV = device_.Device().GetSamplerState(0, gfx::kSampAddressV);
  device_.SetSamplerStateCached(0, gfx::kSampAddressU, gfx::kAddressClamp);
  device_.SetSamplerStateCached(0, gfx::kSampAddressV, gfx::kAddressClamp);
  ApplyMaterial(device_, ResourceCast<MaterialResource>(material_.Get()), nullptr, 1.0f);
  device_.GetPrimitivePools().Draw(device_, quad, kScreenVertexFormat, kEngineQuadList, 1, 0);
  device_.SetSamplerStateCached(0, gfx::kSampAddressU, addressU);
  device_.SetSamplerStateCached(0, gfx::kSampAddressV, addressV);
}

void OverlayMovie::FeedSound() {
  player_->TakeAudio(sound_);
  if (!voice_) {
    sound_.clear();
    return;
  }
  const audio::PcmFormat& format = voice_->Format();
  const std::size_t piece = format.BytesPerSecond() / kSoundPiecesPerSecond / format.FrameBytes() * format.FrameBytes();
  std::size_t used = 0;
  while (voice_->FreeBuffers() > 0 && sound_.size() - used >= piece) {
    voice_->Queue(std::span<const std::uint8_t>(sound_.data() + used, piece));
    used += piece;
  }
  sound_.erase(sound_.begin(), sound_.begin() + std::ptrdiff_t(used));
  if (used > 0 && !voice_->IsPlaying()) voice_->Play();
}

}  // namespace

int PlayOverlayMovie(EngineServices& services, const std::string& path, const MovieSkipTest& skip) {
  RenderDevice* device = GetRenderDevice();
  if (!device) return FormatErrorMessage("Movie %s: no render device is open", path.c_str());
  std::string error;
  std::unique_ptr<video::MediaFile> file = video::MediaFile::Open(path, GetRunningSoundSystem() != nullptr, error);
  if (!file) return FormatErrorMessage("Movie %s", error.c_str());
  if (file->Info().width <= 0 || file->Info().height <= 0) return FormatErrorMessage("Movie %s: no picture size", path.c_str());
  return OverlayMovie(services, *device, std::move(file)).Play(skip);
}

}  // namespace tge
