// Drags between panel windows on Qt. Within the process a drag's mime data is our own
// subclass that keeps the panel's object beside the bytes; a drag from another program has
// only the bytes, fetched when the panel asks for a format.

#include <QDrag>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>

#include "panelwindow/QtPanelWindow.h"

namespace pv::panelwindow {

namespace {

class TPanelDragMime final : public QMimeData {
 public:
  explicit TPanelDragMime(const TDragData& data) : data_(data) {}
  const TDragData& Data() const { return data_; }

 private:
  TDragData data_;
};

TDragData DataOf(const QMimeData* mime) {
  if (const auto* own = dynamic_cast<const TPanelDragMime*>(mime)) return own->Data();
  TDragData data;
  if (!mime) return data;
  for (const QString& format : mime->formats()) data.formats.push_back(format.toStdString());
  // The mime data lives as long as the drag: the panel reads it only during an event.
  data.bytes = [mime](std::string_view format) -> std::optional<std::vector<uint8_t>> {
    const QString name = QString::fromUtf8(format.data(), static_cast<qsizetype>(format.size()));
    if (!mime->hasFormat(name)) return std::nullopt;
    const QByteArray bytes = mime->data(name);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
  };
  return data;
}

TDropAction ActionOf(Qt::DropAction action) {
  switch (action) {
    case Qt::CopyAction:
      return TDropAction::Copy;
    case Qt::MoveAction:
    case Qt::TargetMoveAction:
      return TDropAction::Move;
    default:
      return TDropAction::None;
  }
}

Qt::DropAction QtActionOf(TDropAction action) {
  switch (action) {
    case TDropAction::Copy:
      return Qt::CopyAction;
    case TDropAction::Move:
      return Qt::MoveAction;
    default:
      return Qt::IgnoreAction;
  }
}

}  // namespace

TDropAction TQtPanelWindow::StartDrag(const TDragData& data, TDropAction preferred) {
  auto* mime = new TPanelDragMime(data);
  if (data.bytes) {
    for (const std::string& format : data.formats) {
      if (const auto bytes = data.bytes(format)) {
        mime->setData(QString::fromStdString(format),
                      QByteArray(reinterpret_cast<const char*>(bytes->data()), static_cast<qsizetype>(bytes->size())));
      }
    }
  }
  QDrag drag(viewport());
  drag.setMimeData(mime);
  const Qt::DropActions allowed =
      preferred == TDropAction::Copy ? Qt::DropActions(Qt::CopyAction) : (Qt::CopyAction | Qt::MoveAction);
  const Qt::DropAction wanted = preferred == TDropAction::Copy ? Qt::CopyAction : Qt::MoveAction;
  const Qt::DropAction done = dragRunner ? dragRunner(drag, allowed, wanted) : drag.exec(allowed, wanted);
  return allowed.testFlag(done) ? ActionOf(done) : TDropAction::None;
}

void TQtPanelWindow::dragEnterEvent(QDragEnterEvent* event) {
  dragData_ = DataOf(event->mimeData());
  const QPoint p = event->position().toPoint();
  if (events_ && events_->WindowDragOver(dragData_, {p.x(), p.y()}, TDragState::Enter)) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void TQtPanelWindow::dragMoveEvent(QDragMoveEvent* event) {
  const QPoint p = event->position().toPoint();
  if (events_ && events_->WindowDragOver(dragData_, {p.x(), p.y()}, TDragState::Move)) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void TQtPanelWindow::dragLeaveEvent(QDragLeaveEvent* event) {
  if (events_) events_->WindowDragOver(dragData_, {0, 0}, TDragState::Leave);
  dragData_ = {};
  event->accept();
}

void TQtPanelWindow::dropEvent(QDropEvent* event) {
  // The mime data of this event is the one to read, whatever the enter kept.
  const TDragData data = DataOf(event->mimeData());
  const QPoint p = event->position().toPoint();
  const TDropAction action = ActionOf(event->dropAction());
  dragData_ = {};
  if (action != TDropAction::None && events_ && events_->WindowDragDrop(data, {p.x(), p.y()}, action)) {
    event->setDropAction(QtActionOf(action));
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace pv::panelwindow
