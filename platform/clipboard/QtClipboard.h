#pragma once
// The desktop's clipboard through Qt. Formats are the MIME types Qt reports; an image that Qt
// holds only as its own image object is offered as PNG, and SVG drawings are rendered with
// Qt's SVG renderer. A desktop program installs it at start-up (SetSystemClipboard).

#include "clipboard/Clipboard.h"

namespace pv::clipboard {

class TQtClipboard final : public IClipboard {
 public:
  // Qt's clipboard has no lock to take: opening always succeeds.
  bool Open() override { return true; }
  void Close() override {}
  std::vector<std::string> Formats() const override;
  std::optional<std::vector<uint8_t>> Data(std::string_view mime) const override;
  void SetItems(std::vector<TClipboardItem> items) override;
  bool RendersPicture(std::string_view mime) const override;
  std::optional<canvas::Bitmap> RenderPicture(std::string_view mime, std::span<const uint8_t> bytes) const override;
};

// An SVG drawing rendered at its own size on a clear alpha bitmap; none for bytes that are no
// SVG drawing (or one of no size).
std::optional<canvas::Bitmap> RenderSvg(std::span<const uint8_t> bytes);

}  // namespace pv::clipboard
