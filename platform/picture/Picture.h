#pragma once
// A picture: one graphic of any registered kind, or none. Kinds are registered by class name
// with the file extensions they read; RegisterStandardGraphics registers the bitmap, JPEG, icon
// and metafile kinds (the program calls it once at start-up).
//
// The stream form of a picture: one byte n, n bytes of the graphic's class name ("TBitmap",
// "TJPEGImage", "TIcon", "TMetafile"), then the graphic's file image to the end of the stream
// (a BMP file, a JFIF file, an ICO file, or the metafile's bytes). An empty picture streams as
// no bytes at all.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "picture/Graphic.h"

namespace pv::picture {

using GraphicFactory = std::function<std::unique_ptr<Graphic>()>;

// Extensions without the dot, lower case ("jpg"); a class registered again replaces the last.
void RegisterGraphicClass(const std::string& className, std::vector<std::string> extensions, GraphicFactory factory);
void RegisterStandardGraphics();
// A new graphic of the class, or none when the class is not registered.
std::unique_ptr<Graphic> CreateGraphic(std::string_view className);

class Picture {
 public:
  Picture() = default;
  Picture(const Picture& other);
  Picture& operator=(const Picture& other);
  Picture(Picture&&) = default;
  Picture& operator=(Picture&&) = default;

  Graphic* GetGraphic() { return graphic_.get(); }
  const Graphic* GetGraphic() const { return graphic_.get(); }
  // Takes a copy of the graphic (none empties the picture).
  void SetGraphic(const Graphic* graphic);
  void SetGraphic(std::unique_ptr<Graphic> graphic) { graphic_ = std::move(graphic); }
  bool Empty() const { return !graphic_ || graphic_->Empty(); }
  int32_t Width() const { return graphic_ ? graphic_->Width() : 0; }
  int32_t Height() const { return graphic_ ? graphic_->Height() : 0; }

  // The kind comes from the file's extension. Throws PictureError (unknown extension,
  // unreadable file); the picture is unchanged then.
  void LoadFromFile(const std::string& path);
  std::vector<uint8_t> SaveToStream() const;
  // Throws PictureError for an unknown class name or a body the class cannot read; the
  // picture is unchanged then. No bytes empty the picture.
  void LoadFromStream(std::span<const uint8_t> bytes);

 private:
  std::unique_ptr<Graphic> graphic_;
};

}  // namespace pv::picture
