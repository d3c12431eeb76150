// Copy and paste: our own controls travel as the document text in clipboard framing under our
// own MIME type; from other programs a picture becomes a picture control and plain text
// (UTF-8) a text control.

#include <algorithm>
#include <stdexcept>

#include "actions/PanelGroups.h"
#include "base/ByteStream.h"
#include "base/ModelText.h"
#include "clipboard/Clipboard.h"
#include "panel/PanelHistory.h"
#include "panel/VexaGraphics.h"
#include "panel/VexaPanel.h"
#include "picture/BmpCodec.h"
#include "picture/Graphics.h"
#include "picture/PngCodec.h"
#include "shapes/VexaPicture.h"
#include "shapes/VexaText.h"

namespace pv::graphics {

namespace {

using clipboard::IClipboard;

bool Contains(const std::vector<std::string>& formats, std::string_view mime) {
  return std::find(formats.begin(), formats.end(), mime) != formats.end();
}

// Picture formats read here into a graphic a document keeps; others only if the clipboard
// renders them itself.
bool IsPictureFormat(const IClipboard& clip, std::string_view mime) {
  return mime == clipboard::kPngMime || mime == clipboard::kBmpMime || mime == clipboard::kJpegMime ||
         clip.RendersPicture(mime);
}

// The text type to read: UTF-8 by name first, then plain text (which we take as UTF-8 too);
// empty for none.
std::string TextFormat(const std::vector<std::string>& formats) {
  if (Contains(formats, clipboard::kTextUtf8Mime)) return clipboard::kTextUtf8Mime;
  if (Contains(formats, clipboard::kTextMime)) return clipboard::kTextMime;
  return {};
}

// The picture's bytes as a graphic; EDataFormatError for bytes that are no such picture.
std::unique_ptr<picture::Graphic> ReadPicture(const IClipboard& clip, std::string_view mime,
                                              const std::vector<uint8_t>& bytes) {
  try {
    if (mime == clipboard::kBmpMime) {
      auto graphic = std::make_unique<picture::BitmapGraphic>();
      graphic->LoadFromBytes(bytes);
      return graphic;
    }
    if (mime == clipboard::kJpegMime) {
      auto graphic = std::make_unique<picture::JpegGraphic>();
      graphic->LoadFromBytes(bytes);
      return graphic;
    }
    if (mime == clipboard::kPngMime) return std::make_unique<picture::BitmapGraphic>(picture::ReadPng(bytes));
    if (std::optional<canvas::Bitmap> pixels = clip.RenderPicture(mime, bytes)) {
      return std::make_unique<picture::BitmapGraphic>(std::move(*pixels));
    }
  } catch (const picture::PictureError&) {
  }
  throw EDataFormatError();
}

void RequireOpen(const clipboard::TClipboardOpen& open) {
  if (!open.IsOpen()) throw std::runtime_error("Cannot open clipboard");
}

}  // namespace

clipboard::IClipboard& TVexaPanel::Clipboard() const {
  return clipboard_ ? *clipboard_ : clipboard::SystemClipboard();
}

bool TVexaPanel::CanPaste(bool ownOnly) const {
  const IClipboard& clip = Clipboard();
  const std::vector<std::string> formats = clip.Formats();
  if (!VexaControlsMime().empty() && Contains(formats, VexaControlsMime())) return true;
  if (ownOnly) return false;
  if (!TextFormat(formats).empty()) return true;
  return std::any_of(formats.begin(), formats.end(), [&](const std::string& f) { return IsPictureFormat(clip, f); });
}

bool TVexaPanel::PasteFromClipboard(bool ownOnly) {
  IClipboard& clip = Clipboard();
  const clipboard::TClipboardOpen open(clip);
  RequireOpen(open);
  const std::vector<std::string> formats = clip.Formats();
  // A paste that fails leaves the selection as it found it.
  std::vector<int32_t> selected;
  for (TVexaControl* c : selection_) selected.push_back(c->GetId());

  if (!VexaControlsMime().empty() && Contains(formats, VexaControlsMime())) {
    const std::optional<std::vector<uint8_t>> bytes = clip.Data(VexaControlsMime());
    if (!bytes) return false;
    TMemoryStream stream(std::string(bytes->begin(), bytes->end()));
    std::unique_ptr<TVexaFiler> filer = CreateFiler(stream, TVexaFilerProcess::ppLoad);
    const int before = activeScheme_ ? activeScheme_->GetCount() : 0;
    try {
      // The load is one undo step, and takes back what it pasted when it fails.
      LoadDocumentFromFiler(*filer, TLoadMode::Clipboard);
    } catch (...) {
      RestoreSelection(selected);
      throw;
    }
    // Blocks of classes unknown here are skipped: the data may hold nothing to paste.
    if (activeScheme_ && activeScheme_->GetCount() > before) return true;
    RestoreSelection(selected);
    return false;
  }
  if (ownOnly || !activeScheme_) return false;

  // Everything is read before the document changes: bad data changes nothing.
  std::unique_ptr<picture::Graphic> graphic;
  std::string text;
  bool haveText = false;
  for (const std::string& f : formats) {
    if (!IsPictureFormat(clip, f)) continue;
    const std::optional<std::vector<uint8_t>> bytes = clip.Data(f);
    if (!bytes) continue;
    graphic = ReadPicture(clip, f, *bytes);
    break;
  }
  if (!graphic) {
    const std::string textFormat = TextFormat(formats);
    if (textFormat.empty()) return false;
    const std::optional<std::vector<uint8_t>> bytes = clip.Data(textFormat);
    if (!bytes) return false;
    text = ToModelText(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    haveText = true;
  }
  if (!graphic && !haveText) return false;

  BeginSelectionUpdate(false, &TPanelCreateControlsHistoryGroup::ClassInfo);
  try {
    UnselectAll();
    TVexaControl* control = nullptr;
    if (graphic) {
      auto* pic = TVexaControl::New<TVexaPicture>(this, activeScheme_, activeLayer_);
      control = pic;
      pic->Picture().SetGraphic(graphic.get());
      pic->SetAutoSize(true);
      pic->SetAutoSize(false);
    } else {
      auto* label = TVexaControl::New<TVexaText>(this, activeScheme_, activeLayer_);
      control = label;
      label->Text().SetText(text);
      label->SetAutoSize(true);
      label->SetAutoSize(false);
    }
    control->SetVisible(true);
    // In the middle of what the window shows.
    const TRect visible = visibleDocRect_;
    control->BeginUpdate();
    try {
      control->SetLeft(static_cast<int32_t>(
          (static_cast<int64_t>(visible.left) + visible.right - control->GetWidth()) / 2));
      control->SetTop(static_cast<int32_t>(
          (static_cast<int64_t>(visible.top) + visible.bottom - control->GetHeight()) / 2));
    } catch (...) {
      control->EndUpdate();
      throw;
    }
    control->EndUpdate();
    SelectOne(control);
  } catch (...) {
    EndSelectionUpdate(false, &TPanelCreateControlsHistoryGroup::ClassInfo);
    throw;
  }
  EndSelectionUpdate(false, &TPanelCreateControlsHistoryGroup::ClassInfo);
  return true;
}

bool TVexaPanel::CopyToClipboard() {
  if (selection_.empty() || VexaControlsMime().empty()) return false;
  TMemoryStream stream;
  std::unique_ptr<TVexaFiler> filer = CreateFiler(stream, TVexaFilerProcess::ppSave);
  if (!SaveDocumentToFiler(*filer, true)) return false;
  filer->Flush();
  const std::string text = stream.Text();
  IClipboard& clip = Clipboard();
  const clipboard::TClipboardOpen open(clip);
  RequireOpen(open);
  clip.SetItems({{VexaControlsMime(), std::vector<uint8_t>(text.begin(), text.end())}});
  return true;
}

bool TVexaPanel::CutToClipboard() {
  if (!CopyToClipboard()) return false;
  DeleteSelected();
  return true;
}

void TVexaPanel::RestoreSelection(const std::vector<int32_t>& ids) {
  BeginSelectionUpdate(false);
  UnselectAll();
  for (const int32_t id : ids) {
    if (TVexaControl* c = FindControlByID(id)) SelectOne(c);
  }
  EndSelectionUpdate(false);
}

}  // namespace pv::graphics
