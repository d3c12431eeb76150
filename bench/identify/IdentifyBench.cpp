// What a client pays to compare templates made from the shared fingerprint
// pictures: Verify on genuine and impostor pairs at both match speeds, and
// Identify against sets of 1,000 and 10,000 templates (the pictures and
// shifted copies of them). Items are comparisons, timed on one thread, so
// items per second are comparisons per second per core.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "vela/math.h"
#include "vela/render.h"

namespace {

using vela::base::Image;
using vela::base::smart_ptr;
namespace math = vela::math;

constexpr int kFingers = 6;
constexpr int kImpressions = 8;

smart_ptr<Image> Picture(int finger, int impression) {
  char name[32];
  std::snprintf(name, sizeof name, "f%02d_%d.bmp", finger, impression);
  const std::string path = std::string(PV_SHARED_DATA_DIR) + "/fingerprints/" + name;
  if (!std::filesystem::exists(path)) return {};
  return vela::render::Create_BMP_Image(Create_IFileStream(path.c_str()));
}

// A copy of an 8-bit picture (as the shared ones are) moved by (dx, dy)
// pixels over a white background.
smart_ptr<Image> Shifted(const smart_ptr<Image>& source, int dx, int dy) {
  smart_ptr<Image> copy = vela::render::Create_BMP_Image(source);
  const int width = copy->GetWidth(), height = copy->GetHeight(), stride = copy->GetRowBytes();
  const uint8_t* from = source->GetData();
  uint8_t* to = copy->GetData();
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int sx = x - dx, sy = y - dy;
      const bool inside = sx >= 0 && sx < width && sy >= 0 && sy < height;
      to[y * stride + x] = inside ? from[sy * source->GetRowBytes() + sx] : 255;
    }
  }
  return copy;
}

smart_ptr<math::Template> Made(int32_t type, const smart_ptr<Image>& image) {
  return math::Create_ImageProcessor(math::img_proc_type(type))->CreateTemplate(image, math::RIGHT_INDEX);
}

// One template per picture, [finger][impression], for a processor type.
const std::vector<std::vector<smart_ptr<math::Template>>>& Templates(int32_t type) {
  static std::map<int32_t, std::vector<std::vector<smart_ptr<math::Template>>>> made;
  auto& fingers = made[type];
  if (!fingers.empty() || !Picture(1, 1)) return fingers;
  for (int f = 1; f <= kFingers; ++f) {
    fingers.emplace_back();
    for (int i = 1; i <= kImpressions; ++i) fingers.back().push_back(Made(type, Picture(f, i)));
  }
  return fingers;
}

void Verify(benchmark::State& state, bool genuine) {
  const int32_t type = int32_t(state.range(1));
  const auto& fingers = Templates(type);
  if (fingers.empty()) {
    state.SkipWithError("the shared fingerprint pictures are not there");
    return;
  }
  // (probe, stored): genuine pairs are two impressions of one finger, impostor
  // pairs impressions of two fingers with the same number.
  std::vector<std::pair<smart_ptr<math::Template>, smart_ptr<math::Template>>> pairs;
  for (int fa = 0; fa < kFingers; ++fa)
    for (int fb = 0; fb < kFingers; ++fb)
      for (int a = 0; a < kImpressions; ++a)
        for (int b = 0; b < kImpressions; ++b)
          if (genuine ? (fa == fb && a != b) : (fa != fb && a == b))
            pairs.emplace_back(fingers[size_t(fb)][size_t(b)], fingers[size_t(fa)][size_t(a)]);
  const smart_ptr<math::Matcher> matcher =
      math::Create_Matcher(math::SECURITY_LEVEL_MEDIUM, math::MatchSpeed(state.range(0)));
  size_t next = 0;
  int64_t accepted = 0;
  for (auto _ : state) {
    const auto& [probe, stored] = pairs[next];
    next = (next + 1) % pairs.size();
    accepted += matcher->Verify(probe, stored) ? 1 : 0;
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["accepted"] =
      benchmark::Counter(double(accepted) / double(std::max<int64_t>(state.iterations(), 1)));
}

void VerifyGenuine(benchmark::State& state) { Verify(state, true); }
void VerifyImpostor(benchmark::State& state) { Verify(state, false); }
BENCHMARK(VerifyGenuine)->ArgNames({"speed", "type"})->ArgsProduct({{1, 2}, {1, 2}});
BENCHMARK(VerifyImpostor)->ArgNames({"speed", "type"})->ArgsProduct({{1, 2}, {1, 2}});

// Impressions 1..7 of every finger and copies of them shifted by up to 16
// pixels, repeated until the set holds `size` templates; the probe is an
// eighth impression, which the set does not hold.
constexpr int32_t kSetType = math::IMG_PROC_COMPACT;

const std::vector<smart_ptr<math::Template>>& ShiftedTemplates() {
  static std::vector<smart_ptr<math::Template>> made;
  if (!made.empty() || !Picture(1, 1)) return made;
  for (int f = 1; f <= kFingers; ++f) {
    for (int i = 1; i < kImpressions; ++i) {
      const smart_ptr<Image> picture = Picture(f, i);
      for (int dy = -16; dy <= 16; dy += 8)
        for (int dx = -16; dx <= 16; dx += 8)
          if (std::abs(dx) + std::abs(dy) < 32)  // 21 of the 25 offsets
            made.push_back(Made(kSetType, dx == 0 && dy == 0 ? picture : Shifted(picture, dx, dy)));
    }
  }
  return made;
}

void Identify(benchmark::State& state) {
  const auto& pool = ShiftedTemplates();
  if (pool.empty()) {
    state.SkipWithError("the shared fingerprint pictures are not there");
    return;
  }
  const int32_t size = int32_t(state.range(1));
  const smart_ptr<math::RecordSet> set = math::Create_RecordSet();
  for (int32_t id = 0; id < size; ++id) set->Add(pool[size_t(id) % pool.size()], id);
  const smart_ptr<math::Template> probe = Made(kSetType, Picture(3, kImpressions));
  const smart_ptr<math::Matcher> matcher =
      math::Create_Matcher(math::SECURITY_LEVEL_MEDIUM, math::MatchSpeed(state.range(0)));
  int32_t candidates = 0;
  for (auto _ : state) candidates = matcher->Identify(probe, set, 10, 550)->Count();
  state.SetItemsProcessed(state.iterations() * size);
  state.counters["candidates"] = candidates;
}
BENCHMARK(Identify)
    ->ArgNames({"speed", "templates"})
    ->ArgsProduct({{1, 2}, {1000, 10000}})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
