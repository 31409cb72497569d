#include "dragdrop/formats/file_uri.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>

namespace foliotally::dragdrop {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// A '%' not followed by two hex digits is taken as itself, as file managers write it.
std::optional<std::string> DecodePercents(std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      c = static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    }
    if (c == '\0') return std::nullopt;
    bytes.push_back(c);
  }
  return bytes;
}

}  // namespace

std::optional<std::string> LocalPathOfFileUri(std::string_view uri, std::string_view host_name) {
  constexpr std::string_view kScheme = "file:";
  if (uri.size() < kScheme.size() || !SameIgnoringCase(uri.substr(0, kScheme.size()), kScheme))
    return std::nullopt;
  std::string_view rest = uri.substr(kScheme.size());
  // A query or a fragment is no part of a file's name.
  rest = rest.substr(0, rest.find_first_of("?#"));
  if (rest.substr(0, 2) == "//") {
    rest.remove_prefix(2);
    const size_t slash = rest.find('/');
    const std::string_view host = rest.substr(0, slash);
    if (!host.empty() && !SameIgnoringCase(host, "localhost") &&
        (host_name.empty() || !SameIgnoringCase(host, host_name)))
      return std::nullopt;
    if (slash == std::string_view::npos) return std::nullopt;
    rest.remove_prefix(slash);
  }
  if (rest.empty() || rest.front() != '/') return std::nullopt;
  return DecodePercents(rest);
}

std::vector<std::string_view> UriListLines(std::string_view list, size_t max_lines) {
  std::vector<std::string_view> lines;
  while (!list.empty() && lines.size() < max_lines) {
    const size_t end = list.find('\n');
    std::string_view line = list.substr(0, end);
    list = end == std::string_view::npos ? std::string_view() : list.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    lines.push_back(line);
  }
  return lines;
}

std::string FileUriOf(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri = "file://";
  uri.reserve(uri.size() + path.size());
  for (unsigned char c : path) {
    if ((c < 0x80 && std::isalnum(c)) ||
        std::string_view("/-._~!$&'()*+,;=:@").find(static_cast<char>(c)) !=
            std::string_view::npos) {
      uri.push_back(static_cast<char>(c));
    } else {
      uri.push_back('%');
      uri.push_back(kHex[c >> 4]);
      uri.push_back(kHex[c & 15]);
    }
  }
  return uri;
}

std::string ThisHostName() {
  char name[HOST_NAME_MAX + 1] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

}  // namespace foliotally::dragdrop
