#include "collection/Makes.h"

#include <array>

#include "bindings/crossmatch/CrossMatchDevice.h"
#include "bindings/fakescan/FakeScanDevice.h"
#include "bindings/izzix/IzzixDevice.h"
#include "bindings/network/NetworkScanner.h"
#include "bindings/nitgen/NitgenDevice.h"
#include "bindings/tavix3/Tavix3Device.h"
#include "bindings/tavix35/Tavix35Device.h"
#include "bindings/tavixmouse/TavixMouseDevice.h"
#include "bindings/tavixusb/TavixUsbDevice.h"
#include "bindings/upek/UpekDevice.h"
#include "device/DeviceType.h"
#include "device/ScannerDriver.h"

namespace vela::scan {
namespace {

const std::array<Make, 10> makes{{
    {IzzixType, "IZZIX Device", "IZZIX device", Listing::OneDevice, EnumerateIzzix,
     CreateScannerDriver<IzzixDevice>},
    {TavixUsbType, "Tavix Device", "Tavix device", Listing::OneDevice, EnumerateTavixUsb,
     CreateScannerDriver<TavixUsbDevice>},
    {FakeScanType, "FakeScan Device", "FakeScan Device", Listing::OneDevice, EnumerateFakeScan,
     CreateScannerDriver<FakeScanDevice>},
    {Tavix35Type, "Tavix3.5 Device", "Tavix3.5 Device", Listing::OnePerIndex, EnumerateTavix35,
     CreateScannerDriver<Tavix35Device>},
    {CrossMatchType, "CrossMatch Device", "CrossMatch Verifier 300", Listing::OneDevice, EnumerateCrossMatch,
     CreateScannerDriver<CrossMatchDevice>},
    {Tavix3Type, "Tavix3 Device", "Tavix3 Device", Listing::OneDevice, EnumerateTavix3,
     CreateScannerDriver<Tavix3Device>},
    {NitgenType, "Nitgen Device", "MFDU01-C3", Listing::OnePerIndex, EnumerateNitgen,
     CreateScannerDriver<NitgenDevice>},
    {NetworkType, "Tavix BI Ethernet Device", "Quillon Tavix BI Ethernet", Listing::OnePerIndex,
     EnumerateNetwork, CreateNetworkScanner},
    {TavixMouseType, "Tavix Mouse 4.0", "Tavix Mouse 4.0", Listing::OneDevice, EnumerateTavixMouse,
     CreateScannerDriver<TavixMouseDevice>},
    {UpekType, "UPEK Eicon", "Swipe fingerprint scanner", Listing::OnePerIndex, EnumerateUpek,
     CreateScannerDriver<UpekDevice>},
}};

}  // namespace

std::span<const Make> SupportedMakes() { return makes; }

}  // namespace vela::scan
