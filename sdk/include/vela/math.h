// Fingerprint templates: making them from images, their views, saving and
// loading them, and templates of several fingers.
#pragma once

#include <cstdint>

#include "vela/base.h"
#include "vela/image.h"
#include "vela/streams.h"

namespace vela::math {

// Finger positions, as the engine numbers them (0 when not known).
enum finger_code : int32_t {
  UNKNOWN_FINGER = 0,
  RIGHT_THUMB = 1,
  RIGHT_INDEX = 2,
  RIGHT_MIDDLE = 3,
  RIGHT_RING = 4,
  RIGHT_LITTLE = 5,
  LEFT_THUMB = 6,
  LEFT_INDEX = 7,
  LEFT_MIDDLE = 8,
  LEFT_RING = 9,
  LEFT_LITTLE = 10,
};

// What an image processor makes. Other values are accepted at creation, but
// every template-making call of such a processor throws.
enum img_proc_type : int32_t {
  IMG_PROC_COMPACT = 1,      // compact finger entries (data id 165)
  IMG_PROC_FINGER_SET = 2,   // full finger entries (data id 150)
  IMG_PROC_MIRRORED = 3,     // a list of impressions from mirrored images (data id 2)
  IMG_PROC_MIRRORED_2 = 4,   // the same as 3
};

// Two single-precision numbers: a point (y, x) or a unit vector (-sin, cos).
struct FloatPair {
  float first;
  float second;
};

// The minutiae of a template's first impression in work-image pixels. The
// image processors bring every picture to 508 dpi, whatever its own
// resolution, and cut a 288 x 400 work area from it; a work-image point
// (x, y) lies at the picture's pixel
//   (p[0] + x * dpiX / 508, p[1] + y * dpiY / 508)
// where p = GetImageInfo()->GetParameters() of the same template (the work
// area's top-left corner in the picture's pixels; negative where the work
// area starts left of or above the picture) and dpiX, dpiY are the picture's
// resolution (GetXResolution, GetYResolution). A ridge that stops where the
// print or the picture stops gives an ending there: the engine drops an
// ending only when a point 10 work-image pixels from it lies in a 16 x 16
// block without a ridge direction, so a row of endings may follow the
// print's edge.
class VELA_API MinutiaeView : public virtual vela::base::BaseRefCounter {
 public:
  virtual int32_t Count() const = 0;
  // (y, x); out_of_range unless 0 <= index < Count().
  virtual FloatPair GetPoint(int32_t index) const = 0;
  // (-sin a, cos a) of the minutia angle a; out_of_range as GetPoint.
  virtual FloatPair GetDirection(int32_t index) const = 0;

 protected:
  ~MinutiaeView() override;
};

// The ridge direction of each 16 x 16 block; (0, 0) where there is none.
class VELA_API DirectionFieldView : public virtual vela::base::BaseRefCounter {
 public:
  virtual int32_t GetRows() const = 0;
  virtual int32_t GetColumns() const = 0;
  virtual int32_t GetBlockWidth() const = 0;
  virtual int32_t GetBlockHeight() const = 0;
  // out_of_range outside the grid.
  virtual FloatPair GetDirection(int32_t column, int32_t row) const = 0;

 protected:
  ~DirectionFieldView() override;
};

// The engine's measures of the first image a template was made from. The
// short form (read from older saved templates) has no Q values: GetQ1 to
// GetQ6 throw not_supported there.
class VELA_API ImageInfoView : public virtual vela::base::BaseRefCounter {
 public:
  // Four values of the engine's image parameters, as single-precision
  // numbers: the top-left corner of the first impression's work area in the
  // picture's pixels (x, then y; see MinutiaeView for the mapping of its
  // points), then two values that are 0 for templates made from images.
  virtual const float* GetParameters() const = 0;
  virtual float GetP1() const = 0;  // image quality, 0..100
  virtual float GetP2() const = 0;  // third quality measure (tilt)
  virtual int32_t GetQ1() const = 0;  // second quality measure in the low byte
  virtual int32_t GetQ2() const = 0;  // fourth quality measure
  virtual int32_t GetQ3() const = 0;
  virtual int32_t GetQ4() const = 0;
  virtual int32_t GetQ5() const = 0;  // x offset
  virtual int32_t GetQ6() const = 0;  // y offset

