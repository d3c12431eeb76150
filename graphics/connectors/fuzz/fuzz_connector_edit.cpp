// A connector linked to two controls, then arbitrary moves of the controls, edits of its
// points and segments, deletions, insertions and mode changes, each inside a points-update
// bracket as a drag is: nothing may touch memory it does not own, and a connector that is
// orthogonal and reroutes always keeps an axis-parallel route from link point A to B.
#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "connectors/VexaConnector.h"
#include "controls/LinkProps.h"
#include "document/testing/TestVexaPanel.h"

using namespace pv::graphics;

namespace {

struct TReader {
  const uint8_t* data;
  size_t size;
  uint8_t Byte() {
    if (size == 0) return 0;
    --size;
    return *data++;
  }
  int32_t Small() { return static_cast<int8_t>(Byte()) * 500; }
};

// A route that reaches the edge of the int32 range (ends further apart than the range, or
// points dragged out to it) stops there, its rectangle held at the edge: only routes inside
// the range are checked.
bool Clipped(const TVexaConnector& c) {
  const TRect r = c.GetDocRect();
  if (int64_t{r.right} - r.left >= INT32_MAX || int64_t{r.bottom} - r.top >= INT32_MAX) return true;
  std::vector<TPoint> points;
  std::vector<uint8_t> types;
  c.GetPointsEx(points, types);
  const auto inside = [](int64_t v) { return v > INT32_MIN && v < INT32_MAX; };
  for (const TPoint& p : points) {
    if (!inside(int64_t{p.x} + r.left) || !inside(int64_t{p.y} + r.top)) return true;
  }
  return false;
}

bool AxisParallelFromAToB(const TVexaConnector& c) {
  std::vector<TPoint> points;
  std::vector<uint8_t> types;
  c.GetPointsEx(points, types);
  if (points.size() < 2) return false;
  const TRect r = c.GetDocRect();
  for (size_t i = 0; i + 1 < points.size(); ++i) {
    if (points[i].x != points[i + 1].x && points[i].y != points[i + 1].y) return false;
  }
  const TPoint a{points.front().x + r.left, points.front().y + r.top};
  const TPoint b{points.back().x + r.left, points.back().y + r.top};
  return a == c.LinkA().GetLinkPoint() && b == c.LinkB().GetLinkPoint();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool registered = (RegisterConnectorClasses(), true);
  (void)registered;
  TReader in{data, size};
  test::TTestVexaPanel panel;
  panel.NewDocument();
  panel.SetConnectorsMinGap(in.Byte() * 20);
  TVexaControl* scheme = panel.GetActiveScheme();
  TVexaControl* layer = panel.GetActiveLayer();
  TVexaControl* boxes[2];
  for (TVexaControl*& box : boxes) {
    box = TVexaControl::New<TVexaControl>(&panel, scheme, layer);
    const int32_t x = in.Small() * 10, y = in.Small() * 10;
    box->SetDocRect({x, y, x + 1000 + in.Byte() * 100, y + 1000 + in.Byte() * 100});
  }
  auto* c = TVexaControl::New<TVexaConnector>(&panel, scheme, layer);
  for (int end = 0; end < 2; ++end) {
    TLinkPointProp& link = end == 0 ? c->LinkA() : c->LinkB();
    const TRect r = boxes[end]->GetDocRect();
    link.SetLinkedControl(in.Byte() % 4 == 0 ? boxes[0] : boxes[end]);
    link.SetLinkPoint({r.left + (in.Byte() % 3) * (r.right - r.left) / 2, r.top + (in.Byte() % 3) * (r.bottom - r.top) / 2});
  }
  while (in.size > 0) {
    const uint8_t operation = in.Byte() % 8;
    const int index = in.Byte() % 10;
    const TPoint delta{in.Small(), in.Small()};
    c->BeginPointsUpdate();
    switch (operation) {
      case 0: c->MovePathPoint(index, delta, false, false, nullptr); break;
      case 1: c->MovePathSegment(index, index + 1, 0.5, delta); break;
      case 2: c->DeletePoint(index); break;
      case 3: c->InsertPointAtPos(delta); break;
      case 4: c->SetRerouteMode(static_cast<uint8_t>(index % 3)); break;
      case 5: c->SetMinimalGap(delta.x); break;
      default: {
        TVexaControl* box = boxes[operation % 2];
        const TRect r = box->GetDocRect();
        const auto at = [](int64_t v) {
          return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
        };
        box->SetDocRect({at(int64_t{r.left} + delta.x), at(int64_t{r.top} + delta.y),
                         at(int64_t{r.right} + delta.x + index * 100), r.bottom});
      }
    }
    c->EndPointsUpdate();
    if (c->GetPointsCount() < 2) __builtin_trap();
    if (c->GetOrtogonal() && c->GetRerouteMode() == rmAlways && operation >= 6 && !Clipped(*c) &&
        !AxisParallelFromAToB(*c)) {
      __builtin_trap();
    }
  }
  return 0;
}
