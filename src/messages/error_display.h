// The default error display: the box that reports an error escaping an event handler.
#pragma once

#include <exception>
#include <string>

namespace foliotally {

// Appends "." unless the text is empty or ends in a character that sorts at or before "."
// (any byte of a multi-byte character counts as after it).
std::string WithFinalPeriod(std::string text);

// The message an error carries: the program's own errors and standard exceptions give
// their text, anything else "Unknown error".
std::string ErrorMessageOf(std::exception_ptr error);
bool IsSilentAbort(std::exception_ptr error);

// Cancels a mouse grab, then shows the application's standard message box with the
// error's text (period rule applied), the application title, the stop icon and one OK
// button, on the active window's screen. Returns when the box is closed. Silent aborts
// show nothing.
void ReportUnhandledError(std::exception_ptr error);
void ReportUnhandledError(const std::exception& error);

// The box itself, for a text whose period rule has already been applied.
void ShowErrorMessageBox(const std::string& text);

}  // namespace foliotally
