#include <dlfcn.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <exception>
#include <string>
#include <thread>
#include <vector>

#include "vela/vela.h"

namespace {

using vela::base::BaseRefCounter;
using vela::base::InputStream;
using vela::base::MemoryStream;
using vela::base::OutputStream;
using vela::base::smart_ptr;
using vela::base::smart_ptr_cast;
namespace ex = vela::base::exceptions;

// Catches what `thrower` throws as E, as base_exception and as
// std::exception, and checks the text each time.
template <class E, class Thrower>
void ExpectCaughtThreeWays(Thrower thrower, const char* message) {
  SCOPED_TRACE(message);
  try {
    thrower();
    ADD_FAILURE() << "nothing thrown";
  } catch (const E& e) {
    EXPECT_STREQ(e.what(), message);
  }
  try {
    thrower();
  } catch (const ex::base_exception& e) {
    EXPECT_STREQ(e.what(), message);
  }
  try {
    thrower();
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), message);
  }
}

TEST(Client, ExceptionsThrownByTheLibraryAreCaughtByType) {
  ExpectCaughtThreeWays<ex::out_of_range>(
      [] { vela::base::Create_ImageSet()->Get(0); }, "Out of range");
  ExpectCaughtThreeWays<ex::invalid_argument>(
      [] { Create_IFileStream("/nonexistent/file.bmp"); }, "Invalid argument");
  ExpectCaughtThreeWays<ex::invalid_argument>(
      [] { smart_ptr<MemoryStream>()->Size(); }, "Invalid argument");
  ExpectCaughtThreeWays<ex::invalid_refcounter>(
      [] {
        struct Plain : BaseRefCounter {};
        Plain* never_held = new Plain;  // count 0
        try {
          never_held->Release();
        } catch (...) {
          smart_ptr<Plain> owner(never_held);  // frees it on the way out
          throw;
        }
      },
      "Invalid reference counter state");
}

TEST(Client, EveryExceptionClassIsCaughtByType) {
  ExpectCaughtThreeWays<ex::base_exception>([] { throw ex::base_exception("text"); }, "text");
  ExpectCaughtThreeWays<ex::invalid_refcounter>([] { throw ex::invalid_refcounter(); },
                                                "Invalid reference counter state");
  ExpectCaughtThreeWays<ex::out_of_range>([] { throw ex::out_of_range(); }, "Out of range");
  ExpectCaughtThreeWays<ex::invalid_argument>([] { throw ex::invalid_argument(); },
                                              "Invalid argument");
  ExpectCaughtThreeWays<ex::not_implemented>([] { throw ex::not_implemented(); },
                                             "Not implemented");
  ExpectCaughtThreeWays<ex::not_supported>([] { throw ex::not_supported(); }, "Not supported");
  ExpectCaughtThreeWays<ex::bad_quality>([] { throw ex::bad_quality(); }, "Bad image quality");
  ExpectCaughtThreeWays<ex::math_error>([] { throw ex::math_error("ExtractFeatures"); },
                                        "ExtractFeatures");
  ExpectCaughtThreeWays<ex::incits378_error>([] { throw ex::incits378_error(); },
                                             "INCITS378 error");
  ExpectCaughtThreeWays<vela::scan::scan_exception>(
      [] { throw vela::scan::scan_exception("Open failed"); }, "Open failed");
  ExpectCaughtThreeWays<vela::scan::scan_timeout_exception>(
      [] { throw vela::scan::scan_timeout_exception("Timed out"); }, "Timed out");
  ExpectCaughtThreeWays<vela::scan::scan_exception>(
      [] { throw vela::scan::scan_timeout_exception("Timed out"); }, "Timed out");
}

