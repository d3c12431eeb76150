// What a client pays for a template: making one from a real image, and
// reading a saved one back, through the public interface.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "vela/math.h"
#include "vela/render.h"

namespace {

using vela::base::smart_ptr;
namespace math = vela::math;

const std::string kImage = std::string(PV_SHARED_DATA_DIR) + "/fingerprints/f01_1.bmp";

smart_ptr<vela::base::Image> LoadImage(benchmark::State& state) {
  if (!std::filesystem::exists(kImage)) {
    state.SkipWithError(("no image at " + kImage).c_str());
    return {};
  }
  return vela::render::Create_BMP_Image(Create_IFileStream(kImage.c_str()));
}

void CreateTemplate(benchmark::State& state) {
  const smart_ptr<vela::base::Image> image = LoadImage(state);
  if (!image) return;
  const smart_ptr<math::ImageProcessor> processor =
      math::Create_ImageProcessor(math::img_proc_type(state.range(0)));
  for (auto _ : state) {
    smart_ptr<math::Template> made = processor->CreateTemplate(image, math::RIGHT_INDEX);
    benchmark::DoNotOptimize(made.get());
  }
  state.SetItemsProcessed(state.iterations());
  state.SetLabel("templates");
}
BENCHMARK(CreateTemplate)->ArgName("img_proc_type")->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

void LoadTemplate(benchmark::State& state) {
  const smart_ptr<vela::base::Image> image = LoadImage(state);
  if (!image) return;
  smart_ptr<vela::base::MemoryStream> saved = Create_MemoryStream(nullptr, 0);
  math::Create_ImageProcessor(math::img_proc_type(state.range(0)))
      ->CreateTemplate(image, math::RIGHT_INDEX)
      ->Save(saved);
  for (auto _ : state) {
    saved->SetPosition(0);
    smart_ptr<math::Template> loaded = math::Create_Template(saved);
    benchmark::DoNotOptimize(loaded.get());
  }
  state.SetItemsProcessed(state.iterations());
  state.SetLabel("templates");
}
BENCHMARK(LoadTemplate)->ArgName("img_proc_type")->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