 protected:
  ~ImageInfoView() override;
};

// Anything that holds one engine data block: Template and XTemplate.
// Matchers compare any two of them, and template and record sets hold either.
class VELA_API BiometricTemplate : public virtual vela::base::BaseRefCounter {
 public:
  virtual const uint8_t* GetData() const = 0;
  virtual int32_t GetDataSize() const = 0;

 protected:
  ~BiometricTemplate() override;
};

// One finger's template: an engine data block with its views.
class VELA_API Template : public virtual BiometricTemplate {
 public:
  // Writes the saved form that Create_Template reads.
  virtual void Save(vela::base::smart_ptr<vela::base::OutputStream> stream) = 0;

 protected:
  ~Template() override;

 public:
  const uint8_t* GetData() const override = 0;
  int32_t GetDataSize() const override = 0;
  // not_supported when the template has no image information.
  virtual vela::base::smart_ptr<ImageInfoView> GetImageInfo() const = 0;
  virtual int32_t GetFingerCode() const = 0;
  virtual vela::base::smart_ptr<MinutiaeView> GetMinutiae() const = 0;
  virtual vela::base::smart_ptr<DirectionFieldView> GetDirectionField() const = 0;
};

// One impression of an extended template; each getter throws not_supported
// when the impression lacks that view.
class VELA_API ImpressionRecordView : public virtual vela::base::BaseRefCounter {
 public:
  virtual vela::base::smart_ptr<ImageInfoView> GetImageInfo() const = 0;
  virtual vela::base::smart_ptr<MinutiaeView> GetMinutiae() const = 0;
  virtual vela::base::smart_ptr<DirectionFieldView> GetDirectionField() const = 0;

 protected:
  ~ImpressionRecordView() override;
};

class VELA_API ImpressionRecordList : public virtual vela::base::BaseRefCounter {
 public:
  virtual int32_t Count() const = 0;
  // out_of_range unless 0 <= index < Count().
  virtual vela::base::smart_ptr<ImpressionRecordView> GetByIndex(int32_t index) const = 0;

 protected:
  ~ImpressionRecordList() override;
};

// The impressions of one finger of an extended template.
class VELA_API FingerRecord : public virtual vela::base::BaseRefCounter {
 public:
  virtual int32_t GetFingerCode() const = 0;
  // The mean image quality of the impressions.
  virtual float GetMeanQuality() = 0;
  virtual vela::base::smart_ptr<ImpressionRecordList> GetImpressions() const = 0;

 protected:
  ~FingerRecord() override;
};

class VELA_API FingerRecordList : public virtual vela::base::BaseRefCounter {
 public:
  virtual int32_t Count() const = 0;
  // out_of_range unless 0 <= index < Count().
  virtual vela::base::smart_ptr<FingerRecord> GetByIndex(int32_t index) const = 0;

 protected:
  ~FingerRecordList() override;
};

// A template of up to ten fingers.
class VELA_API XTemplate : public virtual BiometricTemplate {
 public:
  // invalid_argument, writing nothing, when no finger is left (RemoveFinger
  // of the last one): such a template could not be read back.
  virtual void Save(vela::base::smart_ptr<vela::base::OutputStream> stream) = 0;

 protected:
  ~XTemplate() override;

