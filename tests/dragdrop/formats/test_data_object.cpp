#include "test_data_object.h"

#include <algorithm>
#include <cstring>

#include "dragdrop/formats/format_list_enumerator.h"

namespace foliotally::dragdrop {

HResult TestStream::Read(std::span<uint8_t> buffer, uint32_t& bytesRead) {
  int index = calls_[TestCall::StreamRead]++;
  readRequests.push_back(buffer.size());
  bytesRead = 0;
  if (index == behaviour_.failReadAt) return E_FAIL;
  size_t available = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
  size_t count = std::min({buffer.size(), available, size_t{behaviour_.largestPiece}});
  if (count > 0) std::memcpy(buffer.data(), bytes_.data() + position_, count);
  position_ += count;
  bytesRead = static_cast<uint32_t>(count);
  return S_OK;
}

HResult TestStream::Write(std::span<const uint8_t> bytes, uint32_t& bytesWritten) {
  bytesWritten = 0;
  if (position_ + bytes.size() > bytes_.size()) bytes_.resize(position_ + bytes.size());
  std::ranges::copy(bytes, bytes_.begin() + static_cast<ptrdiff_t>(position_));
  position_ += bytes.size();
  bytesWritten = static_cast<uint32_t>(bytes.size());
  return S_OK;
}

HResult TestStream::Seek(int64_t move, uint32_t origin, uint64_t* newPosition) {
  int64_t base = origin == STREAM_SEEK_SET   ? 0
                 : origin == STREAM_SEEK_CUR ? static_cast<int64_t>(position_)
                                             : static_cast<int64_t>(bytes_.size());
  if (base + move < 0) return STG_E_INVALIDFUNCTION;
  position_ = static_cast<size_t>(base + move);
  if (newPosition != nullptr) *newPosition = position_;
  return S_OK;
}

HResult TestStream::Stat(TStatStg& stat, uint32_t /*flags*/) {
  ++calls_[TestCall::StreamStat];
  if (behaviour_.failStat) return E_FAIL;
  stat = TStatStg{};
  stat.cbSize = behaviour_.reportedSize.value_or(bytes_.size());
  return S_OK;
}

void TestDataObject::Offer(uint16_t id, std::vector<uint8_t> payload, uint32_t media,
                           TestStreamBehaviour stream) {
  offers_.push_back({id, std::move(payload), media, stream});
}

const TestDataObject::Offering* TestDataObject::Find(const TFormatEtc& format) const {
  if (format.ptd || format.dwAspect != DVASPECT_CONTENT) return nullptr;
  for (const Offering& offer : offers_) {
    if (offer.id == format.cfFormat && (offer.media & format.tymed) != 0) return &offer;
  }
  return nullptr;
}

HResult TestDataObject::QueryGetData(const TFormatEtc& format) {
  ++calls_[TestCall::QueryGetData];
  if (failing.contains(TestCall::QueryGetData)) return E_FAIL;
  return Find(format) ? S_OK : DV_E_FORMATETC;
}

// A byte block when both media would do.
HResult TestDataObject::GetData(const TFormatEtc& format, TStgMedium& medium) {
  ++calls_[TestCall::GetData];
  ++fetches_[format.cfFormat];
  requests.push_back(format);
  medium.Release();
  if (failing.contains(TestCall::GetData)) return E_FAIL;
  const Offering* offer = Find(format);
  if (offer == nullptr) return DV_E_FORMATETC;
  if ((offer->media & format.tymed & TYMED_HGLOBAL) != 0) {
    medium = TStgMedium::FromGlobal(offer->payload);
    return S_OK;
  }
  auto stream = std::make_shared<TestStream>(offer->payload, offer->stream, calls_);
  streams.push_back(stream);
  medium = TStgMedium::FromStream(stream);
  return S_OK;
}

HResult TestDataObject::SetData(const TFormatEtc& format, TStgMedium& medium, bool release) {
  ++calls_[TestCall::SetData];
  if (failing.contains(TestCall::SetData)) return E_FAIL;
  if (!acceptSetData) return E_NOTIMPL;
  if (!release) return E_NOTIMPL;  // a copy of the medium is never needed here
  written.push_back({format, std::move(medium)});
  return S_OK;
}

HResult TestDataObject::EnumFormatEtc(uint32_t direction,
                                      std::unique_ptr<IEnumFormatEtc>& enumerator) {
  ++calls_[TestCall::EnumFormatEtc];
  if (failing.contains(TestCall::EnumFormatEtc) || direction != DATADIR_GET) return E_FAIL;
  std::vector<TFormatEtc> formats;
  for (const Offering& offer : offers_) {
    formats.push_back({offer.id, false, DVASPECT_CONTENT, -1, offer.media});
  }
  enumerator = std::make_unique<TFormatListEnumerator>(std::move(formats));
  return S_OK;
}

int TestDataObject::Calls(TestCall call) const {
  auto found = calls_.find(call);
  return found == calls_.end() ? 0 : found->second;
}

int TestDataObject::Fetches(uint16_t id) const {
  auto found = fetches_.find(id);
  return found == fetches_.end() ? 0 : found->second;
}

std::vector<uint8_t> Utf16Bytes(std::u16string_view text) {
  std::vector<uint8_t> bytes(text.size() * 2);
  if (!bytes.empty()) std::memcpy(bytes.data(), text.data(), bytes.size());
  return bytes;
}

std::vector<uint8_t> Bytes(std::string_view text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}

}  // namespace foliotally::dragdrop
