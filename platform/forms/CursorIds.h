#pragma once
// The indexes of the editor cursors in the screen's cursor table. Plain constants (no Qt),
// so that model code can name the cursor a tool mode shows.

namespace pv::forms {

enum EditorCursor : int {
  crShape = 1,
  crShapeAdd = 2,
  crShapeDel = 3,
  crShapeClose = 4,
  crShapeMove = 5,
  crShapeMoveCurve = 6,
  crCreateCtrl = 7,
  crCreateRect = 8,
  crCreateEllipse = 9,
  crCreateText = 10,
  crCreatePic = 11,
  crCreatePoly = 12,
  crZoomIn = 13,
  crZoomOut = 14,
  crPan = 15,
  crPanning = 16,
  crContPoly = 17,
};

// The system cursors at negative indexes, as the platform's window framework numbers them.
enum SystemCursorIndex : int {
  crDefault = 0,
  crSizeNESW = -6,
  crSizeNS = -7,
  crSizeNWSE = -8,
  crSizeWE = -9,
  crHandPoint = -21,
  crSizeAll = -22,
};

// The resource names of the editor cursors, index 1 to 17 in order.
inline constexpr const char* kEditorCursorNames[] = {
    "SHAPE_CUR",        "SHAPE_ADD_CUR",    "SHAPE_DEL_CUR",      "SHAPE_CLOSE_CUR",  "SHAPE_MOVE_CUR",
    "SHAPE_MOVE_CURVE_CUR", "CREATE_CTRL_CUR", "CREATE_RECT_CUR", "CREATE_ELLIPSE_CUR", "CREATE_TEXT_CUR",
    "CREATE_PIC_CUR",   "CREATE_POLY_CUR",  "ZOOM_IN_CUR",        "ZOOM_OUT_CUR",     "PAN_CUR",
    "PANNING_CUR",      "CONT_POLY_CUR"};

// The cursor loaded into crShape when the program has no SHAPE_CUR.
inline constexpr int kShapeFallbackCursorId = 32516;

}  // namespace pv::forms