 public:
  const uint8_t* GetData() const override = 0;
  int32_t GetDataSize() const override = 0;
  // The mean of the fingers' mean qualities; not_supported without fingers.
  virtual float GetMeanQuality() = 0;
  // Empty when the template was read without its finger records.
  virtual vela::base::smart_ptr<FingerRecordList> GetFingers() const = 0;
  // Writes the data part of the saved form only.
  virtual void SaveData(vela::base::smart_ptr<vela::base::OutputStream> stream) = 0;
  // Adds the other template's fingers; where both have a finger, the other's
  // is kept. Both must hold full finger entries (not_supported otherwise).
  virtual void Merge(vela::base::smart_ptr<XTemplate> other) = 0;
  virtual void RemoveFinger(int32_t fingerCode) = 0;
};

// A finger code with the images of that finger.
class VELA_API Finger : public virtual vela::base::BaseRefCounter {
 public:
  virtual void AddImage(vela::base::smart_ptr<vela::base::Image> image) = 0;
  virtual int32_t Count() const = 0;
  virtual vela::base::smart_ptr<vela::base::Image> GetFingerImage(int32_t index) const = 0;
  virtual int32_t GetFingerCode() const = 0;

 protected:
  ~Finger() override;
};

// Fingers with distinct codes, in the order they were added.
class VELA_API FingerSet : public virtual vela::base::BaseRefCounter {
 public:
  virtual int32_t Count() const = 0;
  virtual vela::base::smart_ptr<Finger> GetByIndex(int32_t index) const = 0;
  // invalid_argument when a finger with that code is already held.
  virtual void Add(vela::base::smart_ptr<Finger> finger) = 0;

 protected:
  ~FingerSet() override;
};

// Makes templates from grey fingerprint images (8 or 24 bits per pixel).
class VELA_API ImageProcessor : public virtual vela::base::BaseRefCounter {
 public:
  // At most 10 images, all of one finger.
  virtual vela::base::smart_ptr<Template> CreateTemplate(
      vela::base::smart_ptr<vela::base::ImageSet> images, int32_t fingerCode) = 0;
  virtual vela::base::smart_ptr<Template> CreateTemplate(
      vela::base::smart_ptr<vela::base::Image> image, int32_t fingerCode) = 0;
  // 0..100; bad_quality for an image the engine cannot use.
  virtual int32_t GetImageQuality(vela::base::smart_ptr<vela::base::Image> image) = 0;
  virtual vela::base::smart_ptr<ImageInfoView> GetImageInfo(
      vela::base::smart_ptr<vela::base::Image> image) = 0;
  virtual vela::base::smart_ptr<XTemplate> CreateXTemplate(
      int32_t fingerCode, vela::base::smart_ptr<vela::base::ImageSet> images) = 0;
  virtual vela::base::smart_ptr<XTemplate> CreateXTemplate(
      int32_t fingerCode, vela::base::smart_ptr<vela::base::Image> image) = 0;
  virtual vela::base::smart_ptr<XTemplate> CreateXTemplate(vela::base::smart_ptr<Finger> finger) = 0;
  // At most 10 fingers of at most 10 images each.
  virtual vela::base::smart_ptr<XTemplate> CreateXTemplate(
      vela::base::smart_ptr<FingerSet> fingers) = 0;

