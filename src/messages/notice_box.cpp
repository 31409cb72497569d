#include "messages/notice_box.h"

#include "messages/modal_session.h"

namespace foliotally {

NoticeResult ShowNoticeForm(TMessageForm& form) {
  ModalSession session;
  form.setWindowModality(Qt::ApplicationModal);
  // A quit while the box is open ends its loop without a button: the result is Cancel.
  form.exec();
  return form.Result();
}

NoticeResult ShowNoticeBox(const QString& text, NoticeKind kind, NoticeButtons buttons) {
  const auto form = BuildNoticeForm(text, kind, buttons);
  return ShowNoticeForm(*form);
}

void ShowErrorBox(const QString& text) { ShowNoticeBox(text, NoticeKind::Error, NoticeButton::OK); }

void ShowPlainBox(const QString& text) { ShowNoticeBox(text, NoticeKind::Plain, NoticeButton::OK); }

}  // namespace foliotally
