#include "dragdrop/qt/qt_drop_platform.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <QTextEdit>
#include <QTimer>
#include <chrono>
#include <mutex>

#include "dragdrop/formats/clipboard_format_feedback.h"
#include "dragdrop/formats/dragdrop_module.h"
#include "dragdrop/qt/drag_event_translation.h"
#include "dragdrop/qt/mime_data_object.h"
#include "dragdrop/qt/win_control_proxy.h"

namespace foliotally::dragdrop {
namespace {

class TQtDropTimer : public IDropTimer {
 public:
  explicit TQtDropTimer(std::function<void()> on_tick) {
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, std::move(on_tick));
  }
  void SetInterval(int32_t milliseconds) override { timer_.setInterval(milliseconds); }
  int32_t Interval() const override { return timer_.interval(); }
  void Start() override { timer_.start(); }
  void Stop() override { timer_.stop(); }
  bool Enabled() const override { return timer_.isActive(); }

 private:
  QTimer timer_;
};

QScrollBar* ScrollBarOf(TWinControl* control, TScrollBarKind bar) {
  auto* area = qobject_cast<QAbstractScrollArea*>(AsWidget(control));
  if (area == nullptr) return nullptr;
  return bar == TScrollBarKind::Vertical ? area->verticalScrollBar() : area->horizontalScrollBar();
}

bool Shows(QScrollBar* bar) { return bar != nullptr && bar->isVisible(); }

void StartDragDropOnce() {
  static std::once_flag started;
  std::call_once(started, [] {
    // The formats stay registered until the process ends.
    static TDragDropModule module;
  });
}

}  // namespace

TQtDropPlatform::TQtDropPlatform() { StartDragDropOnce(); }

TQtDropPlatform::~TQtDropPlatform() {
  for (auto& [key, connection] : watches_) QObject::disconnect(connection);
}

TWinControl* TQtDropPlatform::ControlAt(TPoint screen) {
  if (pointerWidget_ &&
      pointerWidget_->rect().contains(pointerWidget_->mapFromGlobal(ToQPoint(screen))))
    return AsWinControl(pointerWidget_);
  return AsWinControl(QApplication::widgetAt(ToQPoint(screen)));
}

TWinControl* TQtDropPlatform::ParentOf(TWinControl* control) {
  return AsWinControl(AsWidget(control)->parentWidget());
}

TPoint TQtDropPlatform::ScreenToClient(TWinControl* control, TPoint screen) {
  return ToPoint(DropAreaOf(AsWidget(control))->mapFromGlobal(ToQPoint(screen)));
}

TRect TQtDropPlatform::ClientRect(TWinControl* control) {
  const QWidget* area = DropAreaOf(AsWidget(control));
  return {0, 0, area->width(), area->height()};
}

bool TQtDropPlatform::IsRichEdit(TWinControl* control) {
  QWidget* widget = AsWidget(control);
  return qobject_cast<QTextEdit*>(widget) != nullptr ||
         qobject_cast<QPlainTextEdit*>(widget) != nullptr;
}

void TQtDropPlatform::WatchDestruction(TWinControl* control, const void* owner,
                                       std::function<void(TWinControl*)> on_destroyed) {
  StopWatching(control, owner);
  watches_[{AsWidget(control), owner}] =
      QObject::connect(AsWidget(control), &QObject::destroyed,
                       [this, control, owner, on_destroyed = std::move(on_destroyed)] {
                         watches_.erase({AsWidget(control), owner});
                         directRegistrations_.erase(AsWidget(control));
                         on_destroyed(control);
                       });
}

void TQtDropPlatform::StopWatching(TWinControl* control, const void* owner) {
  const auto watch = watches_.find({AsWidget(control), owner});
  if (watch == watches_.end()) return;
  QObject::disconnect(watch->second);
  watches_.erase(watch);
}

// A text edit takes drops of its own; the forwarder in front of it takes them first, so
// nothing is left to revoke there beyond a registration of ours.
void TQtDropPlatform::RegisterDragDrop(TWinControl* control, IDropTarget& target) {
  RevokeDragDrop(control);
  directRegistrations_[AsWidget(control)] =
      new TDropEventForwarder(AsWidget(control), target, *this);
}

void TQtDropPlatform::RevokeDragDrop(TWinControl* control) {
  const auto registration = directRegistrations_.find(AsWidget(control));
  if (registration == directRegistrations_.end()) return;
  delete registration->second.data();
  directRegistrations_.erase(registration);
}

