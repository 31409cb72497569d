// The modal notice boxes the counting uses: an error box and a plain message box.
#pragma once

#include <QString>

#include "messages/notice_form.h"

namespace foliotally {

// Builds, shows modally and destroys a notice window; other windows take no input meanwhile.
NoticeResult ShowNoticeBox(const QString& text, NoticeKind kind, NoticeButtons buttons);
// Same for a notice built by the caller (a chosen font, a clipboard writer).
NoticeResult ShowNoticeForm(TMessageForm& form);

// Caption "Error", the error icon and one OK button.
void ShowErrorBox(const QString& text);
// Caption the application title, no icon and one OK button.
void ShowPlainBox(const QString& text);

}  // namespace foliotally
