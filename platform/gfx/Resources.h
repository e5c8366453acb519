// Buffers and textures as the device hands them out. Each keeps its contents
// in memory (textures: every face and level in their storage format), so
// locks and read-backs work on any back-end; a back-end attaches its own
// copy (GPU objects) and uploads what a lock changed. Render targets have no
// memory copy and cannot be locked.
//
// Every resource reports its end to the tracker of the device that made it,
// so the device can unbind it and knows which default-pool objects are still
// alive at a reset. A resource may outlive its device; it then only frees
// its memory.
#pragma once
#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/gfx/Types.h"

namespace tge::gfx {

class Resource;

// A back-end's own data for one resource (for instance its GL object names).
class BackendData {
 public:
  virtual ~BackendData() = default;
};

class ResourceListener {
 public:
  virtual ~ResourceListener() = default;
  virtual void OnResourceReleased(Resource& resource) = 0;
};

// Shared by a device and its resources; the device detaches itself when it goes.
class ResourceTracker {
 public:
  explicit ResourceTracker(ResourceListener* listener) : listener_(listener) {}
  void Detach() { listener_ = nullptr; }
  void Add(Resource& resource) { live_.insert(&resource); }
  void Remove(Resource& resource);
  const std::unordered_set<Resource*>& Live() const { return live_; }
  std::size_t CountInPool(std::uint32_t pool) const;

 private:
  ResourceListener* listener_;
  std::unordered_set<Resource*> live_;
};

class Resource {
 public:
  Resource(const Resource&) = delete;
  Resource& operator=(const Resource&) = delete;
  virtual ~Resource();

  std::uint32_t Usage() const { return usage_; }
  std::uint32_t Pool() const { return pool_; }

  BackendData* Backend() const { return backend_.get(); }
  void SetBackend(std::unique_ptr<BackendData> data) { backend_ = std::move(data); }

 protected:
  Resource(std::shared_ptr<ResourceTracker> tracker, std::uint32_t usage, std::uint32_t pool);

 private:
  std::shared_ptr<ResourceTracker> tracker_;
  std::uint32_t usage_;
  std::uint32_t pool_;
  std::unique_ptr<BackendData> backend_;
};

// Byte range [begin, end) changed since the back-end last took it.
struct DirtyRange {
  std::uint32_t begin = 0, end = 0;
  bool discard = false;  // the whole old contents may be dropped
  bool Empty() const { return begin >= end; }
};

class Buffer : public Resource {
 public:
  // size 0 with offset 0 locks the whole buffer. A range outside the buffer,
  // or a second lock before Unlock, is an invalid call.
  Result Lock(std::uint32_t offset, std::uint32_t size, std::uint32_t flags, void** data);
  Result Unlock();
  bool IsLocked() const { return locked_; }
  std::uint32_t Size() const { return std::uint32_t(bytes_.size()); }
  std::span<const std::uint8_t> Bytes() const { return bytes_; }
  DirtyRange TakeDirtyRange();
  // Grows with every unlock of a lock that could write.
  std::uint64_t Writes() const { return writes_; }

 protected:
  Buffer(std::shared_ptr<ResourceTracker> tracker, std::uint32_t size, std::uint32_t usage,
         std::uint32_t pool);

 private:
  std::vector<std::uint8_t> bytes_;
  bool locked_ = false;
  bool lockWrites_ = false;
  std::uint32_t lockBegin_ = 0, lockEnd_ = 0;
  DirtyRange dirty_;
  std::uint64_t writes_ = 0;
};

class VertexBuffer : public Buffer {
 public:
  VertexBuffer(std::shared_ptr<ResourceTracker> tracker, std::uint32_t size, std::uint32_t usage,
               std::uint32_t format, std::uint32_t pool)
      : Buffer(std::move(tracker), size, usage, pool), format_(format) {}
  std::uint32_t VertexFormat() const { return format_; }

 private:
  std::uint32_t format_;
};

class IndexBuffer : public Buffer {
 public:
  IndexBuffer(std::shared_ptr<ResourceTracker> tracker, std::uint32_t size, std::uint32_t usage,
              std::uint32_t format, std::uint32_t pool)
      : Buffer(std::move(tracker), size, usage, pool), format_(format) {}
  std::uint32_t IndexFormat() const { return format_; }
  std::uint32_t IndexSize() const;
  std::uint32_t IndexCount() const { return Size() / IndexSize(); }
  std::uint32_t IndexAt(std::uint32_t i) const;

