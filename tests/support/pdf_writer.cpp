#include "support/pdf_writer.h"

#include <cstdio>
#include <vector>

namespace foliotally::test {

std::string MakePdf(int pages) {
  std::string out = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
  std::vector<size_t> offsets;
  auto add_object = [&](const std::string& body) {
    offsets.push_back(out.size());
    out += std::to_string(offsets.size()) + " 0 obj\n" + body + "\nendobj\n";
  };
  add_object("<< /Type /Catalog /Pages 2 0 R >>");
  std::string kids;
  for (int i = 0; i < pages; ++i) kids += std::to_string(3 + i) + " 0 R ";
  add_object("<< /Type /Pages /Kids [ " + kids + "] /Count " + std::to_string(pages) + " >>");
  for (int i = 0; i < pages; ++i)
    add_object("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] >>");
  const size_t xref = out.size();
  out += "xref\n0 " + std::to_string(offsets.size() + 1) + "\n0000000000 65535 f \n";
  char line[32];
  for (size_t off : offsets) {
    std::snprintf(line, sizeof line, "%010zu 00000 n \n", off);
    out += line;
  }
  out += "trailer\n<< /Size " + std::to_string(offsets.size() + 1) +
         " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  return out;
}

}  // namespace foliotally::test
