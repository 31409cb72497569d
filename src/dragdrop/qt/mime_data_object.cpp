#include "dragdrop/qt/mime_data_object.h"

#include <QFile>
#include <QRegularExpression>
#include <QUrl>
#include <map>

#include "dragdrop/formats/clipboard_format_feedback.h"
#include "dragdrop/formats/clipboard_format_hdrop.h"
#include "dragdrop/formats/clipboard_format_ids.h"
#include "dragdrop/formats/data_format_registry.h"
#include "dragdrop/formats/format_list_enumerator.h"
#include "dragdrop/formats/shell_id_lists.h"

namespace foliotally::dragdrop {
namespace {

// The desktop's ID list: the folder every dragged URI is relative to.
constexpr uint8_t kDesktopList[] = {0, 0};

std::vector<uint8_t> DropFilesOf(const QList<QUrl>& urls) {
  TFileClipboardFormat format;
  for (const QUrl& url : urls) {
    if (url.isLocalFile()) format.Names().Add(url.toLocalFile().toStdU16String());
  }
  std::vector<uint8_t> block(static_cast<size_t>(std::max(format.GetDataSize(), 0)));
  if (block.empty() || !format.WriteData(block)) return {};
  return block;
}

std::vector<uint8_t> IdListArrayOf(const QList<QUrl>& urls) {
  std::vector<TIdList> items;
  for (const QUrl& url : urls) {
    items.push_back(url.isLocalFile()
                        ? MakeLocalPathIdList(QFile::encodeName(url.toLocalFile()).toStdString())
                        : MakeUriIdList(url.toEncoded().toStdString()));
  }
  return MakeShellIdListArray(kDesktopList, items);
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
                                 ValueSink sink)
    : data_(data), sink_(std::move(sink)) {
  if (data == nullptr) return;
  OfferUris();
  OfferNamedFormats();
  OfferPreferredEffect(preferred_effect);
}

void TMimeDataObject::OfferUris() {
  if (!data_->hasUrls()) return;
  const QList<QUrl> urls = data_->urls();
  const bool any_local =
      std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
  if (any_local) offers_.push_back({CF_HDROP, [this] { return DropFilesOf(data_->urls()); }});
  offers_.push_back(
      {RegisteredFormatId("Shell IDList Array"), [this] { return IdListArrayOf(data_->urls()); }});
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
    const QByteArray gnome = data_->data("x-special/gnome-copied-files");
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
