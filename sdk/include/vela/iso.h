// ISO/IEC 19794-4 finger image records and the finger minutiae records that
// the engine writes.
#pragma once

#include <cstdint>

#include "vela/base.h"
#include "vela/image.h"
#include "vela/streams.h"

namespace vela::iso {

// The image compression codes of a finger image record. Records are built
// and read with NONE and WSQ only.
enum CompressionAlgorithm : uint8_t {
  COMPRESSION_NONE = 0,
  COMPRESSION_NONE_PACKED = 1,
  COMPRESSION_WSQ = 2,
  COMPRESSION_JPEG = 3,
  COMPRESSION_JPEG2000 = 4,
  COMPRESSION_PNG = 5,
};

// How a finger image was taken; 4, 5, 6 and values above 9 are not used.
enum ImpressionType : uint8_t {
  IMPRESSION_LIVE_PLAIN = 0,
  IMPRESSION_LIVE_ROLLED = 1,
  IMPRESSION_NONLIVE_PLAIN = 2,
  IMPRESSION_NONLIVE_ROLLED = 3,
  IMPRESSION_SWIPE = 8,
  IMPRESSION_CONTACTLESS = 9,
  IMPRESSION_LATENT = 7,
};

// The finger-view face of an image view of a finger image record.
class VELA_API FingerImageViewInfo : public virtual vela::base::BaseRefCounter {
 public:
  virtual uint8_t GetQuality() const = 0;
  virtual uint8_t GetImpressionType() const = 0;

 protected:
  ~FingerImageViewInfo() override;
};

// One finger of a finger image record and its image views, in order.
class VELA_API FingerImageFinger : public virtual vela::base::BaseRefCounter {
 public:
  // Always throws not_supported.
  virtual void Remove() = 0;
  virtual int32_t GetViewCount() const = 0;
  // out_of_range unless 0 <= index < GetViewCount(). The view is an 8-bit
  // image whose conversions throw not_implemented.
  virtual vela::base::smart_ptr<vela::base::Image> GetView(int32_t index) const = 0;
  // Appends a view copied from the image: its resolutions must be the
  // record's image resolutions and its depth the record's pixel depth.
  virtual void AddImage(vela::base::smart_ptr<vela::base::Image> image, uint8_t quality,
                        uint8_t impressionType) = 0;
  // out_of_range like GetView.
  virtual vela::base::smart_ptr<FingerImageViewInfo> GetViewInfo(int32_t index) const = 0;
  virtual uint8_t GetPosition() const = 0;

 protected:
  ~FingerImageFinger() override;
};

// An ISO/IEC 19794-4:2005 finger image record ("FIR", version "010").
class VELA_API FingerImageData : public virtual vela::base::BaseRefCounter {
 public:
  // Writes the record: views raw or WSQ-compressed by the record's compression.
  // A finger is written as its views: a finger without views is left out, and
  // the header counts the fingers written. invalid_argument when no finger
  // has a view.
  virtual void Save(vela::base::smart_ptr<vela::base::OutputStream> stream) = 0;

 protected:
  ~FingerImageData() override;

 public:
  // False for every record: no record carries extended data.
  virtual bool HasExtendedData() const = 0;
  virtual uint16_t GetCaptureDeviceID() const = 0;
  virtual uint16_t GetImageAcquisitionLevel() const = 0;
  virtual uint8_t GetFingerCount() const = 0;
  virtual uint16_t GetScanXResolution() const = 0;
  virtual uint16_t GetScanYResolution() const = 0;
  virtual uint16_t GetImageXResolution() const = 0;
  virtual uint16_t GetImageYResolution() const = 0;
  virtual uint8_t GetPixelDepth() const = 0;
  virtual CompressionAlgorithm GetCompression() const = 0;
  // out_of_range unless 0 <= index < GetFingerCount().
  virtual vela::base::smart_ptr<FingerImageFinger> GetFinger(int32_t index) const = 0;
  // invalid_argument for a position outside 0..10; out_of_range past 255 fingers.
  virtual vela::base::smart_ptr<FingerImageFinger> AddFinger(uint8_t position) = 0;
};

// One finger view of a finger minutiae record, as read when asked for.
class VELA_API FingerMinutiaeView : public virtual vela::base::BaseRefCounter {
 public:
  virtual uint8_t GetFingerPosition() const = 0;
  virtual int32_t GetViewIndex() const = 0;
  virtual uint8_t GetImpressionType() const = 0;
  virtual uint8_t GetQuality() const = 0;
  virtual uint8_t GetMinutiaeCount() const = 0;

 protected:
  ~FingerMinutiaeView() override;
};

// A finger minutiae record ("FMR") in the layout the engine writes: version
// " 11"; the number of views minus one in header byte 22; per view a 4-byte
// header (position, impression type, quality, minutia count) and 5-byte
// minutiae (type and x in two bytes, y in two, the angle in one), with x and
// y in thousandths of a centimetre; no extended data block after a view.
// This is not the ISO/IEC 19794-2:2005 layout (version " 20", the number of
// views itself, 6-byte minutiae in pixels with a quality byte, and an
// extended data length after every view): readers of that standard do not
// read these records, nor do these readers read the standard's. Kept and
// saved byte for byte as read.
class VELA_API FingerMinutiaeRecord : public virtual vela::base::BaseRefCounter {
 public:
  virtual void Save(vela::base::smart_ptr<vela::base::OutputStream> stream) = 0;

 protected:
  ~FingerMinutiaeRecord() override;

 public:
  // False for every record: the layout has no extended data.
  virtual bool HasExtendedData() const = 0;
  virtual uint16_t GetCaptureEquipmentID() const = 0;
  virtual uint16_t GetXSize() const = 0;
  virtual uint16_t GetYSize() const = 0;
  virtual uint16_t GetXResolution() const = 0;
  virtual uint16_t GetYResolution() const = 0;
  virtual int32_t GetViewCount() const = 0;
  // out_of_range unless 0 <= index < GetViewCount() and the view lies
  // inside the record.
  virtual vela::base::smart_ptr<FingerMinutiaeView> GetView(int32_t index) const = 0;
  virtual const uint8_t* GetData() const = 0;
  virtual int32_t GetDataSize() const = 0;
};

// An empty record (no fingers). invalid_argument when a resolution, the
// depth (8 only) or the compression (NONE or WSQ) does not suit.
VELA_API vela::base::smart_ptr<FingerImageData> Create_FingerImageData(
    uint16_t captureDeviceID, uint16_t scanResolutionX, uint16_t scanResolutionY,
    uint16_t imageResolutionX, uint16_t imageResolutionY, uint8_t pixelDepth,
    CompressionAlgorithm compression);
// Reads a record from the stream's current position.
VELA_API vela::base::smart_ptr<FingerImageData> Create_FingerImageData(
    vela::base::smart_ptr<vela::base::InputStream> stream);
// Reads the whole stream as one finger minutiae record.
VELA_API vela::base::smart_ptr<FingerMinutiaeRecord> Create_FingerMinutiaeRecord(
    vela::base::smart_ptr<vela::base::InputStream> stream);

}  // namespace vela::iso
