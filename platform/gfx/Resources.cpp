#include "platform/gfx/Resources.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/gfx/States.h"

namespace tge::gfx {

void ResourceTracker::Remove(Resource& resource) {
  live_.erase(&resource);
  if (listener_ != nullptr) listener_->OnResourceReleased(resource);
}

std::size_t ResourceTracker::CountInPool(std::uint32_t pool) const {
  std::size_t count = 0;
  for (const Resource* resource : live_) count += resource->Pool() == pool ? 1 : 0;
  return count;
}

Resource::Resource(std::shared_ptr<ResourceTracker> tracker, std::uint32_t usage,
                   std::uint32_t pool)
    : tracker_(std::move(tracker)), usage_(usage), pool_(pool) {
  tracker_->Add(*this);
}

Resource::~Resource() { tracker_->Remove(*this); }

Buffer::Buffer(std::shared_ptr<ResourceTracker> tracker, std::uint32_t size, std::uint32_t usage,
               std::uint32_t pool)
    : Resource(std::move(tracker), usage, pool), bytes_(size) {}

Result Buffer::Lock(std::uint32_t offset, std::uint32_t size, std::uint32_t flags, void** data) {
  if (data == nullptr || locked_) return Result::kInvalidCall;
  if (size == 0 && offset == 0) size = Size();
  if (std::uint64_t(offset) + size > Size()) return Result::kInvalidCall;
  locked_ = true;
  lockWrites_ = (flags & kLockReadOnly) == 0;
  lockBegin_ = offset;
  lockEnd_ = offset + size;
  if (flags & kLockDiscard) dirty_.discard = true;
  *data = bytes_.data() + offset;
  return Result::kOk;
}

Result Buffer::Unlock() {
  if (!locked_) return Result::kInvalidCall;
  locked_ = false;
  if (lockWrites_) ++writes_;
  if (lockWrites_ && lockBegin_ < lockEnd_) {
    dirty_.begin = dirty_.Empty() ? lockBegin_ : std::min(dirty_.begin, lockBegin_);
    dirty_.end = std::max(dirty_.end, lockEnd_);
  }
  return Result::kOk;
}

DirtyRange Buffer::TakeDirtyRange() { return std::exchange(dirty_, DirtyRange{}); }

std::uint32_t IndexBuffer::IndexSize() const { return format_ == kFormatIndex32 ? 4 : 2; }

std::uint32_t IndexBuffer::IndexAt(std::uint32_t i) const {
  const std::uint8_t* p = Bytes().data() + std::size_t(i) * IndexSize();
  if (IndexSize() == 2) return std::uint32_t(p[0] | p[1] << 8);
  std::uint32_t value;
  std::memcpy(&value, p, 4);
  return value;
}

IndexBuffer::IndexRange IndexBuffer::RangeOf(std::uint32_t start, std::uint32_t count) const {
  RangeCache& cache = rangeCache_;
  if (cache.writes == Writes() && cache.start == start && cache.count == count) return cache.range;
  IndexRange range{~std::uint32_t{0}, 0};
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint32_t index = IndexAt(start + i);
    range.lowest = std::min(range.lowest, index);
    range.highest = std::max(range.highest, index);
  }
  cache = {Writes(), start, count, range};
  return range;
}

std::uint32_t StorageFormat(std::uint32_t format) {
  switch (format) {
    case kFormatA8R8G8B8: case kFormatX8R8G8B8: case kFormatR5G6B5: case kFormatX1R5G5B5:
    case kFormatA1R5G5B5: case kFormatA4R4G4B4:
      return format;
    case kFormatDxt1: case kFormatDxt3: case kFormatDxt5:
      return kFormatA8R8G8B8;
    default:
      return 0;
  }
}

std::uint32_t BytesPerPixel(std::uint32_t storageFormat) {
  return storageFormat == kFormatA8R8G8B8 || storageFormat == kFormatX8R8G8B8 ? 4 : 2;
}

std::uint32_t FullMipCount(std::uint32_t width, std::uint32_t height) {
  return std::uint32_t(std::bit_width(std::max({width, height, 1u})));
}

Texture::Texture(std::shared_ptr<ResourceTracker> tracker, TextureKind kind, std::uint32_t width,
                 std::uint32_t height, std::uint32_t levels, std::uint32_t usage,
                 std::uint32_t format, std::uint32_t pool)
    : Resource(std::move(tracker), usage, pool),
      kind_(kind),
      width_(width),
      height_(height),
      levels_(levels == 0 ? FullMipCount(width, height) : std::min(levels, FullMipCount(width, height))),
      format_(StorageFormat(format)) {
  const std::size_t count = std::size_t(FaceCount()) * levels_;
  images_.resize(IsRenderTarget() ? 0 : count);
  locked_.assign(count, false);
  dirty_.assign(count, !IsRenderTarget());
  for (std::uint32_t face = 0; face < FaceCount() && !IsRenderTarget(); ++face) {
    for (std::uint32_t level = 0; level < levels_; ++level) {
      images_[ImageIndex(face, level)].assign(std::size_t(std::max(1u, width_ >> level)) *
                                                  std::max(1u, height_ >> level) *
                                                  BytesPerPixel(format_), 0);
    }
  }
}

bool Texture::IsRenderTarget() const { return (Usage() & kUsageRenderTarget) != 0; }

Result Texture::GetLevelDesc(std::uint32_t level, TextureDesc* desc) const {
  if (desc == nullptr || level >= levels_) return Result::kInvalidCall;
  *desc = {std::max(1u, width_ >> level), std::max(1u, height_ >> level), format_};
  return Result::kOk;
}

Result Texture::LockRect(std::uint32_t level, std::uint32_t, LockedRect* locked,
                         std::uint32_t face) {
  std::lock_guard lock(mutex_);
  if (locked == nullptr || IsRenderTarget() || level >= levels_ || face >= FaceCount()) {
    return Result::kInvalidCall;
  }
  const std::size_t i = ImageIndex(face, level);
  if (locked_[i]) return Result::kInvalidCall;
  locked_[i] = true;
  locked->pitch = std::max(1u, width_ >> level) * BytesPerPixel(format_);
  locked->bits = images_[i].data();
  return Result::kOk;
}

Result Texture::UnlockRect(std::uint32_t level, std::uint32_t face) {
  std::lock_guard lock(mutex_);
  if (level >= levels_ || face >= FaceCount()) return Result::kInvalidCall;
  const std::size_t i = ImageIndex(face, level);
  if (!locked_[i]) return Result::kInvalidCall;
  locked_[i] = false;
  dirty_[i] = true;
  return Result::kOk;
}

std::vector<std::uint8_t> Texture::ReadImage(std::uint32_t level, std::uint32_t face) const {
  std::lock_guard lock(mutex_);
  if (IsRenderTarget() || level >= levels_ || face >= FaceCount()) return {};
  return images_[ImageIndex(face, level)];
}

}  // namespace tge::gfx
