#include "services/render/TextDrawing.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "services/RenderDevice.h"
#include "services/Utf8.h"
#include "services/render/PrimitivePools.h"
#include "services/resources/FontResource.h"

namespace tge {
namespace {

constexpr float kTextDepth = 1.0f;
constexpr float kTextDrawValue = 1.0f;
constexpr std::size_t kQuadVertices = 4;
// Pixel centres lie on whole coordinates: glyph columns start half a pixel
// to the left so that texels land on pixels.
constexpr float kTexelAlign = 0.5f;

// Up to the first 0, as the drawing and measuring read it.
std::u16string_view UntilEnd(std::u16string_view text) { return text.substr(0, text.find(u'\0')); }

std::u16string_view Decoded(std::string_view text) {
  static std::array<char16_t, kMaxDrawnCharacters + 1> buffer;
  const std::size_t count = DecodeUtf8(text, buffer);
  return {buffer.data(), count};
}

FontResource* LoadedFont(Resource* resource) {
  auto* font = ResourceCast<FontResource>(resource);
  return font && font->Load() && font->IsLoaded() ? font : nullptr;
}

void Measure(const FontResource& font, std::u16string_view text, bool stopAtNewline, const TextStyle& style,
             float& width, float& height) {
  const FontMetrics& metrics = font.GetMetrics();
  width = 0;
  height = style.scaleY * metrics.lineHeight;
  float line = 0;
  for (char16_t c : UntilEnd(text)) {
    if (c == u'\n') {
      if (stopAtNewline) break;
      line = 0;
      height += style.scaleY * (style.lineSpacing + metrics.lineGap);
      continue;
    }
    const Glyph& glyph = font.GetGlyph(c);
    line += style.scaleX * glyph.xOffset + style.scaleX * (style.charSpacing + glyph.advance);
    width = std::max(width, line);
  }
}

// Collects glyph quads in the font's scratch and draws them when it is full.
class GlyphBatch {
 public:
  GlyphBatch(RenderDevice& device, FontResource& font, const Matrix4* transform)
      : device_(device), font_(font), transform_(transform) {}
  ~GlyphBatch() { Flush(); }
  GlyphBatch(const GlyphBatch&) = delete;
  GlyphBatch& operator=(const GlyphBatch&) = delete;

  void Add(const std::array<ScreenVertex, kQuadVertices>& quad) {
    if (used_ + kQuadVertices > FontResource::kScratchVertices) Flush();
    std::copy(quad.begin(), quad.end(), font_.GetScratch() + used_);
    used_ += kQuadVertices;
  }

  void Flush() {
    if (used_ == 0) return;
    ScreenVertex* vertices = font_.GetScratch();
    if (transform_) {
      for (std::size_t i = 0; i < used_; ++i) {
        Vector3 p{vertices[i].x, vertices[i].y, vertices[i].z};
        Vector3TransformCoord(p, p, *transform_);
        vertices[i].x = p.x;
        vertices[i].y = p.y;
        vertices[i].z = p.z;
      }
    }
    device_.GetPrimitivePools().Draw(device_, vertices, kScreenVertexFormat, kEngineQuadList,
                                     std::uint32_t(used_ / kQuadVertices), kTextDrawValue);
    used_ = 0;
  }

 private:
  RenderDevice& device_;
  FontResource& font_;
  const Matrix4* transform_;
  std::size_t used_ = 0;
};

class TextLayout {
 public:
  TextLayout(const FontResource& font, const Vector3& position, const TextStyle& style)
      : font_(font), position_(position), style_(style), y_(std::floor(position.y) - font.GetMetrics().baseline) {}

  void AlignBlock(std::u16string_view text) {
    if (!(style_.flags & (kAlignCentreY | kAlignBottom))) return;
    float width = 0, height = 0;
    Measure(font_, text, false, style_, width, height);
    y_ = std::floor(style_.flags & kAlignCentreY ? y_ - height / 2 : y_ - height);
  }

  void StartLine(std::u16string_view rest) {
    pen_ = std::floor(position_.x);
    if (!(style_.flags & (kAlignCentreX | kAlignRight))) return;
    float width = 0, height = 0;
    Measure(font_, rest, true, style_, width, height);
    pen_ = std::floor(style_.flags & kAlignCentreX ? position_.x - width / 2 : position_.x - width);
  }

  void NextLine(std::u16string_view rest) {
    y_ += (style_.lineSpacing + font_.GetMetrics().lineGap) * style_.scaleY;
    StartLine(rest);
  }

  // Corners bottom-left, top-left, top-right, bottom-right: quad order.
  std::array<ScreenVertex, kQuadVertices> Place(const Glyph& glyph, std::uint32_t colour) {
    pen_ += glyph.xOffset * style_.scaleX;
    const float left = pen_ - kTexelAlign;
    const float right = left + glyph.width * style_.scaleX;
    const float top = y_;
    const float bottom = y_ + style_.scaleY * font_.GetMetrics().lineHeight;
    pen_ += (glyph.advance + style_.charSpacing) * style_.scaleX;
    return {{{left, bottom, kTextDepth, 1, colour, glyph.uLeft, glyph.vBottom},
             {left, top, kTextDepth, 1, colour, glyph.uLeft, glyph.vTop},
             {right, top, kTextDepth, 1, colour, glyph.uRight, glyph.vTop},
             {right, bottom, kTextDepth, 1, colour, glyph.uRight, glyph.vBottom}}};
  }

 private:
  const FontResource& font_;
  Vector3 position_;
  TextStyle style_;
  float y_;
  float pen_ = 0;
};

}  // namespace

int DrawTextWide(RenderDevice& device, Resource* fontResource, std::u16string_view text, const Vector3& position,
                 const Color& colour, const TextStyle& style, const Matrix4* transform) {
  FontResource* font = LoadedFont(fontResource);
  if (!font) return 0;
  text = UntilEnd(text);
  const std::uint32_t packed = ColorToDword(colour);
  TextLayout layout(*font, position, style);
  layout.AlignBlock(text);
  layout.StartLine(text);
  GlyphBatch batch(device, *font, transform);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\n') {
      layout.NextLine(text.substr(i + 1));
    } else {
      batch.Add(layout.Place(font->GetGlyph(text[i]), packed));
    }
  }
  return 1;
}

int DrawTextUtf8(RenderDevice& device, Resource* font, std::string_view text, const Vector3& position,
                 const Color& colour, const TextStyle& style, const Matrix4* transform) {
  return DrawTextWide(device, font, Decoded(text), position, colour, style, transform);
}

int MeasureText(std::u16string_view text, bool stopAtNewline, float* width, float* height, Resource* fontResource,
                const TextStyle& style) {
  float w = 0, h = 0;
  FontResource* font = LoadedFont(fontResource);
  if (font) Measure(*font, text, stopAtNewline, style, w, h);
  if (width) *width = w;
  if (height) *height = h;
  return font ? 1 : 0;
}

int MeasureTextUtf8(std::string_view text, bool stopAtNewline, float* width, float* height, Resource* font,
                    const TextStyle& style) {
  return MeasureText(Decoded(text), stopAtNewline, width, height, font, style);
}

}  // namespace tge
