#include "forms/Cursors.h"

#include <QPainter>
#include <QPixmap>
#include <cstring>

namespace pv::forms {

namespace {

// The system cursors at negative indexes that the editors use; the rest show the arrow.
Qt::CursorShape SystemCursorShape(int index) {
  switch (index) {
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
  }
}

}  // namespace

QCursor CursorTable::Get(int index) const {
  const auto it = cursors_.find(index);
  if (it != cursors_.end()) return it->second;
  return QCursor(SystemCursorShape(index));
}

CursorTable& ScreenCursors() {
  static CursorTable table;
  return table;
}

namespace {

// A magnifier with a plus or a minus, hot spot at the lens's centre.
QCursor Magnifier(bool plus) {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setPen(QPen(Qt::black, 2));
  p.setBrush(Qt::white);
  p.drawEllipse(QPoint(12, 12), 9, 9);
  p.drawLine(19, 19, 29, 29);
  p.drawLine(8, 12, 16, 12);
  if (plus) p.drawLine(12, 8, 12, 16);
  p.end();
  return QCursor(pixmap, 12, 12);
}

// A cross with a small mark of the shape a creation tool makes.
QCursor CreateCursor(int shape) {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setPen(QPen(Qt::black, 1));
  p.drawLine(0, 8, 16, 8);
  p.drawLine(8, 0, 8, 16);
  const QRect mark(16, 16, 12, 10);
  switch (shape) {
    case 1: p.drawRect(mark); break;
    case 2: p.drawEllipse(mark); break;
    case 3: p.drawText(mark, Qt::AlignCenter, "A"); break;
    case 4: p.drawRect(mark); p.drawLine(mark.topLeft(), mark.bottomRight()); break;
    case 5: p.drawPolyline(QPolygon({QPoint(16, 26), QPoint(20, 16), QPoint(24, 24), QPoint(28, 16)})); break;
    default: p.drawRect(mark.adjusted(2, 2, -2, -2)); break;
  }
  p.end();
  return QCursor(pixmap, 8, 8);
}

std::optional<QCursor> ProgramCursor(const std::string& name) {
  static const struct {
    const char* name;
    Qt::CursorShape shape;
  } shapes[] = {
      {"SHAPE_CUR", Qt::ArrowCursor},         {"SHAPE_ADD_CUR", Qt::CrossCursor},
      {"SHAPE_DEL_CUR", Qt::ForbiddenCursor}, {"SHAPE_CLOSE_CUR", Qt::PointingHandCursor},
      {"SHAPE_MOVE_CUR", Qt::SizeAllCursor},  {"SHAPE_MOVE_CURVE_CUR", Qt::SizeAllCursor},
      {"PAN_CUR", Qt::OpenHandCursor},        {"PANNING_CUR", Qt::ClosedHandCursor},
      {"CONT_POLY_CUR", Qt::CrossCursor},
  };
  for (const auto& s : shapes) {
    if (name == s.name) return QCursor(s.shape);
  }
  if (name == "ZOOM_IN_CUR") return Magnifier(true);
  if (name == "ZOOM_OUT_CUR") return Magnifier(false);
  static const char* created[] = {"CREATE_CTRL_CUR", "CREATE_RECT_CUR", "CREATE_ELLIPSE_CUR",
                                  "CREATE_TEXT_CUR", "CREATE_PIC_CUR",  "CREATE_POLY_CUR"};
  for (int i = 0; i < 6; ++i) {
    if (name == created[i]) return CreateCursor(i);
  }
  return std::nullopt;
}

std::optional<QCursor> SystemCursor(int id) {
  if (id == kShapeFallbackCursorId) return QCursor(Qt::UpArrowCursor);
  return std::nullopt;
}

}  // namespace

const CursorResources& ProgramCursorResources() {
  static const CursorResources resources{ProgramCursor, SystemCursor};
  return resources;
}

void LoadEditorCursors(CursorTable& table, const CursorResources& resources) {
  for (int index = crShape; index <= crContPoly; ++index) {
    std::optional<QCursor> cursor = resources.byName(kEditorCursorNames[index - 1]);
    if (!cursor && index == crShape) cursor = resources.byId(kShapeFallbackCursorId);
    if (cursor) table.Set(index, *cursor);
  }
}

}  // namespace pv::forms
