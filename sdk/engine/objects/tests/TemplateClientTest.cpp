// A client of libvela50.so makes, saves and reloads templates through the
// public headers only.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "ClientImage.h"
#include "vela/math.h"
#include "vela/render.h"

namespace {

using vela::base::InputStream;
using vela::base::MemoryStream;
using vela::base::smart_ptr;
namespace ex = vela::base::exceptions;
namespace math = vela::math;

std::string ImagePath(const char* name) {
  return std::string(PV_SHARED_DATA_DIR) + "/fingerprints/" + name + ".bmp";
}

std::vector<uint8_t> Bytes(const smart_ptr<MemoryStream>& stream) {
  stream->SetPosition(0);
  std::vector<uint8_t> bytes(size_t(stream->Size()));
  stream->Read(bytes.data(), int32_t(bytes.size()));
  return bytes;
}

TEST(TemplateClient, TemplateTravelsAsBase64AndComesBackTheSame) {
  if (!std::filesystem::exists(ImagePath("f03_2")))
    GTEST_SKIP() << "no fingerprint images in " << PV_SHARED_DATA_DIR "/fingerprints";
  smart_ptr<vela::base::Image> image =
      vela::render::Create_BMP_Image(Create_IFileStream(ImagePath("f03_2").c_str()));
  const smart_ptr<math::ImageProcessor> processor = math::Create_ImageProcessor(math::IMG_PROC_COMPACT);
  const smart_ptr<math::Template> made = processor->CreateTemplate(image, math::LEFT_INDEX);

  smart_ptr<MemoryStream> saved = Create_MemoryStream(nullptr, 0);
  made->Save(saved);
  const std::vector<uint8_t> savedBytes = Bytes(saved);
  const std::string text = saved->ToBase64();
  ASSERT_FALSE(text.empty());

  const smart_ptr<math::Template> loaded =
      math::Create_Template(smart_ptr<InputStream>(Create_MemoryStreamFromBase64String(text.c_str())));
  EXPECT_EQ(loaded->GetFingerCode(), math::LEFT_INDEX);
  ASSERT_EQ(loaded->GetDataSize(), made->GetDataSize());
  EXPECT_EQ(std::memcmp(loaded->GetData(), made->GetData(), size_t(made->GetDataSize())), 0);
  smart_ptr<MemoryStream> again = Create_MemoryStream(nullptr, 0);
  loaded->Save(again);
  EXPECT_EQ(Bytes(again), savedBytes);

  // The same text is an extended template of one finger.
  const smart_ptr<math::XTemplate> extended =
      Create_XTemplate(smart_ptr<InputStream>(Create_MemoryStreamFromBase64String(text.c_str())));
  ASSERT_EQ(extended->GetFingers()->Count(), 1);
  EXPECT_EQ(extended->GetFingers()->GetByIndex(0)->GetFingerCode(), math::LEFT_INDEX);
}

// The minutiae of a template in the picture's pixels, as math.h tells a
// client to place them.
std::vector<std::pair<double, double>> MinutiaeInPicture(const smart_ptr<math::Template>& made, int32_t dpi) {
  const float* origin = made->GetImageInfo()->GetParameters();
  const smart_ptr<math::MinutiaeView> minutiae = made->GetMinutiae();
  std::vector<std::pair<double, double>> points;
  for (int32_t i = 0; i < minutiae->Count(); ++i) {
    const math::FloatPair p = minutiae->GetPoint(i);
    points.emplace_back(origin[0] + p.second * dpi / 508.0, origin[1] + p.first * dpi / 508.0);
  }
  return points;
}

// The same pixels taken at another resolution are resampled and cut
// differently, yet most minutiae land on the same pixels of the picture
// (placed with another working resolution, such as 432 dpi, almost none do).
TEST(TemplateClient, MinutiaeMapOntoThePicturesPixelsWhateverItsResolution) {
  if (!std::filesystem::exists(ImagePath("f01_1")))
    GTEST_SKIP() << "no fingerprint images in " << PV_SHARED_DATA_DIR "/fingerprints";
  const smart_ptr<vela::base::Image> image =
      vela::render::Create_BMP_Image(Create_IFileStream(ImagePath("f01_1").c_str()));
  const std::vector<uint8_t> pixels(image->GetData(),
                                    image->GetData() + image->GetRowBytes() * image->GetHeight());
  const smart_ptr<math::ImageProcessor> processor = math::Create_ImageProcessor(math::IMG_PROC_COMPACT);
  const auto made = [&](int32_t dpi) {
    return processor->CreateTemplate(
        smart_ptr<vela::base::Image>(new vela::test::ClientImage(image->GetWidth(), image->GetHeight(), 8, pixels, dpi)),
        math::RIGHT_INDEX);
  };
  const auto reference = MinutiaeInPicture(made(500), 500);
  ASSERT_GT(reference.size(), 20u);
  for (int32_t dpi : {400, 600}) {
    SCOPED_TRACE(std::to_string(dpi) + " dpi");
    const auto points = MinutiaeInPicture(made(dpi), dpi);
    size_t near = 0;
    for (const auto& [x, y] : points) {
      for (const auto& [u, v] : reference) {
        if (std::hypot(x - u, y - v) <= 3) {
          ++near;
          break;
        }
      }
    }
    EXPECT_GE(5 * near, 2 * points.size()) << near << " of " << points.size() << " within 3 pixels";
  }
}

TEST(TemplateClient, FailuresArriveAsTheLibrarysExceptionTypes) {
  const uint8_t junk[40] = {0x10, 0, 0, 0, 1, 0, 0, 0};
  try {
    math::Create_Template(smart_ptr<InputStream>(Create_MemoryStream(junk, sizeof junk)));
    ADD_FAILURE() << "junk read as a template";
  } catch (const ex::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "Invalid argument");
  }
  EXPECT_THROW(math::Create_Template(smart_ptr<InputStream>(Create_MemoryStream(junk, 3))),
               ex::out_of_range);
  try {
    math::Create_ImageProcessor(math::img_proc_type(9))->CreateTemplate(vela::base::Create_ImageSet(), 1);
    ADD_FAILURE() << "nothing thrown";
  } catch (const ex::base_exception& e) {
    EXPECT_STREQ(e.what(), "CreateTemplate=> RecID not defined.");
  }
  smart_ptr<math::FingerSet> set = Create_FingerSet();
  set->Add(math::Create_Finger(math::RIGHT_THUMB));
  EXPECT_THROW(set->Add(math::Create_Finger(math::RIGHT_THUMB)), ex::invalid_argument);
}

