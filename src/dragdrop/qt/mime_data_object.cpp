#include "dragdrop/qt/mime_data_object.h"

#include <QRegularExpression>
#include <cctype>
#include <map>

#include "dragdrop/formats/clipboard_format_feedback.h"
#include "dragdrop/formats/clipboard_format_hdrop.h"
#include "dragdrop/formats/clipboard_format_ids.h"
#include "dragdrop/formats/data_format_registry.h"
#include "dragdrop/formats/file_name_text.h"
#include "dragdrop/formats/file_uri.h"
#include "dragdrop/formats/format_list_enumerator.h"
#include "dragdrop/formats/shell_id_lists.h"

namespace foliotally::dragdrop {
namespace {

// The desktop's ID list: the folder every dragged URI is relative to.
constexpr uint8_t kDesktopList[] = {0, 0};

using TDroppedItem = TMimeDataObject::TDroppedItem;

std::vector<uint8_t> DropFilesOf(const std::vector<TDroppedItem>& items) {
  TFileClipboardFormat format;
  for (const TDroppedItem& item : items) {
    if (item.path) format.Names().Add(FileNameToUtf16(*item.path));
  }
  std::vector<uint8_t> block(static_cast<size_t>(std::max(format.GetDataSize(), 0)));
  if (block.empty() || !format.WriteData(block)) return {};
  return block;
}

// Every address, one item list each: a local path's, or the address itself.
std::vector<uint8_t> IdListArrayOf(const std::vector<TDroppedItem>& items) {
  std::vector<TIdList> lists;
  for (const TDroppedItem& item : items)
    lists.push_back(item.path ? MakeLocalPathIdList(*item.path) : MakeUriIdList(item.uri));
  return MakeShellIdListArray(kDesktopList, lists);
}

bool IsFileUri(std::string_view line) {
  return line.size() >= 5 &&
         QByteArrayView(line.substr(0, 5)).compare("file:", Qt::CaseInsensitive) == 0;
}

// The addresses in order, each with the local path it names. A file: address that names no
// local file (another machine's, or one holding a NUL) has none, like a web address.
std::vector<TDroppedItem> ItemsOf(const std::vector<std::string_view>& lines) {
  const std::string host = ThisHostName();
  std::vector<TDroppedItem> items;
  items.reserve(lines.size());
  for (std::string_view line : lines) {
    items.push_back({std::string(line), IsFileUri(line) ? LocalPathOfFileUri(line, host)
                                                        : std::optional<std::string>()});
  }
  return items;
}

// A path typed or copied as text (a terminal, an address bar): one line, absolute, or a
// file: address. Anything else is no item.
std::vector<TDroppedItem> ItemsOfText(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  if (text.empty() || text.find_first_of("\r\n") != std::string_view::npos) return {};
  if (IsFileUri(text)) return ItemsOf({text});
  if (text.front() != '/') return {};
  if (text.find('\0') != std::string_view::npos) return {{std::string(), std::nullopt}};
  return {{std::string(), std::string(text)}};
}

std::vector<uint8_t> LittleEndian(uint32_t value) {
  return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
          static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
}

// Every format the framework knows gets its id, so that its name counts as registered
// whether or not a fetch has asked for it yet.
void RegisterKnownFormats() {
  TDataFormatClasses& classes = TDataFormatClasses::Instance();
  for (int32_t i = 0; i < classes.Count(); ++i) {
    for (TDataDirection direction : {TDataDirection::ddRead, TDataDirection::ddWrite}) {
      TClipboardFormats formats(nullptr, true);
      TDataFormatMap::Instance().GetCompatibleFormats(classes.Items(i), formats, direction);
      for (int32_t j = 0; j < formats.Count(); ++j) formats.Items(j).FormatEtc();
    }
  }
}

// The registered format names, by name ignoring case. Names a drag offers are never
// entered into the registry themselves.
std::map<QString, uint16_t> RegisteredNames() {
  RegisterKnownFormats();
  std::map<QString, uint16_t> names;
  for (uint32_t id = kFirstRegisteredFormat; id <= kLastRegisteredFormat; ++id) {
    const std::string name = GetClipboardFormatNameA(id);
    if (name.empty()) break;
    names.emplace(QString::fromStdString(name).toLower(), static_cast<uint16_t>(id));
  }
  return names;
}

// The format name a MIME type carries: its own, or the value of Qt's Windows wrapper.
QString FormatNameOf(const QString& mime_type) {
  static const QRegularExpression kWrapped(
      R"re(^application/x-qt-windows-mime;value="([^"]*)"$)re");
  const QRegularExpressionMatch match = kWrapped.match(mime_type);
  return match.hasMatch() ? match.captured(1) : mime_type;
}

}  // namespace

TMimeDataObject::TMimeDataObject(const QMimeData* data, std::optional<uint32_t> preferred_effect,
                                 ValueSink sink, TNameSources sources, size_t max_items)
    : data_(data), sink_(std::move(sink)), sources_(sources), maxItems_(max_items) {
  if (data == nullptr) return;
  OfferUris();
  OfferNamedFormats();
  OfferPreferredEffect(preferred_effect);
}

// Each payload is fetched from the source once: across processes every fetch is a
// transfer of its own, and a list can be megabytes long.
const QByteArray& TMimeDataObject::Payload(const QString& mime_type) {
  auto cached = payloads_.find(mime_type);
  if (cached == payloads_.end())
    cached = payloads_.emplace(mime_type, data_ ? data_->data(mime_type) : QByteArray()).first;
  return cached->second;
}

const std::vector<TDroppedItem>& TMimeDataObject::Items() {
  if (items_) return *items_;
  items_.emplace();
  const auto view = [](const QByteArray& bytes) {
    return std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()));
  };
  if (data_->hasFormat(kUriList)) {
    *items_ = ItemsOf(UriListLines(view(Payload(kUriList)), maxItems_));
  } else if (sources_ == TNameSources::Clipboard && data_->hasFormat(kCopiedFiles)) {
    // The first line says "copy" or "cut"; the addresses follow.
    std::vector<std::string_view> lines =
        UriListLines(view(Payload(kCopiedFiles)), maxItems_ == SIZE_MAX ? SIZE_MAX : maxItems_ + 1);
    if (!lines.empty()) lines.erase(lines.begin());
    *items_ = ItemsOf(lines);
  } else if (sources_ == TNameSources::Clipboard && data_->hasText()) {
    *items_ = ItemsOfText(view(Payload("text/plain")));
  }
  // The bytes are read; only the items are kept.
  payloads_.erase(kUriList);
  return *items_;
}

void TMimeDataObject::OfferUris() {
  const std::vector<TDroppedItem>& items = Items();
  if (std::any_of(items.begin(), items.end(), [](const TDroppedItem& i) { return i.path; }))
    offers_.push_back({CF_HDROP, [this] { return DropFilesOf(Items()); }});
  if (data_->hasUrls())
    offers_.push_back(
        {RegisteredFormatId("Shell IDList Array"), [this] { return IdListArrayOf(Items()); }});
}

void TMimeDataObject::OfferNamedFormats() {
  const std::map<QString, uint16_t> registered = RegisteredNames();
  for (const QString& mime_type : data_->formats()) {
    const auto known = registered.find(FormatNameOf(mime_type).toLower());
    if (known == registered.end() || Find(known->second) != nullptr) continue;
    offers_.push_back({known->second, [this, mime_type] {
                         const QByteArray bytes = data_->data(mime_type);
                         return std::vector<uint8_t>(bytes.begin(), bytes.end());
                       }});
  }
}

// A copy or cut in the file manager marks the clipboard: GNOME's list starts with "copy"
// or "cut", KDE adds a cut flag.
void TMimeDataObject::OfferPreferredEffect(std::optional<uint32_t> preferred_effect) {
  if (!preferred_effect) {
    const QByteArray gnome =
        data_->hasFormat(kCopiedFiles) ? Payload(kCopiedFiles).left(5) : QByteArray();
    if (gnome.startsWith("cut\n") || data_->data("application/x-kde-cutselection") == "1")
      preferred_effect = 2;  // move
    else if (gnome.startsWith("copy\n"))
      preferred_effect = 1;  // copy
  }
  if (!preferred_effect) return;
  const uint16_t id = TPreferredDropEffectClipboardFormat().FormatEtc().cfFormat;
  if (Find(id) != nullptr) return;
  offers_.push_back({id, [value = *preferred_effect] { return LittleEndian(value); }});
}

const TMimeDataObject::Offer* TMimeDataObject::Find(uint16_t id) const {
  for (const Offer& offer : offers_) {
    if (offer.id == id) return &offer;
  }
  return nullptr;
}

HResult TMimeDataObject::QueryGetData(const TFormatEtc& format) {
  if (format.ptd || format.dwAspect != DVASPECT_CONTENT) return DV_E_FORMATETC;
  if (Find(format.cfFormat) == nullptr) return DV_E_FORMATETC;
  return (format.tymed & TYMED_HGLOBAL) != 0 ? S_OK : DV_E_TYMED;
}

HResult TMimeDataObject::GetData(const TFormatEtc& format, TStgMedium& medium) {
  medium.Release();
  const HResult query = QueryGetData(format);
  if (Failed(query)) return query;
  // The drag may have ended under us: its data is gone.
  if (data_.isNull()) return E_UNEXPECTED;
  try {
    medium = TStgMedium::FromGlobal(Find(format.cfFormat)->payload());
    return S_OK;
  } catch (...) {
    medium.Release();
    return E_UNEXPECTED;
  }
}

HResult TMimeDataObject::SetData(const TFormatEtc& format, TStgMedium& medium, bool release) {
  if (!sink_) return E_NOTIMPL;
  try {
    TPerformedDropEffectClipboardFormat value;
    if (!value.ReadMedium(*this, medium)) return DV_E_FORMATETC;
    if (!sink_(format.cfFormat, value.Value())) return E_NOTIMPL;
  } catch (...) {
    return E_UNEXPECTED;
  }
  if (release) medium.Release();
  return S_OK;
}

HResult TMimeDataObject::EnumFormatEtc(uint32_t direction,
                                       std::unique_ptr<IEnumFormatEtc>& enumerator) {
  if (direction != DATADIR_GET) return E_NOTIMPL;
  std::vector<TFormatEtc> formats;
  for (const Offer& offer : offers_)
    formats.push_back({offer.id, false, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
  enumerator = std::make_unique<TFormatListEnumerator>(std::move(formats));
  return S_OK;
}

}  // namespace foliotally::dragdrop