void TQtDropPlatform::CreateRegistrationProxy(TWinControl* control, const void* owner,
                                              IDropTarget& target) {
  // Owned by the control as its child: it goes when the control goes.
  new TWinControlProxy(AsWidget(control), owner, target, *this);
}

void TQtDropPlatform::DestroyRegistrationProxy(TWinControl* control, const void* owner) {
  const QObjectList& children = AsWidget(control)->children();
  for (auto child = children.rbegin(); child != children.rend(); ++child) {
    auto* proxy = qobject_cast<TWinControlProxy*>(*child);
    if (proxy != nullptr && proxy->Owner() == owner) {
      delete proxy;
      return;
    }
  }
}

TScrollBars TQtDropPlatform::ScrollBars(TWinControl* control) {
  return {Shows(ScrollBarOf(control, TScrollBarKind::Horizontal)),
          Shows(ScrollBarOf(control, TScrollBarKind::Vertical))};
}

int32_t TQtDropPlatform::ScrollBarHeight(TWinControl* control) {
  QWidget* widget = AsWidget(control);
  return widget->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, widget);
}

// Scroll-bar arrows are square: their width is the bar's extent.
int32_t TQtDropPlatform::ScrollArrowWidth(TWinControl* control) { return ScrollBarHeight(control); }

// Qt's maximum is the last position; the platform's range ends one page further on.
std::optional<TScrollInfo> TQtDropPlatform::ScrollInfo(TWinControl* control, TScrollBarKind bar) {
  const QScrollBar* scroll_bar = ScrollBarOf(control, bar);
  if (scroll_bar == nullptr) return std::nullopt;
  return TScrollInfo{scroll_bar->minimum(), scroll_bar->maximum() + scroll_bar->pageStep() - 1,
                     scroll_bar->pageStep(), scroll_bar->value()};
}

void TQtDropPlatform::ScrollLine(TWinControl* control, TScrollBarKind bar, bool forward) {
  if (QScrollBar* scroll_bar = ScrollBarOf(control, bar))
    scroll_bar->triggerAction(forward ? QAbstractSlider::SliderSingleStepAdd
                                      : QAbstractSlider::SliderSingleStepSub);
}

TPoint TQtDropPlatform::CursorPos() { return ToPoint(QCursor::pos()); }

uint64_t TQtDropPlatform::TickCount() {
  using namespace std::chrono;
  return static_cast<uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::unique_ptr<IDropTimer> TQtDropPlatform::CreateTimer(std::function<void()> on_tick) {
  return std::make_unique<TQtDropTimer>(std::move(on_tick));
}

void TQtDropPlatform::PostToUserInterface(std::function<void()> action) {
  QMetaObject::invokeMethod(qApp, std::move(action), Qt::QueuedConnection);
}

// The clipboard has no channel back to the program that filled it, unless that program
// is this one: then "Paste Succeeded" is added to the clipboard's data.
std::shared_ptr<IDataObject> TQtDropPlatform::ClipboardDataObject() {
  if (clipboardData_ != nullptr)
    return std::make_shared<TMimeDataObject>(clipboardData_, std::nullopt, nullptr,
                                             TMimeDataObject::TNameSources::Clipboard,
                                             itemsWanted_);
  QClipboard* clipboard = QGuiApplication::clipboard();
  const QMimeData* data = clipboard != nullptr ? clipboard->mimeData() : nullptr;
  const uint16_t paste_succeeded = TPasteSucceededClipboardFormat().FormatEtc().cfFormat;
  return std::make_shared<TMimeDataObject>(
      data, std::nullopt,
      [clipboard, paste_succeeded](uint16_t id, uint32_t value) {
        if (id != paste_succeeded || clipboard == nullptr || !clipboard->ownsClipboard())
          return false;
        auto* copy = new QMimeData;
        for (const QString& type : clipboard->mimeData()->formats())
          copy->setData(type, clipboard->mimeData()->data(type));
        const char bytes[4] = {static_cast<char>(value), static_cast<char>(value >> 8),
                               static_cast<char>(value >> 16), static_cast<char>(value >> 24)};
        copy->setData(R"(application/x-qt-windows-mime;value="Paste Succeeded")",
                      QByteArray(bytes, 4));
        clipboard->setMimeData(copy);
        return true;
      },
      TMimeDataObject::TNameSources::Clipboard, itemsWanted_);
}

}  // namespace foliotally::dragdrop
