// Turns the render queue of one frame into pixels. BeginFrame clears the
// target (to the fog colour while fog is on); RenderFrame draws the scene
// lists with the queued lights, composes the post effects when they are on,
// then draws text and screen quads over the result; EndFrame empties the
// queue and presents. The frame step calls them in that order, with the
// object passes that fill the queue between BeginFrame and RenderFrame.
//
// Spaces will add their own drawing to the scene pass; until then the scene
// is what was queued.
#pragma once
#include <cstdint>

namespace tge {

class PostEffects;
class RenderDevice;
class RenderQueue;
class ViewState;
struct PostEffectActions;
struct RenderCommand;

class FrameRender {
 public:
  FrameRender(RenderQueue& queue, const ViewState& view, PostEffects& postEffects)
      : queue_(queue), view_(view), postEffects_(postEffects) {}

  // 0 while the device is lost, else 1.
  int BeginFrame(RenderDevice& device);
  // Terrain is drawn in wireframe while terrainWireframe is set.
  int RenderFrame(RenderDevice& device, const PostEffectActions& actions, bool terrainWireframe = false);
  // Empties the queue; ends the scene and presents when there is a device.
  int EndFrame(RenderDevice* device);

 private:
  void SetFogStates(RenderDevice& device) const;
  std::uint32_t EnableLights(RenderDevice& device) const;
  void DrawScene(RenderDevice& device) const;
  void DrawSceneCommand(RenderDevice& device, const RenderCommand& command) const;
  void DrawOverlay(RenderDevice& device) const;
  void DrawOverlayCommand(RenderDevice& device, const RenderCommand& command) const;

  RenderQueue& queue_;
  const ViewState& view_;
  PostEffects& postEffects_;
  bool terrainWireframe_ = false;
};

}  // namespace tge
