// A data object for tests: it offers chosen formats on chosen media, fails chosen calls,
// counts every call, and records or refuses what is written into it with SetData. Its
// streams can lie about their size, deliver in small pieces or fail part way.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "dragdrop/formats/data_object.h"

namespace foliotally::dragdrop {

enum class TestCall { QueryGetData, GetData, SetData, EnumFormatEtc, StreamStat, StreamRead };

// How a stream medium behaves.
struct TestStreamBehaviour {
  std::optional<uint64_t> reportedSize;  // what Stat says; the real size when empty
  uint32_t largestPiece = UINT32_MAX;    // the most one Read delivers
  int failReadAt = -1;                   // the Read (0-based) that fails; -1: none
  bool failStat = false;
};

class TestStream : public IStream {
 public:
  TestStream(std::vector<uint8_t> bytes, TestStreamBehaviour behaviour,
             std::map<TestCall, int>& calls)
      : bytes_(std::move(bytes)), behaviour_(behaviour), calls_(calls) {}

  HResult Read(std::span<uint8_t> buffer, uint32_t& bytesRead) override;
  HResult Write(std::span<const uint8_t> bytes, uint32_t& bytesWritten) override;
  HResult Seek(int64_t move, uint32_t origin, uint64_t* newPosition) override;
  HResult SetSize(uint64_t) override { return E_NOTIMPL; }
  HResult CopyTo(IStream&, int64_t, uint64_t*, uint64_t*) override { return E_NOTIMPL; }
  HResult Stat(TStatStg& stat, uint32_t flags) override;

  // The sizes of the buffers Read was given, in order.
  std::vector<size_t> readRequests;

 private:
  std::vector<uint8_t> bytes_;
  TestStreamBehaviour behaviour_;
  std::map<TestCall, int>& calls_;
  size_t position_ = 0;
};

class TestDataObject : public IDataObject {
 public:
  struct Offering {
    uint16_t id;
    std::vector<uint8_t> payload;
    uint32_t media;
    TestStreamBehaviour stream;
  };
  struct Written {
    TFormatEtc format;
    TStgMedium medium;
  };

  // Offers `payload` under format `id` on `media` (TYMED_HGLOBAL, TYMED_ISTREAM or both).
  void Offer(uint16_t id, std::vector<uint8_t> payload, uint32_t media = TYMED_HGLOBAL,
             TestStreamBehaviour stream = {});

  HResult GetData(const TFormatEtc& format, TStgMedium& medium) override;
  HResult QueryGetData(const TFormatEtc& format) override;
  HResult SetData(const TFormatEtc& format, TStgMedium& medium, bool release) override;
  HResult EnumFormatEtc(uint32_t direction, std::unique_ptr<IEnumFormatEtc>& enumerator) override;

  int Calls(TestCall call) const;
  // GetData calls for format `id`.
  int Fetches(uint16_t id) const;

  std::set<TestCall> failing;  // calls that answer E_FAIL
  bool acceptSetData = true;   // false: SetData answers E_NOTIMPL and keeps nothing
  std::vector<Written> written;
  std::vector<TFormatEtc> requests;  // the descriptors GetData was asked with
  // The streams handed out, so a test can look at how they were read.
  std::vector<std::shared_ptr<TestStream>> streams;

 private:
  const Offering* Find(const TFormatEtc& format) const;

  std::vector<Offering> offers_;
  std::map<TestCall, int> calls_;
  std::map<uint16_t, int> fetches_;
};

// Little helpers for payloads.
std::vector<uint8_t> Utf16Bytes(std::u16string_view text);
std::vector<uint8_t> Bytes(std::string_view text);

}  // namespace foliotally::dragdrop
