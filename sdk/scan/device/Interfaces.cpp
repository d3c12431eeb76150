// The public interfaces' destructors live here so that their type
// information and virtual tables are emitted once, inside the library.
#include "vela/scan.h"

namespace vela::scan {

DeviceInfo::~DeviceInfo() = default;
Scanner::~Scanner() = default;
DeviceDescriptor::~DeviceDescriptor() = default;
DeviceDescriptorList::~DeviceDescriptorList() = default;
BioScanners::~BioScanners() = default;

}  // namespace vela::scan