 protected:
  ~ImageProcessor() override;
};

// Reads a saved template. invalid_argument for data that is not a template,
// out_of_range for a stream that ends too early.
VELA_API vela::base::smart_ptr<Template> Create_Template(
    vela::base::smart_ptr<vela::base::InputStream> stream);
VELA_API vela::base::smart_ptr<ImageProcessor> Create_ImageProcessor(img_proc_type type);
VELA_API vela::base::smart_ptr<Finger> Create_Finger(finger_code code);
VELA_API vela::base::smart_ptr<Finger> Create_Finger(finger_code code,
                                                     vela::base::smart_ptr<vela::base::Image> image);
// The finger shares the set: images added to either later are seen by both.
VELA_API vela::base::smart_ptr<Finger> Create_Finger(
    finger_code code, vela::base::smart_ptr<vela::base::ImageSet> images);

// How sure a matcher must be before Verify says yes: the score each level
// needs is 450, 550 and 700; any other level needs 2000.
enum SecurityLevel : int32_t {
  SECURITY_LEVEL_LOW = 1,
  SECURITY_LEVEL_MEDIUM = 2,
  SECURITY_LEVEL_HIGH = 3,
};

// How a matcher compares finger sets. Quick (1): the two-pass comparison,
// which turns one impression onto the other only in a few fixed steps and
// gives up early on a pair that does not line up at once. Thorough (2): the
// comparison aligned by hashing minutia pairs, which finds any turn and
// shift; it is slower and fails far less often on turned or shifted prints.
enum MatchSpeed : int32_t {
  MATCH_SPEED_QUICK = 1,
  MATCH_SPEED_THOROUGH = 2,
  // The former names of the same two values. "Fast" was a misnomer: speed 2
  // is the slower, thorough comparison.
  MATCH_SPEED_NORMAL = MATCH_SPEED_QUICK,
  MATCH_SPEED_FAST = MATCH_SPEED_THOROUGH,
};

// The outcome of one comparison.
class VELA_API MatchResult : public virtual vela::base::BaseRefCounter {
 public:
  // 0 for no evidence, at most 2000; negative when a block does not suit the
  // comparison (-3: the probe's compact block cannot be expanded, -4: the
  // stored one's).
  virtual int32_t GetScore() const = 0;
  // The rotation (degrees) of the alignment the thorough comparison found; 0
  // when the comparison left none.
  virtual float GetRotation() const = 0;
  // The shift (y, x) of that alignment in work-image pixels.
  virtual void GetShift(FloatPair& shift) const = 0;

 protected:
  ~MatchResult() override;
};

// A stored template that scored high enough in an identification.
class VELA_API Candidate : public virtual MatchResult {
 public:
  // The id and the value the template was stored with.
  virtual int32_t GetId() const = 0;
  virtual int32_t GetValue() const = 0;

 protected:
  ~Candidate() override;
};

// Candidates by score, the highest first; equal scores in the order they
// were found.
class VELA_API CandidateList : public virtual vela::base::BaseRefCounter {
 public:
  virtual int32_t Count() const = 0;
  // out_of_range unless 0 <= index < Count().
  virtual vela::base::smart_ptr<Candidate> GetByIndex(int32_t index) const = 0;

 protected:
  ~CandidateList() override;
};

// One entry of a template or record set, made on every read.
class VELA_API SetEntry : public virtual vela::base::BaseRefCounter {
 public:
  virtual vela::base::smart_ptr<BiometricTemplate> GetTemplate() const = 0;
  virtual int32_t GetId() const = 0;
  virtual int32_t GetValue() const = 0;

 protected:
  ~SetEntry() override;
};

// Templates by id (ascending), walked with the set's own enumerator. Every
// call is safe from any thread; the enumerator is one for all of them.
class VELA_API TemplateSet : public virtual vela::base::BaseRefCounter {
 public:
  // The value is the id unless given. Both reset the enumerator;
  // invalid_argument when the id is already there or the template is empty.
  virtual void Add(vela::base::smart_ptr<BiometricTemplate> stored, int32_t id) = 0;
  virtual void Add(vela::base::smart_ptr<BiometricTemplate> stored, int32_t id, int32_t value) = 0;
  // Also resets the enumerator; invalid_argument when the id is not there.
  virtual void Remove(int32_t id) = 0;
  virtual int32_t Count() const = 0;
  virtual void Reset() = 0;
  // Moves to the first entry after Reset, else to the next; false past the end.
  virtual bool MoveNext() = 0;
  // out_of_range before the first MoveNext and past the end.
  virtual vela::base::smart_ptr<SetEntry> Current() const = 0;
  // invalid_argument when the id is not there.
  virtual vela::base::smart_ptr<BiometricTemplate> GetById(int32_t id) const = 0;

