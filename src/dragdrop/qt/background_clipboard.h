// The clipboard read on a thread of its own, the result handed back on the
// user-interface thread: the window keeps answering whatever the clipboard carries.
#pragma once

#include <QMimeData>
#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "dragdrop/qt/x11_clipboard_reader.h"

namespace foliotally::dragdrop {

// The payload as mime data that hands its bytes out as they are: Qt's own would parse a
// text/uri-list of megabytes into addresses as soon as it is set.
std::unique_ptr<QMimeData> MimeDataOf(TClipboardPayload payload);

class TBackgroundClipboard : public QObject {
 public:
  using Done = std::function<void(std::optional<TClipboardPayload>)>;

  explicit TBackgroundClipboard(QObject* parent = nullptr) : QObject(parent) {}
  // Waits for a read under way (bounded by its limit).
  ~TBackgroundClipboard() override;

  // Whether the clipboard can be read this way: an X server named by DISPLAY, and the
  // clipboard not this program's own (its own data is at hand without a transfer).
  static bool Available();
  bool Reading() const { return reading_; }
  // Starts reading; `done` runs on this object's thread when it ends. A read asked for
  // while one is under way is dropped.
  void Read(std::vector<std::string> wanted, Done done);

 private:
  std::thread thread_;
  bool reading_ = false;
};

}  // namespace foliotally::dragdrop
