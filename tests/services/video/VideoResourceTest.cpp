// Video resources on the recording device: the texture they put into their
// material, the pictures the services' frame uploads into it by a clock the
// test steps, what Unload gives back, the files and materials refused, and
// the library record.
#include <gtest/gtest.h>

#include <filesystem>

#include "services/EngineServices.h"
#include "services/ErrorMessage.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/TextureResource.h"
#include "services/video/VideoResource.h"
#include "tests/services/TestBytes.h"
#include "tests/services/render/RecordingRenderDevice.h"
#include "tests/support/GlTestWindow.h"
#include "tests/support/ManualClock.h"
#include "tests/support/TestMovieFile.h"
#include "tests/support/WaitFor.h"

namespace tge {
namespace {

using test::kMovieBlue;
using test::kMovieRed;
using test::kMovieTolerance;

std::size_t ThreadCount() {
  return std::size_t(std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                                   std::filesystem::directory_iterator()));
}

class VideoResourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    services_.SetSubsystem(ServiceSlot::kRenderDevice,
                           std::make_unique<RenderDevice>(test::RecordingRenderDevice::MakeBackend({})));
    StartupSettings settings = test::RecordingRenderDevice::Windowed();
    settings.renderDeviceEnabled = 1;
    ASSERT_EQ(services_.Initialize(&settings), 1) << GetErrorMessage();
    services_.SetDataFolder(folder_.Folder());
    services_.GetVideoTextures().SetClock(clock_);
    ASSERT_FALSE(test::TestMoviePath().empty());
    std::filesystem::copy_file(test::TestMoviePath(), folder_.Path("Data/movie.mpg"));
    material_ = Register<MaterialResource>(kMaterialResource, "Screen");
    original_ = Register<TextureResource>(kTextureResource, "Poster");
    material_->textures = {original_};
    video_ = Register<VideoResource>(kVideoResource, "Intro");
    video_->SetFileName("movie.mpg");
    video_->material = material_;
  }

  template <class T>
  T* Register(int type, const std::string& name) {
    std::unique_ptr<Resource> resource = services_.GetResources().CreateResource(type);
    resource->SetName(name);
    auto* typed = static_cast<T*>(resource.get());
    services_.GetResources().RegisterResource(std::move(resource));
    return typed;
  }

  std::uint32_t TexturePixel(int x, int y) const {
    auto* texture = static_cast<TextureResource*>(video_->GetVideoTexture());
    const std::vector<std::uint8_t> image = texture->GetTexture()->ReadImage(0);
    const std::size_t at = (std::size_t(y) * texture->width + std::size_t(x)) * 4;
    return std::uint32_t(image[at]) | std::uint32_t(image[at + 1]) << 8 | std::uint32_t(image[at + 2]) << 16 |
           std::uint32_t(image[at + 3]) << 24;
  }

  // Runs frames until the texture's top rows show `top` and its bottom rows
  // `bottom`; false only when the player hangs.
  bool FramesUntil(std::uint32_t top, std::uint32_t bottom) {
    return test::WaitFor([&] {
      if (services_.BeginFrame()) services_.EndFrame();
      return test::NearArgb(TexturePixel(1, 1), top, kMovieTolerance) &&
             test::NearArgb(TexturePixel(62, 46), bottom, kMovieTolerance);
    });
  }

  test::TempDataFolder folder_;
  EngineServices services_;
  std::shared_ptr<test::ManualClock> clock_ = std::make_shared<test::ManualClock>();
  MaterialResource* material_ = nullptr;
  TextureResource* original_ = nullptr;
  VideoResource* video_ = nullptr;
};

TEST_F(VideoResourceTest, PlaysIntoItsMaterialByTheClockAndGivesTheEntryBack) {
  const std::size_t threadsBefore = ThreadCount();
  ASSERT_EQ(video_->Load(), 1) << GetErrorMessage();
  EXPECT_EQ(video_->Load(), 1);
  EXPECT_NEAR(video_->length, 1.0f, 0.04f);
  auto* texture = static_cast<TextureResource*>(video_->GetVideoTexture());
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(material_->textures[0], texture);
  EXPECT_EQ(texture->width, 64);
  EXPECT_EQ(texture->height, 48);
  EXPECT_EQ(services_.GetVideoTextures().GetPlayingCount(), 1u);

  EXPECT_TRUE(FramesUntil(kMovieRed, kMovieBlue));
  clock_->Set(0.6);
  EXPECT_TRUE(FramesUntil(kMovieBlue, kMovieRed));
  clock_->Set(1.05);
  EXPECT_TRUE(FramesUntil(kMovieRed, kMovieBlue));

  EXPECT_EQ(video_->Unload(), 1);
  EXPECT_EQ(material_->textures[0], original_);
  EXPECT_EQ(video_->GetVideoTexture(), nullptr);
  EXPECT_FALSE(video_->IsPlaying());
  EXPECT_EQ(services_.GetVideoTextures().GetPlayingCount(), 0u);
  EXPECT_EQ(ThreadCount(), threadsBefore);
}

