// The log keeps 8-bit text (file names are bytes in the OS encoding) but the widget holds
// UTF-16. Valid UTF-8 travels as the characters it encodes; every other byte, and any
// byte that the text document would read as a line break, travels as the lone surrogate
// U+DC00 + byte, so the bytes come back exactly as appended.
#pragma once

#include <QString>
#include <QStringView>
#include <cstddef>
#include <string>
#include <string_view>

namespace foliotally {

// One line of bytes as widget text; it holds no line break.
QString DecodeLogBytes(std::string_view bytes);
// Widget text (paragraph separators between lines) as log bytes with CR LF breaks.
std::string EncodeLogText(QStringView text);
// Length of EncodeLogText(text) without building it.
std::size_t EncodedLogSize(QStringView text);

}  // namespace foliotally
