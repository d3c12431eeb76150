#include "StandardRun.h"

#include "vela/iso_math.h"
#include "vela/math.h"
#include "vela/streams.h"

namespace accuracy {

namespace fs = std::filesystem;
using vela::base::smart_ptr;
namespace base = vela::base;
namespace iso = vela::iso;
namespace incits378 = vela::incits378;

namespace {

// Every impression is enrolled as the same finger: a verification claims one.
constexpr uint8_t kFingerPosition = 2;  // right index
constexpr uint8_t kViewQuality = 80;
constexpr size_t kIncitsViewsOffset = 26;
constexpr size_t kIsoViewsOffset = 24;

template <typename Saved>
std::vector<uint8_t> SavedBytes(Saved& saved) {
  const smart_ptr<base::MemoryStream> stream = Create_MemoryStream(nullptr, 0);
  saved.Save(stream);
  const int32_t size = stream->Size();
  std::vector<uint8_t> bytes(static_cast<size_t>(size > 0 ? size : 0));
  stream->SetPosition(0);
  if (!bytes.empty()) stream->Read(bytes.data(), static_cast<int32_t>(bytes.size()));
  return bytes;
}

}  // namespace

const char* NameOf(Standard standard) { return standard == Standard::Iso ? "ISO" : "INCITS"; }

// The first view's header: finger, impression, quality, count.
int32_t StandardTemplate::Minutiae() const {
  const size_t at = (iso ? kIsoViewsOffset : kIncitsViewsOffset) + 3;
  return at < bytes.size() ? bytes[at] : 0;
}

int32_t StandardTemplate::Quality() const {
  const size_t at = (iso ? kIsoViewsOffset : kIncitsViewsOffset) + 2;
  return at < bytes.size() ? bytes[at] : 0;
}

StandardTemplate EnrolStandardImage(Standard standard, const fs::path& path, int32_t dpi) {
  const smart_ptr<base::Image> image = ReadImage(path, dpi);
  StandardTemplate made;
  if (standard == Standard::Iso) {
    const auto x = static_cast<uint16_t>(image->GetXResolution());
    const auto y = static_cast<uint16_t>(image->GetYResolution());
    const smart_ptr<iso::FingerImageData> record =
        iso::Create_FingerImageData(0, x, y, x, y, 8, iso::COMPRESSION_NONE);
    record->AddFinger(kFingerPosition)->AddImage(image, kViewQuality, 0);
    made.iso = vela::iso_math::Create_ImageProcessor()->CreateTemplate(record);
    made.bytes = SavedBytes(*made.iso);
  } else {
    made.incits = incits378::Create_ImageProcessor()->CreateTemplate(vela::math::RIGHT_INDEX, image);
    made.bytes = SavedBytes(*made.incits);
  }
  return made;
}

EnrolReport EnrolStandard(const std::vector<Impression>& impressions, Standard standard,
                          std::vector<StandardTemplate>& made, int32_t dpi) {
  EnrolReport report;
  made.assign(impressions.size(), StandardTemplate{});
  for (size_t i = 0; i < impressions.size(); ++i) {
    try {
      made[i] = EnrolStandardImage(standard, impressions[i].path, dpi);
      report.minutiae.push_back(made[i].Minutiae());
      report.quality.push_back(made[i].Quality());
    } catch (const std::exception& e) {
      made[i] = StandardTemplate{};
      report.failures.push_back(impressions[i].path.filename().string() + ": " + e.what());
    }
  }
  return report;
}

StandardComparer::StandardComparer(Standard standard) : standard(standard) {
  if (standard == Standard::Iso)
    iso = vela::iso_math::Create_Matcher(vela::math::SECURITY_LEVEL_LOW);
  else
    incits = incits378::Create_Matcher();
}

int32_t StandardComparer::Score(const StandardTemplate& probe, const StandardTemplate& stored) const {
  if (standard == Standard::Iso) return iso->Match(probe.iso, stored.iso)->GetScore();
  return incits->Match(probe.incits, stored.incits)->GetScore();
}

std::vector<PairScore> ScoreStandardPairs(const std::vector<Impression>& impressions,
                                          const std::vector<StandardTemplate>& made,
                                          const StandardComparer& comparer, bool allImpostors) {
  std::vector<bool> enrolled;
  for (const StandardTemplate& t : made) enrolled.push_back(t.Made());
  return ScorePairsWith(
      impressions, enrolled,
      [&](size_t probe, size_t stored) { return comparer.Score(made[probe], made[stored]); }, allImpostors);
}

uint64_t DigestStandardTemplates(const std::vector<StandardTemplate>& made) {
  std::vector<std::optional<std::span<const uint8_t>>> blocks;
  for (const StandardTemplate& t : made) {
    if (!t.Made())
      blocks.emplace_back();
    else
      blocks.emplace_back(std::span<const uint8_t>(t.bytes));
  }
  return DigestBlocks(blocks);
}

}  // namespace accuracy
