#include "dragdrop/formats/data_format_registry.h"

#include <algorithm>
#include <limits>
#include <memory>

#include "dragdrop/formats/debug_log.h"
#include "dragdrop/formats/dragdrop_errors.h"

namespace foliotally::dragdrop {
namespace {

// The registries' own state: the one map, the one class set, and whether the module is
// shutting down.
struct RegistryState {
  std::unique_ptr<TDataFormatMap> map;
  std::unique_ptr<TDataFormatClasses> classes;
  const TDataFormatMap* liveMap = nullptr;
  const TDataFormatClasses* liveClasses = nullptr;
  bool shuttingDown = false;
};

RegistryState& State() {
  static RegistryState state;
  return state;
}

}  // namespace

TDataFormatClasses::TDataFormatClasses() {
  DragDropAssert(State().liveClasses == nullptr);
  State().liveClasses = this;
}

TDataFormatClasses::~TDataFormatClasses() {
  if (State().liveClasses == this) State().liveClasses = nullptr;
}

TDataFormatClasses& TDataFormatClasses::Instance() {
  RegistryState& state = State();
  if (!state.classes) {
    if (state.shuttingDown) {
      OutputDebugString("DragDrop.TDataFormatClasses recreated during shutdown");
    }
    state.classes = std::make_unique<TDataFormatClasses>();
  }
  return *state.classes;
}

void TDataFormatClasses::Add(const TDataFormatClass& cls) {
  if (std::ranges::find(classes_, &cls) == classes_.end()) classes_.push_back(&cls);
}

TDataFormatMap::TDataFormatMap() {
  DragDropAssert(State().liveMap == nullptr);
  State().liveMap = this;
}

TDataFormatMap::~TDataFormatMap() {
  if (State().liveMap == this) State().liveMap = nullptr;
}

TDataFormatMap& TDataFormatMap::Instance() {
  RegistryState& state = State();
  if (!state.map) {
    if (state.shuttingDown) OutputDebugString("DragDrop.TDataFormatMap recreated during shutdown");
    state.map = std::make_unique<TDataFormatMap>();
  }
  return *state.map;
}

void TDataFormatMap::Add(const TDataFormatClass& data_format,
                         const TClipboardFormatClass& clipboard_format, int32_t priority,
                         TDataDirections directions) {
  int32_t index = Find(data_format, clipboard_format);
  TDataFormatMapRow row{&data_format, &clipboard_format, 0, directions};
  if (index >= 0) {
    row = rows_[static_cast<size_t>(index)];
    rows_.erase(rows_.begin() + index);
    row.directions = row.directions | directions;
  }
  if (directions.Contains(TDataDirection::ddWrite)) row.priority = priority;
  rows_.push_back(row);
  PlaceLastRow();
}

// Moves the last row among the rows of its very data format class: after the last of them
// whose priority is lower, or to the top of the map when none is lower and the class's
// rows begin the map. A class without other rows leaves the row last.
void TDataFormatMap::PlaceLastRow() {
  const ptrdiff_t last = static_cast<ptrdiff_t>(rows_.size()) - 1;
  const TDataFormatMapRow& row = rows_.back();
  ptrdiff_t j = last - 1;
  while (j >= 0 && rows_[static_cast<size_t>(j)].dataFormat != row.dataFormat) --j;
  if (j < 0) return;
  while (j >= 0 && rows_[static_cast<size_t>(j)].dataFormat == row.dataFormat &&
         rows_[static_cast<size_t>(j)].priority >= row.priority) {
    --j;
  }
  std::rotate(rows_.begin() + (j + 1), rows_.begin() + last, rows_.end());
}

int32_t TDataFormatMap::Find(const TDataFormatClass& data_format,
                             const TClipboardFormatClass& clipboard_format) const {
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i].dataFormat->InheritsFrom(data_format) &&
        rows_[i].clipboardFormat->InheritsFrom(clipboard_format)) {
      return static_cast<int32_t>(i);
    }
  }
  return -1;
}

void TDataFormatMap::GetCompatibleFormats(const TDataFormatClass& data_format,
                                          TClipboardFormats& formats,
                                          TDataDirection direction) const {
  formats.Clear();
  for (const TDataFormatMapRow& row : rows_) {
    if (!row.dataFormat->InheritsFrom(data_format)) continue;
    if (!row.directions.Contains(direction) &&
        !row.clipboardFormat->DefaultDirections().Contains(direction)) {
      continue;
    }
    if (auto format = row.clipboardFormat->Create()) formats.Add(std::move(format));
  }
}

void RegisterDataFormat(const TDataFormatClass& data_format) {
  if (State().shuttingDown) return;
  TDataFormatClasses::Instance().Add(data_format);
  data_format.RegisterCompatibleFormats();
}

void RegisterCompatibleFormat(const TDataFormatClass& data_format,
                              const TClipboardFormatClass& clipboard_format, int32_t priority,
                              TDataDirections directions) {
  if (State().shuttingDown) return;
  TDataFormatMap::Instance().Add(data_format, clipboard_format, priority, directions);
}

void RegisterDataConversion(const TClipboardFormatClass& clipboard_format,
                            const TDataFormatClass& data_format, int32_t priority,
                            TDataDirections directions) {
  TDataFormatMap::Instance().Add(data_format, clipboard_format, priority, directions);
}

void RegisterDataConversion(const TClipboardFormatClass& clipboard_format,
                            const TDataFormatClass& data_format) {
  RegisterDataConversion(clipboard_format, data_format, std::numeric_limits<int32_t>::max(),
                         TDataDirection::ddRead);
}

void ShutDownFormatRegistries() {
  RegistryState& state = State();
  state.shuttingDown = true;
  state.map.reset();
  state.classes.reset();
}

void StartUpFormatRegistries() { State().shuttingDown = false; }

bool FormatRegistriesShuttingDown() { return State().shuttingDown; }

}  // namespace foliotally::dragdrop
