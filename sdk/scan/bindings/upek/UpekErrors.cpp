#include "bindings/upek/UpekErrors.h"

#include <array>

#include "vela/base.h"

namespace vela::scan {
namespace {

struct Error {
  int32_t code;
  const char* text;
};

constexpr std::array<Error, 26> errors{{
    {-1001, "General error!"},
    {-1002, "PerfectTrust API wasn't initialized!"},
    {-1003, "PerfectTrust API has been already initialized!"},
    {-1004, "Invalid parameter!"},
    {-1005, "Invalid handle!"},
    {-1006, "Not enough memory to process given operation!"},
    {-1007, "Failure of extern memory allocation function!"},
    {-1008, "Passed data are too large!"},
    {-1009, "Not enough permanent memory to store data!"},
    {-1010, "There is more data to return than the supplied buffer can contain!"},
    {-1033, "Function failed!"},
    {-1036, "Invalid form of PT_INPUT_BIR structure!"},
    {-1037, "TFM has returned wrong or unexpected response!"},
    {-1038, "Not enough memory on TFM to process given operation!"},
    {-1039, "Connection is already opened!"},
    {-1040, "Cannot connect to TFM!"},
    {-1041, "Timeout elapsed!"},
    {-1042, "Bad biometric template!"},
    {-1043, "Requested slot was not found!"},
    {-1044, "Attempt to export antispoofing info from TFM!"},
    {-1045, "Attempt to import antispoofing info to TFM!"},
    {-1046, "Access to operation is denied!"},
    {-1049, "No template was captured in current session!"},
    {-1050, "Timeout for biometric operation has expired!"},
    {-1058, "Session was terminated!"},
    {-1062, "Finger swipe is too bad for image reconstruction!"},
}};

}  // namespace

const char* UpekErrorText(int32_t code) {
  for (const Error& error : errors)
    if (error.code == code) return error.text;
  return "Unknown error!";
}

void CheckUpekResult(int32_t code) {
  if (code == 0) return;
  if (code == -1041 || code == -1050) throw scan_timeout_exception(UpekErrorText(code));
  throw scan_exception(UpekErrorText(code));
}

}  // namespace vela::scan
