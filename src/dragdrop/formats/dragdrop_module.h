// Start-up and shut-down of the drag-and-drop code. Start-up registers every format class
// and its registry rows, in a fixed module order (format bases and feedback formats, the
// framework, text formats, ID-list formats, file formats); shut-down frees the registries.
// Call both on the user-interface thread, start-up before any component exists.
#pragma once

namespace foliotally::dragdrop {

void DragDropStartUp();
void DragDropShutDown();

// The registrations of each module, for tests that start the modules in another order.
void RegisterFeedbackFormatsModule();
void RegisterPIDLFormatsModule();
void RegisterFileFormatsModule();

// Starts the code up for the life of a scope (the program's main, a test).
class TDragDropModule {
 public:
  TDragDropModule() { DragDropStartUp(); }
  ~TDragDropModule() { DragDropShutDown(); }
  TDragDropModule(const TDragDropModule&) = delete;
  TDragDropModule& operator=(const TDragDropModule&) = delete;
};

}  // namespace foliotally::dragdrop
