#include "clipboard/QtClipboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QSvgRenderer>

namespace pv::clipboard {

namespace {

// Qt's name for an image it holds as an object rather than as bytes.
constexpr const char* kQtImageMime = "application/x-qt-image";
// Larger drawings are refused rather than rendered into gigabytes.
constexpr int64_t kMaxSvgPixels = int64_t{1} << 26;

const QMimeData* Current() { return QGuiApplication::clipboard()->mimeData(); }

}  // namespace

std::vector<std::string> TQtClipboard::Formats() const {
  std::vector<std::string> formats;
  const QMimeData* mime = Current();
  if (!mime) return formats;
  const QStringList names = mime->formats();
  const bool hasPng = names.contains(kPngMime);
  for (const QString& name : names) {
    if (name == kQtImageMime) {
      if (!hasPng && mime->hasImage()) formats.emplace_back(kPngMime);
      continue;
    }
    formats.push_back(name.toStdString());
  }
  return formats;
}

std::optional<std::vector<uint8_t>> TQtClipboard::Data(std::string_view mime) const {
  const QMimeData* data = Current();
  if (!data) return std::nullopt;
  const QString type = QString::fromUtf8(mime.data(), static_cast<qsizetype>(mime.size()));
  QByteArray bytes;
  if (data->hasFormat(type)) {
    bytes = data->data(type);
  } else if (type == kPngMime && data->hasImage()) {
    const QImage image = qvariant_cast<QImage>(data->imageData());
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG")) return std::nullopt;
  } else {
    return std::nullopt;
  }
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

void TQtClipboard::SetItems(std::vector<TClipboardItem> items) {
  auto* data = new QMimeData;
  for (const TClipboardItem& item : items) {
    data->setData(QString::fromStdString(item.mime),
                  QByteArray(reinterpret_cast<const char*>(item.data.data()), static_cast<qsizetype>(item.data.size())));
  }
  QGuiApplication::clipboard()->setMimeData(data);
}

bool TQtClipboard::RendersPicture(std::string_view mime) const { return mime == kSvgMime; }

std::optional<canvas::Bitmap> TQtClipboard::RenderPicture(std::string_view mime, std::span<const uint8_t> bytes) const {
  if (mime != kSvgMime) return std::nullopt;
  return RenderSvg(bytes);
}

std::optional<canvas::Bitmap> RenderSvg(std::span<const uint8_t> bytes) {
  QSvgRenderer renderer(QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
  if (!renderer.isValid()) return std::nullopt;
  const QSize size = renderer.defaultSize();
  if (size.width() <= 0 || size.height() <= 0 || int64_t{size.width()} * size.height() > kMaxSvgPixels) {
    return std::nullopt;
  }
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    renderer.render(&painter);
  }
  // The bitmap keeps a straight alpha.
  image = image.convertToFormat(QImage::Format_ARGB32);
  canvas::Bitmap bitmap = canvas::Bitmap::Argb(size.width(), size.height());
  for (int y = 0; y < size.height(); ++y) {
    const auto* from = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
    std::copy(from, from + size.width(), bitmap.Row(y));
  }
  return bitmap;
}

}  // namespace pv::clipboard