TEST(Client, MemoryStreamCastsBetweenItsTwoFaces) {
  smart_ptr<OutputStream> out = Create_MemoryStream(nullptr, 0);
  out->Write("abc", 3);
  smart_ptr<InputStream> in = smart_ptr_cast<InputStream>(out);
  ASSERT_FALSE(in.empty());
  EXPECT_EQ(in->Seek(0, vela::base::SeekOrigin::Begin), 0);
  char bytes[3];
  in->Read(bytes, 3);
  EXPECT_EQ(std::string(bytes, 3), "abc");
  smart_ptr<OutputStream> back = smart_ptr_cast<OutputStream>(in);
  EXPECT_EQ(back.get(), out.get());
  smart_ptr<MemoryStream> memory = smart_ptr_cast<MemoryStream>(in);
  ASSERT_FALSE(memory.empty());
  EXPECT_STREQ(memory->ToBase64(), "YWJj");
  // One object behind all faces: one position.
  EXPECT_EQ(out->Tell(), 3);
}

TEST(Client, FileStreamHasBothFacesToo) {
  const std::string path = testing::TempDir() + "vela_client_faces.bin";
  smart_ptr<OutputStream> out = Create_OFileStream(path.c_str());
  EXPECT_FALSE(smart_ptr_cast<InputStream>(out).empty());
  EXPECT_TRUE(smart_ptr_cast<MemoryStream>(out).empty());
  out = nullptr;
  std::remove(path.c_str());
}

TEST(Client, PlainFactoriesAreFoundByDlsym) {
  void* library = dlopen(VELA50_LIBRARY, RTLD_NOW);
  ASSERT_NE(library, nullptr) << dlerror();
  for (const char* name : {"Create_IFileStream", "Create_OFileStream", "Create_MemoryStream",
                           "Create_MemoryStreamFromBase64String"})
    EXPECT_NE(dlsym(library, name), nullptr) << name;
  // Namespaced factories keep their decorated names.
  EXPECT_EQ(dlsym(library, "Create_ImageSet"), nullptr);
  EXPECT_NE(dlsym(library, "_ZN4vela4base15Create_ImageSetEv"), nullptr);
  EXPECT_NE(dlsym(library, "_ZN4vela6render16Create_BMP_ImageENS_4base9smart_ptrINS1_"
                           "11InputStreamEEE"),
            nullptr);

  using FromBase64 = smart_ptr<MemoryStream> (*)(const char*);
  auto create = reinterpret_cast<FromBase64>(dlsym(library, "Create_MemoryStreamFromBase64String"));
  ASSERT_NE(create, nullptr);
  {
    smart_ptr<MemoryStream> s = create("Zm9vYmFy");
    EXPECT_EQ(s->Size(), 6);
    EXPECT_STREQ(s->ToBase64(), "Zm9vYmFy");
  }
  dlclose(library);
}

class Counted : public virtual BaseRefCounter {
 public:
  explicit Counted(std::atomic<int>* destroyed) : destroyed_(destroyed) {}

 protected:
  ~Counted() override { destroyed_->fetch_add(1); }

 private:
  std::atomic<int>* destroyed_;
};

// Many threads copy and drop one object; whichever drops last frees it, and
// only that one.
TEST(Client, ReferenceCountingUnderThreadsDestroysExactlyOnce) {
  constexpr int kThreads = 8;
  constexpr int kRounds = 40;
  constexpr int kCopies = 2000;
  for (int round = 0; round < kRounds; ++round) {
    std::atomic<int> destroyed{0};
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    {
      smart_ptr<Counted> shared(new Counted(&destroyed));
      for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([mine = shared, &go]() mutable {
          while (!go.load()) std::this_thread::yield();
          std::vector<smart_ptr<Counted>> copies;
          for (int i = 0; i < kCopies; ++i) {
            copies.push_back(mine);
            if (i % 3 == 0) copies.pop_back();
          }
          copies.clear();
          mine = nullptr;  // the race for the last reference
        });
      }
    }
    go = true;
    for (auto& t : threads) t.join();
    ASSERT_EQ(destroyed.load(), 1) << "round " << round;
  }
}

