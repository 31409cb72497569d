#include "count_cli/result_format.h"

#include <algorithm>
#include <cstring>

#include "count_cli/text_escaping.h"
#include "pagecount/foliotally.h"

namespace foliotally::count_cli {

std::optional<OutputFormat> OutputFormatNamed(std::string_view name) {
  if (name == "log") return OutputFormat::kLog;
  if (name == "csv") return OutputFormat::kCsv;
  if (name == "json") return OutputFormat::kJson;
  return std::nullopt;
}

std::string ReasonOf(int32_t count) {
  switch (count) {
    case FOLIOTALLY_UNREADABLE:
      return "unreadable";
    case FOLIOTALLY_NOT_REGULAR:
      return "not a regular file";
    case FOLIOTALLY_NOT_PDF:
      return "not a PDF file";
    case FOLIOTALLY_DAMAGED:
      return "damaged PDF";
    case FOLIOTALLY_ENCRYPTED:
      return "encrypted";
    default:
      return "not a valid PDF file (code " + std::to_string(count) + ")";
  }
}

std::string StatusOf(const FileCount& count) {
  switch (count.verdict) {
    case FOLIOTALLY_SOUND:
      return "ok";
    case FOLIOTALLY_RECOVERED:
      return "recovered";
    case FOLIOTALLY_TIMED_OUT:
      return "timed out";
    default:
      return ReasonOf(count.pages);
  }
}

std::string ResultFormatter::Header() const {
  if (format_ == OutputFormat::kCsv)
    return std::string("path,pages,status,reason") + (with_sizes_ ? ",sizes" : "") +
           (colours_ ? ",color_pages,bw_pages" : "") + line_end_;
  return {};
}

bool ResultFormatter::Carries(std::string_view path) const {
  if (format_ != OutputFormat::kLog) return true;
  for (char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return false;
  }
  return true;
}

void ResultFormatter::AppendColours(std::string& line, bool counted,
                                    const PageDetails* details) const {
  if (!colours_) return;
  const std::string none;
  const std::string& letters = counted && details ? details->colours : none;
  const auto pages = [&](char letter) {
    return std::to_string(std::count(letters.begin(), letters.end(), letter));
  };
  if (format_ == OutputFormat::kCsv) {
    if (counted)
      line.append(",").append(pages('C')).append(",").append(pages('G'));
    else
      line.append(",,");
  } else if (format_ == OutputFormat::kJson) {
    line += ",\"color_pages\":" + (counted ? pages('C') : std::string("null"));
    line += ",\"page_colors\":" + (counted ? JsonString(letters) : std::string("null"));
  }
}

std::string ResultFormatter::Result(std::string_view path, const FileCount& count,
                                    const FileSizes* sizes, const PageDetails* details) const {
  const bool counted = IsCounted(count);
  const std::string pages = counted ? std::to_string(count.pages) : std::string();
  const std::string status = StatusOf(count);
  // The reason is the library's, cut to its buffer; a timed-out count says it in its status.
  const std::string_view reason(count.reason, strnlen(count.reason, sizeof count.reason));
  std::string line;
  line.reserve(path.size() + 32);  // room for the usual line in one allocation
  switch (format_) {
    case OutputFormat::kLog:
      if (!counted) return {};
      line.append(path).append(";").append(pages);
      break;
    case OutputFormat::kCsv:
      line = CsvField(path) + "," + pages + "," + CsvField(status) + "," + CsvField(reason);
      if (with_sizes_) line += "," + CsvField(sizes ? SizesCsv(*sizes) : std::string());
      AppendColours(line, counted, details);
      break;
    case OutputFormat::kJson:
      line = "{\"path\":" + JsonString(path);
      // A name that is not UTF-8 cannot be carried by a JSON string exactly; its bytes go
      // along in hexadecimal so that the file can still be found.
      if (!IsValidUtf8(path)) line += ",\"path_hex\":\"" + HexBytes(path) + "\"";
      line += ",\"pages\":" + (counted ? pages : std::string("null"));
      line += ",\"status\":" + JsonString(status);
      if (!reason.empty()) line += ",\"reason\":" + JsonString(reason);
      if (sizes) line += ",\"sizes\":" + (counted ? SizesJson(*sizes) : std::string("null"));
      AppendColours(line, counted, details);
      line += "}";
      break;
  }
  return line.append(line_end_);
}

}  // namespace foliotally::count_cli
