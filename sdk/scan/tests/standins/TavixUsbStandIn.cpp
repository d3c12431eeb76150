// Stand-in for the maker's USB library. Script: "QNUSBOpenEx" (0 = success),
// "columns", "rows", "byteCount" (the image format, 2 x 3 by default),
// "GetImage" (0 = success). The raw image holds byte i = i.
#include <string>
#include <type_traits>

#include "StandIn.h"
#include "bindings/tavixusb/TavixUsbAbi.h"

using namespace vela::scan::tavixusb;
using standin::Log;
using standin::Value;

namespace {

struct StandInInterface : Interface {
  ImageFormat format;
};

void Release(Interface* self) {
  Log("Release");
  delete static_cast<StandInInterface*>(self);
  standin::Closed();
}

const ImageFormat* GetImageFormat(Interface* self) {
  Log("GetImageFormat");
  auto* object = static_cast<StandInInterface*>(self);
  const int32_t columns = int32_t(Value("columns", 2)), rows = int32_t(Value("rows", 3));
  object->format = {columns, rows, int32_t(Value("byteCount", int64_t{columns} * rows))};
  return &object->format;
}

int32_t GetImage(Interface* self, int32_t mode, uint8_t* buffer) {
  Log("GetImage(" + std::to_string(mode) + ")");
  const ImageFormat& format = static_cast<StandInInterface*>(self)->format;
  const standin::Pixels pixels;
  for (int32_t i = 0; i < format.rawByteCount; ++i) buffer[i] = pixels.At(size_t(i), uint8_t(i));
  return int32_t(Value("GetImage", 0));
}

const InterfaceTable table{{}, Release, {}, GetImageFormat, {}, GetImage};

}  // namespace

STANDIN_EXPORT int32_t QNUSBOpenEx(int32_t port, Interface** result) {
  Log("QNUSBOpenEx(" + std::to_string(port) + ")");
  const int32_t answer = int32_t(Value("QNUSBOpenEx", 0));
  if (answer != 0) return answer;
  auto* object = new StandInInterface;
  object->table = &table;
  *result = object;
  standin::Opened();
  return 0;
}

STANDIN_MATCHES(QNUSBOpenEx, OpenEx_t);
