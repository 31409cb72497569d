// A data object over Qt's mime data: what a drag from another program (or the clipboard)
// offers, presented in the formats the drop target reads.
//
//   text/uri-list   is offered as CF_HDROP (a DROPFILES block of wide names: the local
//                   paths of its file: URIs, each byte kept, see file_name_text.h) and as
//                   "Shell IDList Array" (every URI, one item list each, in the item
//                   encoding of shell_id_lists.h);
//   on the clipboard, a file manager's copied-files list (x-special/gnome-copied-files)
//                   or a plain-text absolute path stands in for a text/uri-list that is
//                   missing;
//   a MIME type named like a registered format, or application/x-qt-windows-mime;
//                   value="NAME" for a registered NAME, is offered as that format;
//   "Preferred DropEffect" comes from the drag's proposed action, or from the file
//                   manager's copy-or-cut mark on the clipboard.
// Values written back go to a sink that decides whether it takes them (the drop takes
// "Performed DropEffect" while the drop runs, and nothing else).
#pragma once

#include <QMimeData>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "dragdrop/formats/data_object.h"

namespace foliotally::dragdrop {

class TMimeDataObject : public IDataObject {
 public:
  // Takes a written value (format id and the 32-bit value) or refuses it.
  using ValueSink = std::function<bool(uint16_t format, uint32_t value)>;

  // Where the data comes from: the clipboard also offers names as text.
  enum class TNameSources { Drag, Clipboard };

  // `preferred_effect` is what "Preferred DropEffect" answers; nothing leaves it out unless
  // the clipboard marks its files as copied or cut.
  // `max_items` items at most are read from a list; the rest are never looked at.
  TMimeDataObject(const QMimeData* data, std::optional<uint32_t> preferred_effect, ValueSink sink,
                  TNameSources sources = TNameSources::Drag, size_t max_items = SIZE_MAX);

  // One item: its address (empty for a typed path) and the local path it names, as the
  // file system's bytes, if it names one.
  struct TDroppedItem {
    std::string uri;
    std::optional<std::string> path;
  };

  HResult GetData(const TFormatEtc& format, TStgMedium& medium) override;
  HResult QueryGetData(const TFormatEtc& format) override;
  HResult SetData(const TFormatEtc& format, TStgMedium& medium, bool release) override;
  HResult EnumFormatEtc(uint32_t direction, std::unique_ptr<IEnumFormatEtc>& enumerator) override;

 private:
  struct Offer {
    uint16_t id;
    std::function<std::vector<uint8_t>()> payload;
  };

  void OfferUris();
  void OfferNamedFormats();
  void OfferPreferredEffect(std::optional<uint32_t> preferred_effect);
  const Offer* Find(uint16_t id) const;
  const QByteArray& Payload(const QString& mime_type);
  // The items the data carries; read once.
  const std::vector<TDroppedItem>& Items();

  static constexpr const char* kUriList = "text/uri-list";
  static constexpr const char* kCopiedFiles = "x-special/gnome-copied-files";

  QPointer<const QMimeData> data_;
  ValueSink sink_;
  TNameSources sources_;
  size_t maxItems_;
  std::vector<Offer> offers_;
  std::map<QString, QByteArray> payloads_;
  std::optional<std::vector<TDroppedItem>> items_;
};

}  // namespace foliotally::dragdrop