TEST_F(VideoResourceTest, ServicesShutdownStopsAPlayingVideo) {
  const std::size_t threadsBefore = ThreadCount();
  ASSERT_EQ(video_->Load(), 1) << GetErrorMessage();
  services_.Shutdown();
  EXPECT_EQ(ThreadCount(), threadsBefore);
}

TEST_F(VideoResourceTest, RefusedFilesAndMaterialsLeaveNothingPlaying) {
  folder_.Write("Data/tone.wav", test::Bytes()
                                     .Raw("RIFF", 4).U32(40).Raw("WAVEfmt ", 8).U32(16).U16(1).U16(1)
                                     .U32(22050).U32(44100).U16(2).U16(16).Raw("data", 4).U32(4).U32(0)
                                     .data);
  std::vector<std::uint8_t> noise(4096);
  for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = std::uint8_t((i * 7919 + 13) % 251);
  folder_.Write("Data/noise.mpg", noise);
  MaterialResource* bare = Register<MaterialResource>(kMaterialResource, "Bare");
  const std::string noEntry = "Video Intro: its material has no texture entry";
  struct Case {
    const char* name;
    const char* file;
    Resource* material;
    std::string message;
  };
  const Case cases[] = {{"missing file", "gone.mpg", material_, "Render File"},
                        {"wave file", "tone.wav", material_, "Render File"},
                        {"random bytes", "noise.mpg", material_, "Render File"},
                        {"no texture entry", "movie.mpg", bare, noEntry},
                        {"missing material", "movie.mpg", nullptr, noEntry}};
  for (const Case& c : cases) {
    video_->SetFileName(c.file);
    video_->material = c.material;
    ClearErrorMessage();
    EXPECT_EQ(video_->Load(), 0) << c.name;
    EXPECT_EQ(GetErrorMessage(), c.message) << c.name;
    EXPECT_FALSE(video_->IsPlaying()) << c.name;
    EXPECT_EQ(material_->textures[0], original_) << c.name;
    EXPECT_TRUE(bare->textures.empty()) << c.name;
  }
  EXPECT_EQ(services_.GetVideoTextures().GetPlayingCount(), 0u);
}

TEST_F(VideoResourceTest, ASecondVideoCannotTakeTheEntryOfAPlayingOne) {
  ASSERT_EQ(video_->Load(), 1) << GetErrorMessage();
  auto* second = Register<VideoResource>(kVideoResource, "Again");
  second->SetFileName("movie.mpg");
  second->material = material_;
  EXPECT_EQ(second->Load(), 0);
  EXPECT_STREQ(GetErrorMessage(), "Video Again: its material shows video Intro already");
  EXPECT_EQ(material_->textures[0], video_->GetVideoTexture());
  video_->Unload();
  EXPECT_EQ(material_->textures[0], original_);
}

TEST(VideoResourceLibrary, RecordKeepsLengthAndMaterial) {
  test::TempDataFolder folder;
  const std::string path = folder.Folder() + "Data\\Library.sli";
  {
    EngineServices services;
    ResourceDatabase& db = services.GetResources();
    std::unique_ptr<Resource> material = db.CreateResource(kMaterialResource);
    material->SetName("Screen");
    Resource* screen = material.get();
    db.RegisterResource(std::move(material));
    std::unique_ptr<Resource> video = db.CreateResource(kVideoResource);
    video->SetName("Intro");
    video->SetFileName("intro.mpg");
    static_cast<VideoResource*>(video.get())->length = 12.5f;
    static_cast<VideoResource*>(video.get())->material = screen;
    db.RegisterResource(std::move(video));
    ASSERT_EQ(services.SerializeLibrary(path, 0), 1) << GetErrorMessage();
  }
  EngineServices services;
  ASSERT_EQ(services.SerializeLibrary(path, 1), 1) << GetErrorMessage();
  auto* video = ResourceCast<VideoResource>(services.GetResources().LookupResource("Intro", kVideoResource));
  ASSERT_NE(video, nullptr);
  EXPECT_EQ(video->GetFileName(), "intro.mpg");
  EXPECT_FLOAT_EQ(video->length, 12.5f);
  EXPECT_EQ(video->material, services.GetResources().LookupResource("Screen", kMaterialResource));
}

}  // namespace
}  // namespace tge
