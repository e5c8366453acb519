// A render device on Mesa's software GL in the one hidden test window, with
// a view, a queue, post effects
// and the frame render around it, and small fixtures for materials,
// textures and meshes.
#pragma once
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstring>
#include <memory>

#include "platform/gfx/GlDevice.h"
#include "services/RenderDevice.h"
#include "services/ResourceDatabase.h"
#include "services/render/FrameRender.h"
#include "services/render/PostEffects.h"
#include "services/render/RenderQueue.h"
#include "services/render/ViewState.h"
#include "services/resources/MaterialResource.h"
#include "services/resources/MeshResource.h"
#include "services/resources/TextureResource.h"
#include "tests/services/TestBytes.h"
#include "tests/support/GlRenderDeviceBackend.h"
#include "tests/support/GlTestWindow.h"

namespace tge::test {

class GlFrameFixture : public ::testing::Test {
 protected:
  static constexpr int kSize = 64;

  void Open(int width, int height) {
    SDL_Window* window = SharedGlTestWindow(kSize, kSize);
    ASSERT_NE(window, nullptr) << "SDL video or its window could not start: " << SDL_GetError();
    device_ = std::make_unique<RenderDevice>(WindowRenderDeviceBackend(window));
    StartupSettings settings;
    settings.fullScreen = 0;
    settings.width = width;
    settings.height = height;
    ASSERT_EQ(device_->InitRenderDevice(settings), 1);
    width_ = width;
    db_.SetDataFolder(folder_.Folder());
  }

  void SetUp() override { Open(kSize, kSize); }
  void TearDown() override { post_.Stop(); }

  RenderDevice& rd() { return *device_; }
  gfx::GlDevice& gl() { return static_cast<gfx::GlDevice&>(device_->Device()); }
  std::uint32_t Probe(int x, int y) {
    return gl().ReadPixels().at(std::size_t(y) * std::size_t(width_) + std::size_t(x)) & 0xFFFFFF;
  }

  // One whole frame of what the test queued.
  void Frame(const PostEffectActions& actions = {}) {
    ASSERT_EQ(frame_.BeginFrame(rd()), 1);
    queue_.Reset();
    queue();
    frame_.RenderFrame(rd(), actions);
    frame_.EndFrame(&rd());
  }

  ResourceRef Material(std::uint32_t type, Resource* texture = nullptr, std::uint32_t flags = 0) {
    ResourceRef material = db_.CreateMaterial();
    SetMaterialType(material.Get(), type);
    if (texture) SetMaterialTexture(material.Get(), 0, texture);
    static_cast<MaterialResource*>(material.Get())->flags |= flags;
    return material;
  }

  // A one-colour 32-bit TGA in the data folder, read in its own format.
  ResourceRef PlainTexture(const std::string& name, std::uint32_t argb) {
    Bytes tga;
    tga.Raw("\0\0\2\0\0\0\0\0", 8).U16(0).U16(0).U16(4).U16(4);
    const std::uint8_t depth[2] = {32, 0x28};
    tga.Raw(depth, 2);
    for (int i = 0; i < 16; ++i) tga.U32(argb);
    folder_.Write("Data/" + name, tga.data);
    auto texture = std::make_unique<TextureResource>();
    texture->SetName(name);
    texture->SetFileName(name);
    texture->storageMode = kTextureKeepFileFormat;
    return db_.AdoptResource(std::move(texture));
  }

  // A one-part mesh of one square of the given half size in the z = 0 plane,
  // facing -z, coloured, with a bounding sphere around it.
  std::unique_ptr<MeshResource> Square(float half, std::uint32_t colour, Resource* material) {
    struct Vertex {
      float x, y, z;
      std::uint32_t colour;
    };
    const Vertex vertices[4] = {{-half, half, 0, colour}, {half, half, 0, colour}, {half, -half, 0, colour},
                                {-half, -half, 0, colour}};
    const std::uint16_t indices[6] = {0, 1, 2, 2, 3, 0};
    auto mesh = std::make_unique<MeshResource>();
    mesh->parts.resize(1);
    MeshPart& part = mesh->parts[0];
    part.geometry = CreateGeometryBuffers(rd().Device(), 4, 2, 0x42, sizeof(Vertex), 0, gfx::kPoolManaged);
    Fill(*part.geometry->vertexBuffer, vertices, sizeof vertices);
    Fill(*part.geometry->indexBuffer, indices, sizeof indices);
    part.material = material;
    part.radius = half * 1.5f;
    return mesh;
  }

  static void Fill(gfx::Buffer& buffer, const void* data, std::size_t size) {
    void* out = nullptr;
    ASSERT_EQ(buffer.Lock(0, 0, 0, &out), gfx::Result::kOk);
    std::memcpy(out, data, size);
    buffer.Unlock();
  }

  // Set by each test: what a frame queues.
  std::function<void()> queue = [] {};

  TempDataFolder folder_;
  ResourceDatabase db_;
  std::unique_ptr<RenderDevice> device_;
  int width_ = kSize;
  ViewState view_;
  RenderQueue queue_{view_};
  PostEffects post_;
  FrameRender frame_{queue_, view_, post_};
};

}  // namespace tge::test
