#include "collection/Makes.h"

#include <array>

#include "bindings/fakescan/FakeScanDevice.h"
#include "device/DeviceType.h"
#include "device/ScannerDriver.h"

namespace vela::scan {
namespace {

const std::array<Make, 10> makes{{
    {IzzixType, "IZZIX Device", "IZZIX device", Listing::OneDevice, nullptr, nullptr},
    {TavixUsbType, "Tavix Device", "Tavix device", Listing::OneDevice, nullptr, nullptr},
    {FakeScanType, "FakeScan Device", "FakeScan Device", Listing::OneDevice, EnumerateFakeScan,
     CreateScannerDriver<FakeScanDevice>},
    {Tavix35Type, "Tavix3.5 Device", "Tavix3.5 Device", Listing::OnePerIndex, nullptr, nullptr},
    {CrossMatchType, "CrossMatch Device", "CrossMatch Verifier 300", Listing::OneDevice, nullptr, nullptr},
    {Tavix3Type, "Tavix3 Device", "Tavix3 Device", Listing::OneDevice, nullptr, nullptr},
    {NitgenType, "Nitgen Device", "MFDU01-C3", Listing::OnePerIndex, nullptr, nullptr},
    {NetworkType, "Tavix BI Ethernet Device", "Quillon Tavix BI Ethernet", Listing::OnePerIndex, nullptr,
     nullptr},
    {TavixMouseType, "Tavix Mouse 4.0", "Tavix Mouse 4.0", Listing::OneDevice, nullptr, nullptr},
    {UpekType, "UPEK Eicon", "Swipe fingerprint scanner", Listing::OnePerIndex, nullptr, nullptr},
}};

}  // namespace

std::span<const Make> SupportedMakes() { return makes; }

}  // namespace vela::scan
