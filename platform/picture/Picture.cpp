#include "picture/Picture.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>

#include "picture/Graphics.h"

namespace pv::picture {

namespace {

struct Registration {
  std::vector<std::string> extensions;
  GraphicFactory factory;
};

std::map<std::string, Registration, std::less<>>& Registry() {
  static std::map<std::string, Registration, std::less<>> registry;
  return registry;
}

std::string LowerExtension(const std::string& path) {
  const auto dot = path.find_last_of('.');
  const auto slash = path.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

}  // namespace

void RegisterGraphicClass(const std::string& className, std::vector<std::string> extensions, GraphicFactory factory) {
  Registry()[className] = Registration{std::move(extensions), std::move(factory)};
}

void RegisterStandardGraphics() {
  RegisterGraphicClass("TBitmap", {"bmp"}, [] { return std::make_unique<BitmapGraphic>(); });
  RegisterGraphicClass("TJPEGImage", {"jpeg", "jpg"}, [] { return std::make_unique<JpegGraphic>(); });
  RegisterGraphicClass("TIcon", {"ico"}, [] { return std::make_unique<IconGraphic>(); });
  RegisterGraphicClass("TMetafile", {"wmf", "emf"}, [] { return std::make_unique<MetafileGraphic>(); });
}

std::unique_ptr<Graphic> CreateGraphic(std::string_view className) {
  const auto it = Registry().find(className);
  if (it == Registry().end()) return nullptr;
  return it->second.factory();
}

Picture::Picture(const Picture& other) : graphic_(other.graphic_ ? other.graphic_->Clone() : nullptr) {}

Picture& Picture::operator=(const Picture& other) {
  if (this != &other) graphic_ = other.graphic_ ? other.graphic_->Clone() : nullptr;
  return *this;
}

void Picture::SetGraphic(const Graphic* graphic) { graphic_ = graphic ? graphic->Clone() : nullptr; }

void Picture::LoadFromFile(const std::string& path) {
  const std::string ext = LowerExtension(path);
  std::unique_ptr<Graphic> graphic;
  for (const auto& [name, registration] : Registry()) {
    if (std::find(registration.extensions.begin(), registration.extensions.end(), ext) != registration.extensions.end()) {
      graphic = registration.factory();
      break;
    }
  }
  if (!graphic) throw PictureError("Unknown picture file extension (." + ext + ")");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw PictureError("Cannot open " + path);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  graphic->LoadFromBytes(bytes);
  graphic_ = std::move(graphic);
}

std::vector<uint8_t> Picture::SaveToStream() const {
  if (!graphic_) return {};
  const std::string name = graphic_->ClassName();
  std::vector<uint8_t> out;
  out.push_back(static_cast<uint8_t>(name.size()));
  out.insert(out.end(), name.begin(), name.end());
  const std::vector<uint8_t> body = graphic_->SaveToBytes();
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

void Picture::LoadFromStream(std::span<const uint8_t> bytes) {
  if (bytes.empty()) {
    graphic_.reset();
    return;
  }
  const size_t length = bytes[0];
  if (length == 0 || bytes.size() < 1 + length) throw PictureError("Picture stream: bad class name");
  const std::string name(reinterpret_cast<const char*>(bytes.data() + 1), length);
  std::unique_ptr<Graphic> graphic = CreateGraphic(name);
  if (!graphic) throw PictureError("Picture stream: unknown graphic class " + name);
  graphic->LoadFromBytes(bytes.subspan(1 + length));
  graphic_ = std::move(graphic);
}

}  // namespace pv::picture
