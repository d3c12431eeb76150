#include "forms/Clipboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QSvgGenerator>

#include "qtcanvas/QtCanvas.h"

namespace pv::forms {

QImage RenderPicture(const std::vector<canvas::CanvasCommand>& record, canvas::TSize size) {
  QImage image(std::max(1, size.cx), std::max(1, size.cy), QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    qtcanvas::QtCanvas canvas(image);
    canvas::Replay(record, canvas);
  }
  return image;
}

QByteArray RenderSvg(const std::vector<canvas::CanvasCommand>& record, canvas::TSize size) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(QSize(std::max(1, size.cx), std::max(1, size.cy)));
  svg.setViewBox(QRect(0, 0, std::max(1, size.cx), std::max(1, size.cy)));
  {
    qtcanvas::QtCanvas canvas(svg, size);
    canvas::Replay(record, canvas);
  }
  return bytes;
}

QMimeData* PictureMimeData(const std::vector<canvas::CanvasCommand>& record, canvas::TSize size) {
  auto* data = new QMimeData;
  data->setData(kSvgMime, RenderSvg(record, size));
  data->setImageData(RenderPicture(record, size));
  return data;
}

void CopyPictureToClipboard(const std::vector<canvas::CanvasCommand>& record, canvas::TSize size) {
  QGuiApplication::clipboard()->setMimeData(PictureMimeData(record, size));
}

void SetClipboardData(const std::string& mimeType, const QByteArray& data) {
  auto* mime = new QMimeData;
  mime->setData(QString::fromStdString(mimeType), data);
  QGuiApplication::clipboard()->setMimeData(mime);
}

QByteArray ClipboardData(const std::string& mimeType) {
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  if (!mime) return {};
  return mime->data(QString::fromStdString(mimeType));
}

}  // namespace pv::forms
