#pragma once
// Pictures on the clipboard. The platform's metafile is a canvas record (RecordingCanvas);
// the clipboard receives it replayed as an SVG drawing ("image/svg+xml") and as a PNG image,
// the two picture forms other programs here paste. Private formats go under their own MIME
// types.

#include <QByteArray>
#include <QImage>
#include <string>
#include <vector>

#include "canvas/RecordingCanvas.h"

class QMimeData;

namespace pv::forms {

inline constexpr const char* kSvgMime = "image/svg+xml";

// The record replayed on a white RGB32 image of the given size.
QImage RenderPicture(const std::vector<canvas::CanvasCommand>& record, canvas::TSize size);
// The record replayed as an SVG document of the given size.
QByteArray RenderSvg(const std::vector<canvas::CanvasCommand>& record, canvas::TSize size);
// Both forms in one clipboard item (the caller owns it until it hands it to the clipboard).
QMimeData* PictureMimeData(const std::vector<canvas::CanvasCommand>& record, canvas::TSize size);

// Puts the picture on the system clipboard.
void CopyPictureToClipboard(const std::vector<canvas::CanvasCommand>& record, canvas::TSize size);
// Puts bytes of a private format on the clipboard, and reads them back (empty when absent).
void SetClipboardData(const std::string& mimeType, const QByteArray& data);
QByteArray ClipboardData(const std::string& mimeType);

}  // namespace pv::forms
