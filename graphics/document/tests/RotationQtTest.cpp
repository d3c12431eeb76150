// The rotation of points agrees with Qt's affine transform, rounded to the nearest unit.

#include <QPointF>
#include <QTransform>
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "controls/Rotation.h"

namespace pv::graphics {
namespace {

TEST(RotationAgainstQTransform, EveryPointLandsWhereTheTransformPutsIt) {
  std::mt19937 random(11);
  std::uniform_int_distribution<int32_t> coord(-1000000, 1000000);
  std::uniform_int_distribution<int32_t> angle(-720, 720);
  for (int i = 0; i < 20000; ++i) {
    const TRotateRec rec{coord(random), coord(random), angle(random), i % 3 == 0};
    const TPoint p{coord(random), coord(random)};
    QTransform t;
    t.translate(rec.x, rec.y);
    t.rotate(-rec.angle);
    if (rec.mirror) t.scale(-1, 1);
    t.translate(-rec.x, -rec.y);
    const QPointF q = t.map(QPointF(p.x, p.y));
    const TPoint got = RotatePoint(p, rec);
    // Exact halves may round either way after the transform's own arithmetic.
    ASSERT_LE(std::abs(got.x - std::lround(q.x())), 1) << i;
    ASSERT_LE(std::abs(got.y - std::lround(q.y())), 1) << i;
    if (std::abs(q.x() - std::floor(q.x()) - 0.5) > 1e-6) {
      ASSERT_EQ(got.x, std::lround(q.x())) << i;
    }
    if (std::abs(q.y() - std::floor(q.y()) - 0.5) > 1e-6) {
      ASSERT_EQ(got.y, std::lround(q.y())) << i;
    }
  }
}

}  // namespace
}  // namespace pv::graphics
