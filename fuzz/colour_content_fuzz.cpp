// Feeds arbitrary bytes to the colour reader: as the content of a page whose resources
// hold one of each kind the reader follows (forms that call back into the same content,
// images, a tiling and a shading pattern, spot, palette and ICC colour spaces, a type 3
// font, graphics states), and as a whole file. Each must answer with one letter per page,
// without a crash, a hang or unbounded memory.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "colour/page_colours.h"
#include "pagecount/byte_source.h"

namespace {

std::string Stream(const std::string& dict, std::string_view data) {
  return "<< " + dict + " /Length " + std::to_string(data.size()) + " >>\nstream\n" +
         std::string(data) + "\nendstream";
}

std::string FileOf(const std::vector<std::string>& bodies) {
  std::string out = "%PDF-1.7\n";
  std::vector<size_t> offsets;
  for (size_t i = 0; i < bodies.size(); ++i) {
    offsets.push_back(out.size());
    out += std::to_string(i + 1) + " 0 obj\n" + bodies[i] + "\nendobj\n";
  }
  const size_t xref = out.size();
  out += "xref\n0 " + std::to_string(bodies.size() + 1) + "\n0000000000 65535 f \n";
  for (size_t offset : offsets) {
    std::string digits = std::to_string(offset);
    out += std::string(10 - digits.size(), '0') + digits + " 00000 n \n";
  }
  out += "trailer\n<< /Size " + std::to_string(bodies.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
         std::to_string(xref) + "\n%%EOF\n";
  return out;
}

// The content as a page's, with a form, a pattern and an annotation that paint it too.
std::string PageAround(std::string_view content) {
  const std::string resources =
      "<< /XObject << /Fm0 5 0 R /Im0 6 0 R /Im1 7 0 R >> /Pattern << /P0 8 0 R /P1 << "
      "/PatternType 2 /Shading << /ShadingType 2 /ColorSpace /DeviceGray >> >> >> "
      "/ColorSpace << /CS0 [/Separation /Spot /DeviceCMYK 9 0 R] /CS1 [/Indexed /DeviceRGB 1 "
      "<00FF00FF00FF>] /CS2 [/ICCBased 10 0 R] /CS3 [/Pattern /DeviceRGB] /CS4 [/DeviceN [/Black "
      "/None] /DeviceGray 9 0 R] >> /Font << /F0 << /Subtype /Type3 >> /F1 << /Subtype /Type1 >> "
      ">> /ExtGState << /G0 << /SMask << /G 5 0 R >> >> /G1 << /TR [9 0 R 9 0 R 9 0 R 9 0 R] >> "
      ">> /Shading << /Sh0 << /ColorSpace /DeviceRGB >> >> >>";
  return FileOf({"<< /Type /Catalog /Pages 2 0 R >>",
                 "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                 "<< /Type /Page /Parent 2 0 R /Contents 4 0 R /Resources " + resources +
                     " /Annots [11 0 R] >>",
                 Stream("", content),
                 Stream("/Subtype /Form /BBox [0 0 9 9] /Resources " + resources, content),
                 Stream("/Subtype /Image /Width 1 /Height 1 /ColorSpace /DeviceGray", "A"),
                 Stream("/Subtype /Image /Width 1 /Height 1 /ImageMask true", "A"),
                 Stream("/PatternType 1 /PaintType 1 /Resources " + resources, content),
                 "<< /FunctionType 2 /Domain [0 1] /C0 [0 0 0 0] /C1 [0 1 1 0] /N 1 >>",
                 Stream("/N 3", ""),
                 "<< /Subtype /Widget /AS /On /AP << /N << /On 5 0 R >> >> >>"});
}

void Check(const std::string& file, int32_t pages) {
  foliotally::pdf::MemoryByteSource source(file);
  const foliotally::pdf::Deadline deadline(10000);
  const auto colours = foliotally::colour::ReadPageColours(
      source, pages, deadline,
      [](int first, int last) { return std::string(static_cast<size_t>(last - first + 1), 'C'); });
  if (colours.letters.size() != static_cast<size_t>(pages)) __builtin_trap();
  for (const char letter : colours.letters)
    if (letter != 'C' && letter != 'G' && letter != '?') __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  // The first byte chooses: the rest as a page's content, or as a file of a few pages.
  if (data[0] & 1)
    Check(PageAround(bytes), 1);
  else
    Check(std::string(bytes), 1 + (data[0] >> 1) % 4);
  return 0;
}
