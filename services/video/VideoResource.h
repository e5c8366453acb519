// Video resources (type 6): a movie file that plays into the first texture
// entry of its material, so it shows on whatever draws with that material.
// A video is a loose file under the data folder, never an archive entry.
//
// Load opens the file, puts a texture of the picture's size into the
// material's first entry and starts playing from the start, looping, in
// step with its database's video clock; the picture is decoded on the
// player's own thread and copied into the texture on the main thread by
// UploadFrame, once per frame. Texture videos are silent. Unload stops and
// joins the player before the texture goes, and gives the entry back what
// it held.
#pragma once
#include <memory>

#include "platform/video/MediaFile.h"
#include "services/resources/Resource.h"

namespace tge {

class EmptyTexture;
class VideoTextures;
namespace gfx {
class Texture;
}
namespace video {
class VideoPlayer;
}

class VideoResource : public Resource {
 public:
  static constexpr int kType = kVideoResource;

  VideoResource();
  ~VideoResource() override;

  // 1 at once while playing. 0 with "Render File" when the file cannot be
  // opened or holds no video; 0 with the reason for a material without a
  // texture entry or showing another video, a picture without a size, or
  // no render device.
  int Load() override;
  int Unload() override;

  // Copies the newest due picture, if a new one came, into the texture.
  // Main thread only: the graphics device is not shared.
  void UploadFrame();
  bool IsPlaying() const { return player_ != nullptr; }
  // The texture the pictures go to while playing; null otherwise.
  Resource* GetVideoTexture() const;

  // Replaced by the file's duration when the video loads.
  float length = 0;
  Resource* material = nullptr;

 protected:
  bool SerializeFields(SerializeStream& stream, const ResourceDatabase& database) override;

 private:
  // 0 with the reason when the material cannot take the pictures.
  int CheckMaterial(const VideoTextures& playing) const;
  // Null with the reason when the file cannot be played.
  std::unique_ptr<video::MediaFile> OpenFile() const;

  std::unique_ptr<video::VideoPlayer> player_;
  std::unique_ptr<EmptyTexture> texture_;
  // What the material's first entry held before the video took it.
  Resource* replacedEntry_ = nullptr;
  video::VideoFrame frame_;
};

// Copies a decoded picture into level 0 of an A8R8G8B8 texture, as much of
// it as fits; false when the texture cannot be locked.
bool UploadVideoFrame(const video::VideoFrame& frame, gfx::Texture& texture);

}  // namespace tge
