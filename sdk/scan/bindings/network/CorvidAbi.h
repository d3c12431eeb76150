#pragma once
// The network scanner library: objects reached through tables of operations
// and obtained by interface identifiers. Shared by the network scanner and
// the tests' stand-in library.

#include <cstdint>

namespace vela::scan::corvid {

inline constexpr const char* libraryName = "QnCorvidApi.dll";
inline constexpr int32_t getImageTimedOut = 1460;
inline constexpr int32_t getImageTimeout = 200;  // milliseconds
inline constexpr int32_t unloadTimeout = 2000;   // milliseconds

struct Guid {
  uint32_t data1;
  uint16_t data2;
  uint16_t data3;
  uint8_t data4[8];
};

// {40EB613D-A77C-40DB-A48E-BCC49F131573}, {E74A0BE4-7DAB-4C8D-82E0-77909F27AAED}
inline constexpr Guid enumeratorClass{0x40EB613D, 0xA77C, 0x40DB, {0xA4, 0x8E, 0xBC, 0xC4, 0x9F, 0x13, 0x15, 0x73}};
inline constexpr Guid enumeratorInterface{0xE74A0BE4, 0x7DAB, 0x4C8D, {0x82, 0xE0, 0x77, 0x90, 0x9F, 0x27, 0xAA, 0xED}};
// {AF0D9F29-E4B1-415D-BB65-ED64233EE7E1}
inline constexpr Guid deviceInterface{0xAF0D9F29, 0xE4B1, 0x415D, {0xBB, 0x65, 0xED, 0x64, 0x23, 0x3E, 0xE7, 0xE1}};

inline constexpr int32_t maxEntries = 17;

struct EnumerationEntry {
  uint32_t deviceKey;
  uint8_t reserved[32];
};

struct EnumerationRecord {
  int32_t count;
  EnumerationEntry entries[maxEntries];
};
static_assert(sizeof(EnumerationRecord) == 616);

struct Corvid;
struct CorvidEnum;
struct CorvidDevice;

// Slots 0 and 1 of every table are the library's own.
struct CorvidTable {
  void* slots0to1[2];
  int32_t (*Release)(Corvid* self);  // slot 2
  int32_t (*QueryInterface)(Corvid* self, void** result, const Guid* classId, const Guid* interfaceId);  // slot 3
};
struct Corvid {
  const CorvidTable* table;
};

struct CorvidEnumTable {
  void* slots0to1[2];
  int32_t (*Release)(CorvidEnum* self);                                      // slot 2
  int32_t (*Enumerate)(CorvidEnum* self, EnumerationRecord* record, int32_t size);  // slot 3
  void* slots4to5[2];
  int32_t (*OpenDevice)(CorvidEnum* self, void** result, const Guid* interfaceId, uint32_t deviceKey);  // slot 6
};
struct CorvidEnum {
  const CorvidEnumTable* table;
};

struct CorvidDeviceTable {
  void* slots0to1[2];
  int32_t (*Release)(CorvidDevice* self);  // slot 2
  int32_t (*GetImageInfo)(CorvidDevice* self, int32_t* width, int32_t* height, int32_t* third, int32_t* fourth,
                          int32_t);  // slot 3
  // Fills buffer with a BMP file of the image; *received is its length.
  int32_t (*GetImage)(CorvidDevice* self, uint8_t* buffer, int32_t size, int32_t* received, int32_t timeout);  // slot 4
};
struct CorvidDevice {
  const CorvidDeviceTable* table;
};

using CreateA_t = int32_t (*)(int32_t, int32_t, Corvid** result);
using CanBeUnload_t = int32_t (*)(int32_t timeout);  // 0: the library may be unloaded

}  // namespace vela::scan::corvid
