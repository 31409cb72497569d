// The process-wide registries: the set of data format classes, and the map that pairs data
// format classes with clipboard format classes, each pair with a priority and the
// directions it serves. Both are created on first use and freed at module shut-down. They
// are filled on one thread at start-up and only read afterwards.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "dragdrop/formats/clipboard_format_base.h"
#include "dragdrop/formats/data_format_base.h"

namespace foliotally::dragdrop {

class TDataFormatClasses {
 public:
  // The one instance, created on first use.
  static TDataFormatClasses& Instance();

  // Adds a class once, keeping registration order.
  void Add(const TDataFormatClass& cls);
  int32_t Count() const { return static_cast<int32_t>(classes_.size()); }
  const TDataFormatClass& Items(int32_t index) const { return *classes_.at(index); }

  TDataFormatClasses();
  ~TDataFormatClasses();
  TDataFormatClasses(const TDataFormatClasses&) = delete;
  TDataFormatClasses& operator=(const TDataFormatClasses&) = delete;

 private:
  std::vector<const TDataFormatClass*> classes_;
};

struct TDataFormatMapRow {
  const TDataFormatClass* dataFormat;
  const TClipboardFormatClass* clipboardFormat;
  int32_t priority;
  TDataDirections directions;
};

class TDataFormatMap {
 public:
  // The one instance, created on first use.
  static TDataFormatMap& Instance();

  // Enters a pair, or updates the row that already pairs the two classes (or descendants
  // of them): the row moves among its data format's rows by priority, lower first, and
  // among equal priorities the most recent first. Only a registration that includes the
  // write direction sets the priority; any other leaves a new row at 0.
  void Add(const TDataFormatClass& data_format, const TClipboardFormatClass& clipboard_format,
           int32_t priority, TDataDirections directions);
  // The first row whose classes are the given ones or descend from them, or -1.
  int32_t Find(const TDataFormatClass& data_format,
               const TClipboardFormatClass& clipboard_format) const;
  // Empties `formats` and adds, in map order, a new object of every clipboard format class
  // paired with `data_format` (or a descendant) that serves `direction`.
  void GetCompatibleFormats(const TDataFormatClass& data_format, TClipboardFormats& formats,
                            TDataDirection direction) const;

  const std::vector<TDataFormatMapRow>& Rows() const { return rows_; }

  TDataFormatMap();
  ~TDataFormatMap();
  TDataFormatMap(const TDataFormatMap&) = delete;
  TDataFormatMap& operator=(const TDataFormatMap&) = delete;

 private:
  void PlaceLastRow();

  std::vector<TDataFormatMapRow> rows_;
};

// Adds a data format class and runs its RegisterCompatibleFormats; nothing once the module
// is shutting down.
void RegisterDataFormat(const TDataFormatClass& data_format);
// A row from a data format's side; nothing once the module is shutting down.
void RegisterCompatibleFormat(const TDataFormatClass& data_format,
                              const TClipboardFormatClass& clipboard_format, int32_t priority,
                              TDataDirections directions);
// A row from a clipboard format's side. The short form uses the largest priority and read.
void RegisterDataConversion(const TClipboardFormatClass& clipboard_format,
                            const TDataFormatClass& data_format, int32_t priority,
                            TDataDirections directions);
void RegisterDataConversion(const TClipboardFormatClass& clipboard_format,
                            const TDataFormatClass& data_format);

// Module shut-down of the registries: from now on RegisterDataFormat and
// RegisterCompatibleFormat do nothing; the map and the class set are freed. Asked for
// again, they are created anew and the debug log says so.
void ShutDownFormatRegistries();
// Module start-up: registrations count again (after a shut-down, on a fresh map).
void StartUpFormatRegistries();
bool FormatRegistriesShuttingDown();

}  // namespace foliotally::dragdrop