TEST(Client, ImagesRoundTripThroughTheLibrary) {
  // A 3 x 2 grey image, built by a client from its own bytes.
  class ClientImage : public vela::base::Image {
   public:
    int32_t GetWidth() const override { return 3; }
    int32_t GetHeight() const override { return 2; }
    int32_t GetBitsPerPixel() const override { return 8; }
    int32_t GetXResolution() const override { return 500; }
    int32_t GetYResolution() const override { return 500; }
    int32_t GetRowBytes() const override { return 4; }
    const uint8_t* GetData() const override { return data; }
    uint8_t* GetData() override { return data; }
    void ConvertTo24Bpp() override { throw ex::not_implemented(); }
    void ConvertTo8Bpp() override {}
    uint8_t data[8] = {1, 2, 3, 99, 4, 5, 6, 99};
  };
  smart_ptr<vela::base::ImageSet> set =
      vela::base::Create_ImageSet(smart_ptr<vela::base::Image>(new ClientImage));
  smart_ptr<vela::render::BMP_Image> copy = vela::render::Create_BMP_Image(set->Get(0));
  smart_ptr<MemoryStream> file = Create_MemoryStream(nullptr, 0);
  copy->Save(file);
  file->SetPosition(0);
  smart_ptr<vela::render::BMP_Image> back =
      vela::render::Create_BMP_Image(smart_ptr<InputStream>(file));
  ASSERT_EQ(back->GetRowBytes(), 3);
  EXPECT_EQ(std::vector<uint8_t>(back->GetData(), back->GetData() + 6),
            (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(back->GetXResolution(), 500);
}

TEST(Client, WsqImagesRoundTripThroughTheLibrary) {
  // A 40 x 30 client image of smooth shading.
  class Shading : public vela::base::Image {
   public:
    Shading() {
      for (int i = 0; i < 40 * 30; ++i) data[i] = uint8_t(60 + (i % 40) * 3 + (i / 40) * 2);
    }
    int32_t GetWidth() const override { return 40; }
    int32_t GetHeight() const override { return 30; }
    int32_t GetBitsPerPixel() const override { return 8; }
    int32_t GetXResolution() const override { return 500; }
    int32_t GetYResolution() const override { return 500; }
    int32_t GetRowBytes() const override { return 40; }
    const uint8_t* GetData() const override { return data; }
    uint8_t* GetData() override { return data; }
    void ConvertTo24Bpp() override {}
    void ConvertTo8Bpp() override {}
    uint8_t data[40 * 30];
  };
  smart_ptr<Shading> source(new Shading);
  smart_ptr<vela::render::WSQ_Image> image =
      vela::render::Create_WSQ_Image(smart_ptr<vela::base::Image>(source));
  image->SetComment("client");
  image->SetBitrate(2.0);
  smart_ptr<MemoryStream> file = Create_MemoryStream(nullptr, 0);
  image->Save(file);
  file->SetPosition(0);
  smart_ptr<vela::render::WSQ_Image> back =
      vela::render::Create_WSQ_Image(smart_ptr<InputStream>(file));
  EXPECT_EQ(back->GetWidth(), 40);
  EXPECT_EQ(back->GetXResolution(), 500);
  EXPECT_STREQ(back->GetComment(), "client");
  for (int i = 0; i < 40 * 30; ++i) EXPECT_NEAR(back->GetData()[i], source->data[i], 3) << i;

  const uint8_t notWsq[] = {'B', 'M', 0, 0};
  ExpectCaughtThreeWays<ex::base_exception>(
      [&] {
        vela::render::Create_WSQ_Image(smart_ptr<InputStream>(Create_MemoryStream(notWsq, 4)));
      },
      "Failed to get WSQ Image info!");
  ExpectCaughtThreeWays<ex::not_implemented>([&] { back->ConvertTo24Bpp(); }, "Not implemented");
}

}  // namespace