 protected:
  ~TemplateSet() override;
};

// Templates by id (ascending), read by position. Every call is safe from any
// thread.
class VELA_API RecordSet : public virtual vela::base::BaseRefCounter {
 public:
  // The value is the id unless given; out_of_range when the id is already
  // there, invalid_argument when the template is empty.
  virtual void Add(vela::base::smart_ptr<BiometricTemplate> stored, int32_t id) = 0;
  virtual void Add(vela::base::smart_ptr<BiometricTemplate> stored, int32_t id, int32_t value) = 0;
  virtual int32_t Count() const = 0;
  // The entry at that position in id order; out_of_range unless 0 <= index < Count().
  virtual vela::base::smart_ptr<SetEntry> GetByIndex(int32_t index) const = 0;
  // invalid_argument when the id is not there.
  virtual vela::base::smart_ptr<SetEntry> GetById(int32_t id) const = 0;
  virtual void Remove(int32_t id) = 0;

 protected:
  ~RecordSet() override;
};

// Compares templates. A matcher keeps what it learnt of recent probes between
// calls; give each thread its own (one matcher serves one call at a time).
class VELA_API Matcher : public virtual vela::base::BaseRefCounter {
 public:
  virtual void SetSecurityLevel(int32_t level) = 0;
  virtual int32_t GetSecurityLevel() const = 0;
  // invalid_argument for anything but MATCH_SPEED_QUICK and MATCH_SPEED_THOROUGH.
  virtual void SetMatchSpeed(int32_t speed) = 0;
  virtual int32_t GetMatchSpeed() const = 0;
  // Whether the score reaches the security level's threshold.
  virtual bool Verify(vela::base::smart_ptr<BiometricTemplate> probe,
                      vela::base::smart_ptr<BiometricTemplate> stored) = 0;
  // invalid_argument when only one of the two holds a list of impressions
  // (data id 1), or a block is too short to say what it holds; bad_quality
  // when either holds no minutia at all (as templates of types 1 and 2 made
  // from images without ridges do).
  virtual vela::base::smart_ptr<MatchResult> Match(vela::base::smart_ptr<BiometricTemplate> probe,
                                                   vela::base::smart_ptr<BiometricTemplate> stored) = 0;
  // The at most maxCount best templates of the set scoring at least minScore.
  // Stored templates that cannot be compared with the probe (a list of
  // impressions against finger entries, or no minutia) are skipped; the
  // probe itself is refused as Match refuses it. Several threads may
  // identify against one set at once, each with its own matcher.
  virtual vela::base::smart_ptr<CandidateList> Identify(
      vela::base::smart_ptr<BiometricTemplate> probe, vela::base::smart_ptr<RecordSet> set,
      int32_t maxCount, int32_t minScore) = 0;
  virtual vela::base::smart_ptr<CandidateList> Identify(
      vela::base::smart_ptr<BiometricTemplate> probe, vela::base::smart_ptr<TemplateSet> set,
      int32_t maxCount, int32_t minScore) = 0;

 protected:
  ~Matcher() override;
};

// invalid_argument for a speed other than MATCH_SPEED_QUICK and MATCH_SPEED_THOROUGH.
VELA_API vela::base::smart_ptr<Matcher> Create_Matcher(SecurityLevel level, MatchSpeed speed);
VELA_API vela::base::smart_ptr<RecordSet> Create_RecordSet();

}  // namespace vela::math

#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif
extern "C" {
VELA_API vela::base::smart_ptr<vela::math::FingerSet> Create_FingerSet();
VELA_API vela::base::smart_ptr<vela::math::TemplateSet> Create_TemplateSet();
// Reads a saved extended template (or a saved Template); invalid_argument
// for a stream without the tagged part.
VELA_API vela::base::smart_ptr<vela::math::XTemplate> Create_XTemplate(
    vela::base::smart_ptr<vela::base::InputStream> stream);
}
#if defined(__clang__)
#pragma clang diagnostic pop
#endif
