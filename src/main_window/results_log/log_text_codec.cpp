#include "main_window/results_log/log_text_codec.h"

namespace foliotally {
namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Length of the valid UTF-8 sequence at `i` and its code point; 0 when not valid.
std::size_t ValidSequence(std::string_view s, std::size_t i, char32_t& cp) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  std::size_t n;
  char32_t min;
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  } else if ((b0 & 0xE0) == 0xC0) {
    n = 2, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    n = 3, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    n = 4, cp = b0 & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if (!IsContinuation(b)) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

// Characters the text document treats as block or frame breaks.
bool BreaksALine(char32_t cp) {
  return cp == u'\n' || cp == u'\r' || cp == 0x2028 || cp == 0x2029 || cp == 0xFDD0 || cp == 0xFDD1;
}

std::size_t Utf8Size(char32_t cp) { return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4; }

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Walks widget text; `sink` gets each unit as a line break, an escaped byte or a code
// point. A lone surrogate outside the escape range is kept as U+FFFD.
template <class Emit>
void WalkText(QStringView text, Emit&& sink) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t u = text[i].unicode();
    if (u == 0x2029) {
      sink.Break();
    } else if (u >= kEscapeBase && u <= kEscapeBase + 0xFF) {
      sink.Byte(static_cast<unsigned char>(u - kEscapeBase));
    } else if (QChar::isHighSurrogate(u) && i + 1 < text.size() &&
               QChar::isLowSurrogate(text[i + 1].unicode())) {
      sink.CodePoint(QChar::surrogateToUcs4(u, text[i + 1].unicode()));
      ++i;
    } else if (QChar::isSurrogate(u)) {
      sink.CodePoint(0xFFFD);
    } else {
      sink.CodePoint(u);
    }
  }
}

}  // namespace

QString DecodeLogBytes(std::string_view bytes) {
  QString out;
  out.reserve(static_cast<qsizetype>(bytes.size()));
  for (std::size_t i = 0; i < bytes.size();) {
    char32_t cp = 0;
    const std::size_t n = ValidSequence(bytes, i, cp);
    if (n == 0 || BreaksALine(cp)) {
      const std::size_t count = n == 0 ? 1 : n;
      for (std::size_t k = 0; k < count; ++k)
        out += QChar(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(bytes[i + k])));
      i += count;
      continue;
    }
    if (cp >= 0x10000) {
      out += QChar(QChar::highSurrogate(cp));
      out += QChar(QChar::lowSurrogate(cp));
    } else {
      out += QChar(static_cast<char16_t>(cp));
    }
    i += n;
  }
  return out;
}

std::string EncodeLogText(QStringView text) {
  struct {
    std::string out;
    void Break() { out += "\r\n"; }
    void Byte(unsigned char b) { out += static_cast<char>(b); }
    void CodePoint(char32_t cp) { AppendUtf8(out, cp); }
  } sink;
  sink.out.reserve(static_cast<std::size_t>(text.size()) + 16);
  WalkText(text, sink);
  return std::move(sink.out);
}

std::size_t EncodedLogSize(QStringView text) {
  struct {
    std::size_t size = 0;
    void Break() { size += 2; }
    void Byte(unsigned char) { ++size; }
    void CodePoint(char32_t cp) { size += Utf8Size(cp); }
  } sink;
  WalkText(text, sink);
  return sink.size;
}

}  // namespace foliotally