  // The lowest and highest of count indices from start, which must lie in
  // the buffer. A mesh draws the same range frame after frame, so the last
  // answer is kept until the contents change.
  struct IndexRange {
    std::uint32_t lowest = 0, highest = 0;
  };
  IndexRange RangeOf(std::uint32_t start, std::uint32_t count) const;

 private:
  struct RangeCache {
    std::uint64_t writes = ~std::uint64_t{0};
    std::uint32_t start = 0, count = 0;
    IndexRange range;
  };

  std::uint32_t format_;
  mutable RangeCache rangeCache_;
};

struct LockedRect {
  std::uint32_t pitch = 0;
  void* bits = nullptr;
};

struct TextureDesc {
  std::uint32_t width = 0, height = 0;
  std::uint32_t format = 0;  // the storage format, see StorageFormat
};

enum class TextureKind { k2D, kCube };

// A 2D or cube texture with its mip chain. Locks may come from another
// thread than drawing (a video decoder fills a texture): the contents and
// the dirty marks are guarded by one mutex per texture.
class Texture : public Resource {
 public:
  Texture(std::shared_ptr<ResourceTracker> tracker, TextureKind kind, std::uint32_t width,
          std::uint32_t height, std::uint32_t levels, std::uint32_t usage, std::uint32_t format,
          std::uint32_t pool);

  TextureKind Kind() const { return kind_; }
  std::uint32_t FaceCount() const { return kind_ == TextureKind::kCube ? 6 : 1; }
  std::uint32_t LevelCount() const { return levels_; }
  Result GetLevelDesc(std::uint32_t level, TextureDesc* desc) const;
  bool IsRenderTarget() const;

  Result LockRect(std::uint32_t level, std::uint32_t flags, LockedRect* locked,
                  std::uint32_t face = 0);
  Result UnlockRect(std::uint32_t level, std::uint32_t face = 0);

  // Asks the back-end to rebuild levels 1 and up from level 0 (render
  // targets with automatic mip generation).
  void GenerateMipSubLevels() { mipsRequested_ = true; }
  bool TakeMipRequest() { return std::exchange(mipsRequested_, false); }

  // For back-ends: calls fn(face, level, width, height, bytes) for every
  // changed image, then clears the marks; all under the texture's lock.
  template <typename Fn>
  void TakeDirtyImages(Fn&& fn);
  // A copy of one image's bytes (tests and read-backs).
  std::vector<std::uint8_t> ReadImage(std::uint32_t level, std::uint32_t face = 0) const;

 private:
  std::size_t ImageIndex(std::uint32_t face, std::uint32_t level) const {
    return face * levels_ + level;
  }

  TextureKind kind_;
  std::uint32_t width_, height_, levels_, format_;
  mutable std::mutex mutex_;
  std::vector<std::vector<std::uint8_t>> images_;  // face-major, then level
  std::vector<bool> locked_, dirty_;
  bool mipsRequested_ = false;
};

template <typename Fn>
void Texture::TakeDirtyImages(Fn&& fn) {
  std::lock_guard lock(mutex_);
  for (std::uint32_t face = 0; face < FaceCount(); ++face) {
    for (std::uint32_t level = 0; level < levels_; ++level) {
      const std::size_t i = ImageIndex(face, level);
      if (!dirty_[i] || locked_[i]) continue;
      fn(face, level, std::max(1u, width_ >> level), std::max(1u, height_ >> level),
         std::span<const std::uint8_t>(images_[i]));
      dirty_[i] = false;
    }
  }
}

// The format a texture of the asked format is kept in: block-compressed
// formats are held decompressed as A8R8G8B8; 0 for formats not supported.
std::uint32_t StorageFormat(std::uint32_t format);
std::uint32_t BytesPerPixel(std::uint32_t storageFormat);
// Levels of a full chain down to 1 x 1.
std::uint32_t FullMipCount(std::uint32_t width, std::uint32_t height);

}  // namespace tge::gfx
