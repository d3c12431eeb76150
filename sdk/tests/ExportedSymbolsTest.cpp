// The library's dynamic symbol table holds what clients may use and nothing
// of its insides.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

std::vector<std::string> CommandLines(const std::string& command) {
  std::vector<std::string> lines;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return lines;
  char buffer[4096];
  while (fgets(buffer, sizeof buffer, pipe)) {
    std::string line(buffer);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    lines.push_back(line);
  }
  EXPECT_EQ(pclose(pipe), 0) << command;
  return lines;
}

// Demangled names of the defined dynamic symbols.
std::set<std::string> ExportedNames() {
  std::set<std::string> names;
  for (const std::string& line :
       CommandLines(std::string(VELA_NM) + " -D --defined-only -C '" VELA50_LIBRARY "'")) {
    // "<address> <kind> <name>"
    const size_t first = line.find(' ');
    const size_t second = line.find(' ', first + 1);
    if (second != std::string::npos) names.insert(line.substr(second + 1));
  }
  return names;
}

TEST(ExportedSymbols, OnlyTheLibrarysOwnInterface) {
  const std::regex allowed(
      "(vela::.*)"
      "|((typeinfo|typeinfo name|vtable|VTT) for vela::.*)"
      "|(concurrency::exceptions::.*)"
      "|((typeinfo|typeinfo name|vtable) for concurrency::exceptions::.*)"
      "|(Create_[A-Za-z0-9_]+)");
  const std::set<std::string> names = ExportedNames();
  ASSERT_FALSE(names.empty());
  for (const std::string& name : names)
    EXPECT_TRUE(std::regex_match(name, allowed)) << "exported by mistake: " << name;
}

TEST(ExportedSymbols, FactoriesAndClassInformationAreThere) {
  const std::set<std::string> names = ExportedNames();
  const char* required[] = {
      "Create_IFileStream",
      "Create_OFileStream",
      "Create_MemoryStream",
      "Create_MemoryStreamFromBase64String",
      "vela::base::Create_ImageSet()",
      "vela::base::Create_ImageSet(vela::base::smart_ptr<vela::base::Image>)",
      "vela::render::Create_BMP_Image(vela::base::smart_ptr<vela::base::InputStream>)",
      "vela::render::Create_BMP_Image(vela::base::smart_ptr<vela::base::Image>)",
      "vela::render::Create_WSQ_Image(vela::base::smart_ptr<vela::base::InputStream>)",
      "vela::render::Create_WSQ_Image(vela::base::smart_ptr<vela::base::Image>)",
      "vela::base::BaseRefCounter::AddRef() const",
      "vela::base::BaseRefCounter::Release() const",
      "vela::base::BaseRefCounter::Version() const",
      "typeinfo for vela::base::exceptions::base_exception",
      "typeinfo for vela::base::exceptions::invalid_refcounter",
      "typeinfo for vela::base::exceptions::out_of_range",
      "typeinfo for vela::base::exceptions::invalid_argument",
      "typeinfo for vela::base::exceptions::not_implemented",
      "typeinfo for vela::base::exceptions::not_supported",
      "typeinfo for vela::base::exceptions::bad_quality",
      "typeinfo for vela::base::exceptions::math_error",
      "typeinfo for vela::base::exceptions::incits378_error",
      "typeinfo for vela::scan::scan_exception",
      "typeinfo for vela::scan::scan_timeout_exception",
      "vtable for vela::base::exceptions::out_of_range",
      "typeinfo for vela::base::Stream",
      "typeinfo for vela::base::InputStream",
      "typeinfo for vela::base::OutputStream",
      "typeinfo for vela::base::MemoryStream",
      "typeinfo for vela::base::Image",
      "typeinfo for vela::base::ImageSet",
      "typeinfo for vela::render::BMP_Image",
      "Create_ImageDrawer",
      "typeinfo for vela::render::ImageDrawer",
      "vela::render::Calculate_Histogram(vela::base::smart_ptr<vela::base::Image>, int*)",
      "vela::iso::Create_FingerImageData(vela::base::smart_ptr<vela::base::InputStream>)",
      "vela::iso::Create_FingerImageData(unsigned short, unsigned short, unsigned short, unsigned short, "
      "unsigned short, unsigned char, vela::iso::CompressionAlgorithm)",
      "vela::iso::Create_FingerMinutiaeRecord(vela::base::smart_ptr<vela::base::InputStream>)",
      "vela::incits378::Create_ImageProcessor()",
      "vela::incits378::Create_Matcher()",
      "vela::incits378::Create_Template(vela::base::smart_ptr<vela::base::InputStream>)",
      "vela::iso_math::Create_ImageProcessor()",
      "vela::iso_math::Create_Matcher(vela::math::SecurityLevel)",
      "typeinfo for vela::iso::FingerImageData",
      "typeinfo for vela::iso::FingerMinutiaeRecord",
      "typeinfo for vela::incits378::Template",
      "typeinfo for vela::incits378::SimpleMatchResult",
      "typeinfo for vela::render::WSQ_Image",
  };
  for (const char* name : required) EXPECT_TRUE(names.count(name)) << "missing: " << name;
}

TEST(ExportedSymbols, InternalsStayHidden) {
  for (const std::string& name : ExportedNames()) {
    for (const char* inside : {"FileStream", "MemoryStreamImpl", "BitmapImage", "Base64",
                               "DecodeBmp", "EncodeBmp", "std::",
                               "PixelCanvas", "QualityCurve", "HueToRgb", "CorvidLibrary", "NetworkScanner",
                               "ParseNetworkReply", "IzzixDevice", "UpekDevice", "WsqImage", "vela::wsq"}) {
      if (name.rfind("Create_", 0) == 0) continue;
      EXPECT_EQ(name.find(inside), std::string::npos) << "exported by mistake: " << name;
    }
  }
}

TEST(ExportedSymbols, LibraryCarriesItsSoname) {
  bool found = false;
  for (const std::string& line :
       CommandLines(std::string(VELA_READELF) + " -d '" VELA50_LIBRARY "'"))
    if (line.find("(SONAME)") != std::string::npos) {
      found = true;
      EXPECT_NE(line.find("[libvela50.so.5]"), std::string::npos) << line;
    }
  EXPECT_TRUE(found);
}

}  // namespace
