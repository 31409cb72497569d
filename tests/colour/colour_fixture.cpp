#include "colour_fixture.h"

#include "colour/page_colours.h"
#include "pagecount/byte_source.h"
#include "support/pdf_writer.h"

namespace foliotally::test {

std::string StreamObject(const std::string& dict, const std::string& data) {
  return "<< " + dict + " /Length " + std::to_string(data.size()) + " >>\nstream\n" + data +
         "\nendstream";
}

std::string OnePagePdf(const PageParts& page) {
  std::vector<std::string> bodies = {
      "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Contents 4 0 R /Resources " +
          page.resources + " " + page.page_extra + " >>",
      StreamObject("", page.content)};
  bodies.insert(bodies.end(), page.objects.begin(), page.objects.end());
  return MakePdfFromObjects(bodies);
}

ReadOutcome ReadWithoutDrawing(const std::string& pdf, int pages) {
  ReadOutcome outcome;
  pdf::MemoryByteSource source(pdf);
  const pdf::Deadline deadline(20000);
  const colour::PageColours colours =
      colour::ReadPageColours(source, pages, deadline, [&](int first, int last) {
        outcome.runs.emplace_back(first, last);
        return std::string(static_cast<size_t>(last - first + 1), 'C');
      });
  outcome.letters = colours.letters;
  return outcome;
}

}  // namespace foliotally::test
