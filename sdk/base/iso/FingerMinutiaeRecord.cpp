#include <utility>
#include <vector>

#include "ByteOrder.h"
#include "vela/iso.h"

namespace vela::iso {
namespace {

using vela::base::smart_ptr;
namespace exceptions = vela::base::exceptions;

constexpr int32_t kShortestStream = 16;
constexpr uint32_t kHeaderSize = 24;
constexpr size_t kViewHeaderSize = 4;
constexpr size_t kMinutiaSize = 5;

constexpr char kTooLittle[] = "wrong size of template data(too little)";

class MinutiaeView final : public virtual FingerMinutiaeView {
 public:
  MinutiaeView(const uint8_t* view, int32_t index) : index(index) {
    position = view[0];
    impressionType = view[1] & 0x0F;
    quality = view[2];
    count = view[3];
  }

  uint8_t GetFingerPosition() const override { return position; }
  int32_t GetViewIndex() const override { return index; }
  uint8_t GetImpressionType() const override { return impressionType; }
  uint8_t GetQuality() const override { return quality; }
  uint8_t GetMinutiaeCount() const override { return count; }

 protected:
  ~MinutiaeView() override = default;

 private:
  uint8_t position;
  int32_t index;
  uint8_t impressionType;
  uint8_t quality;
  uint8_t count;
};

class MinutiaeRecord final : public virtual FingerMinutiaeRecord {
 public:
  explicit MinutiaeRecord(std::vector<uint8_t> bytes)
      : bytes(std::move(bytes)), recordLength(ReadBe<uint32_t>(this->bytes.data() + 8)) {}

  void Save(smart_ptr<vela::base::OutputStream> stream) override {
    stream->Write(bytes.data(), static_cast<int32_t>(bytes.size()));
  }
  bool HasExtendedData() const override { return false; }
  uint16_t GetCaptureEquipmentID() const override { return ReadBe<uint16_t>(bytes.data() + 12); }
  uint16_t GetXSize() const override { return ReadBe<uint16_t>(bytes.data() + 14); }
  uint16_t GetYSize() const override { return ReadBe<uint16_t>(bytes.data() + 16); }
  uint16_t GetXResolution() const override { return ReadBe<uint16_t>(bytes.data() + 18); }
  uint16_t GetYResolution() const override { return ReadBe<uint16_t>(bytes.data() + 20); }
  int32_t GetViewCount() const override { return bytes[22] + 1; }

  // Views are walked inside the record's own length, so a count byte that
  // claims more minutiae than the record holds cannot lead past it.
  smart_ptr<FingerMinutiaeView> GetView(int32_t index) const override {
    if (index < 0 || index > bytes[22]) throw exceptions::out_of_range();
    size_t at = kHeaderSize;
    for (int32_t k = 0;; ++k) {
      if (at + kViewHeaderSize > recordLength) throw exceptions::out_of_range();
      const size_t end = at + kViewHeaderSize + kMinutiaSize * bytes[at + 3];
      if (end > recordLength) throw exceptions::out_of_range();
      if (k == index) return smart_ptr<FingerMinutiaeView>(new MinutiaeView(bytes.data() + at, index));
      at = end;
    }
  }

  const uint8_t* GetData() const override { return bytes.data(); }
  int32_t GetDataSize() const override { return static_cast<int32_t>(bytes.size()); }

 protected:
  ~MinutiaeRecord() override = default;

 private:
  std::vector<uint8_t> bytes;
  uint32_t recordLength;
};

}  // namespace

FingerMinutiaeView::~FingerMinutiaeView() = default;
FingerMinutiaeRecord::~FingerMinutiaeRecord() = default;

smart_ptr<FingerMinutiaeRecord> Create_FingerMinutiaeRecord(smart_ptr<vela::base::InputStream> stream) {
  const int32_t size = stream->Size();
  if (size < kShortestStream) throw exceptions::invalid_argument(kTooLittle);
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  stream->Read(bytes.data(), size);
  if (bytes.size() < kHeaderSize) throw exceptions::invalid_argument(kTooLittle);
  // A record may sit in a longer stream (padding after it), never the other
  // way round: a record whose length runs past the bytes read is cut short.
  const uint32_t length = ReadBe<uint32_t>(bytes.data() + 8);
  if (length < kHeaderSize || length > bytes.size())
    throw exceptions::base_exception("Wrong length of template data");
  return smart_ptr<FingerMinutiaeRecord>(new MinutiaeRecord(std::move(bytes)));
}

}  // namespace vela::iso
