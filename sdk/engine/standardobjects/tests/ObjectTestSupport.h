#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "vela/vela.h"

namespace vela::standard::test {

using base::smart_ptr;

inline std::filesystem::path SharedFingerprintPath(int finger, int impression)
{
    char name[32];
    std::snprintf(name, sizeof name, "f%02d_%d.bmp", finger, impression);
    return std::filesystem::path(PV_SHARED_DATA_DIR) / "fingerprints" / name;
}

// The shared picture as an image of the library; empty when absent.
inline smart_ptr<base::Image> SharedImage(int finger, int impression)
{
    const auto path = SharedFingerprintPath(finger, impression);
    if (!std::filesystem::exists(path))
        return {};
    return render::Create_BMP_Image(Create_IFileStream(path.c_str()));
}

// An image of the client's own, with rows `stride` bytes apart (padding
// filled with a value no picture uses, so reading it shows).
class ClientImage final : public virtual base::Image {
public:
    ClientImage(int32_t width, int32_t height, int32_t bits, int32_t xDpi, int32_t yDpi, int32_t stride)
        : width(width), height(height), bits(bits), xDpi(xDpi), yDpi(yDpi), stride(stride),
          pixels(static_cast<size_t>(stride) * height, 0xEE)
    {
    }
    int32_t GetWidth() const override { return width; }
    int32_t GetHeight() const override { return height; }
    int32_t GetBitsPerPixel() const override { return bits; }
    int32_t GetXResolution() const override { return xDpi; }
    int32_t GetYResolution() const override { return yDpi; }
    int32_t GetRowBytes() const override { return stride; }
    const uint8_t* GetData() const override { return pixels.data(); }
    uint8_t* GetData() override { return pixels.data(); }
    void ConvertTo24Bpp() override { throw base::exceptions::not_implemented(); }
    void ConvertTo8Bpp() override { throw base::exceptions::not_implemented(); }

    uint8_t& At(int32_t x, int32_t y) { return pixels[static_cast<size_t>(y) * stride + x]; }

protected:
    ~ClientImage() override = default;

private:
    int32_t width, height, bits, xDpi, yDpi, stride;
    std::vector<uint8_t> pixels;
};

// A grey copy of `source` in a padded client image.
inline smart_ptr<ClientImage> PaddedCopy(const smart_ptr<base::Image>& source, int32_t padding, int32_t xDpi = 500,
                                         int32_t yDpi = 500)
{
    smart_ptr<ClientImage> copy(new ClientImage(source->GetWidth(), source->GetHeight(), 8, xDpi, yDpi,
                                                source->GetWidth() + padding));
    const base::Image& s = *source;
    for (int32_t y = 0; y < source->GetHeight(); ++y)
        for (int32_t x = 0; x < source->GetWidth(); ++x)
            copy->At(x, y) = s.GetData()[static_cast<size_t>(y) * s.GetRowBytes() + x];
    return copy;
}

inline std::vector<uint8_t> StreamBytes(smart_ptr<base::MemoryStream> stream)
{
    stream->Seek(0, base::SeekOrigin::Begin);
    std::vector<uint8_t> bytes(static_cast<size_t>(stream->Size()));
    if (!bytes.empty())
        stream->Read(bytes.data(), static_cast<int32_t>(bytes.size()));
    return bytes;
}

template <typename F>
std::string FailureOf(F&& call)
{
    try {
        call();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "no failure";
}

} // namespace vela::standard::test