TEST(TemplateClient, AnExtendedTemplateWithoutFingersIsNotSaved) {
  if (!std::filesystem::exists(ImagePath("f03_2")))
    GTEST_SKIP() << "no fingerprint images in " << PV_SHARED_DATA_DIR "/fingerprints";
  smart_ptr<vela::base::Image> image =
      vela::render::Create_BMP_Image(Create_IFileStream(ImagePath("f03_2").c_str()));
  const smart_ptr<math::XTemplate> made =
      math::Create_ImageProcessor(math::IMG_PROC_FINGER_SET)->CreateXTemplate(math::LEFT_INDEX, image);
  made->RemoveFinger(math::LEFT_INDEX);
  EXPECT_EQ(made->GetFingers()->Count(), 0);
  // What is saved must read back; a template with no finger cannot, so
  // neither form is written.
  smart_ptr<MemoryStream> saved = Create_MemoryStream(nullptr, 0);
  EXPECT_THROW(made->Save(saved), ex::invalid_argument);
  EXPECT_THROW(made->SaveData(saved), ex::invalid_argument);
  EXPECT_EQ(saved->Size(), 0);

  // One finger of two removed still saves and reads back.
  smart_ptr<math::FingerSet> fingers = Create_FingerSet();
  fingers->Add(math::Create_Finger(math::LEFT_INDEX, image));
  fingers->Add(math::Create_Finger(math::LEFT_MIDDLE, image));
  const smart_ptr<math::XTemplate> two =
      math::Create_ImageProcessor(math::IMG_PROC_FINGER_SET)->CreateXTemplate(fingers);
  two->RemoveFinger(math::LEFT_INDEX);
  two->Save(saved);
  saved->SetPosition(0);
  const smart_ptr<math::XTemplate> back = Create_XTemplate(saved);
  ASSERT_EQ(back->GetDataSize(), two->GetDataSize());
  EXPECT_EQ(std::memcmp(back->GetData(), two->GetData(), size_t(two->GetDataSize())), 0);
}

TEST(TemplateClient, SavingAnImageOfAnotherDepthThrowsTheLibrarysType) {
  const smart_ptr<vela::render::BMP_Image> copy = vela::render::Create_BMP_Image(
      smart_ptr<vela::base::Image>(new vela::test::ClientImage(2, 2, 32, std::vector<uint8_t>(16))));
  smart_ptr<MemoryStream> out = Create_MemoryStream(nullptr, 0);
  try {
    copy->Save(out);
    ADD_FAILURE() << "saved";
  } catch (const ex::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "unimplemented bitmap format !");
  } catch (...) {
    ADD_FAILURE() << "not one of the library's exceptions";
  }
  EXPECT_EQ(out->Size(), 0);
}

TEST(TemplateClient, PlainFactoriesAreFoundByName) {
  EXPECT_NE(dlsym(RTLD_DEFAULT, "Create_FingerSet"), nullptr);
  EXPECT_NE(dlsym(RTLD_DEFAULT, "Create_XTemplate"), nullptr);
}

}  // namespace
