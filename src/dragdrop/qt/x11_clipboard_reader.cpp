#include "dragdrop/qt/x11_clipboard_reader.h"

#include <poll.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace foliotally::dragdrop {
namespace {

using Clock = std::chrono::steady_clock;

struct FreeDeleter {
  void operator()(void* p) const { std::free(p); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

struct ConnectionCloser {
  void operator()(xcb_connection_t* c) const { xcb_disconnect(c); }
};

class Transfer {
 public:
  Transfer(xcb_connection_t* connection, Clock::time_point deadline)
      : c_(connection), deadline_(deadline) {}

  bool Start() {
    const xcb_setup_t* setup = xcb_get_setup(c_);
    xcb_screen_t* screen = xcb_setup_roots_iterator(setup).data;
    if (screen == nullptr) return false;
    window_ = xcb_generate_id(c_);
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c_, XCB_COPY_FROM_PARENT, window_, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, XCB_CW_EVENT_MASK, &events);
    clipboard_ = Atom("CLIPBOARD");
    property_ = Atom("FOLIOTALLY_CLIPBOARD");
    incr_ = Atom("INCR");
    return clipboard_ != XCB_NONE && property_ != XCB_NONE;
  }

  xcb_atom_t Atom(const char* name) {
    XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        c_, xcb_intern_atom(c_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : XCB_NONE;
  }

  std::string AtomName(xcb_atom_t atom) {
    XcbReply<xcb_get_atom_name_reply_t> reply(
        xcb_get_atom_name_reply(c_, xcb_get_atom_name(c_, atom), nullptr));
    if (!reply) return {};
    return std::string(xcb_get_atom_name_name(reply.get()),
                       static_cast<size_t>(xcb_get_atom_name_name_length(reply.get())));
  }

  // The selection converted to `target` into our property; false when refused or too late.
  bool Convert(xcb_atom_t target) {
    xcb_convert_selection(c_, window_, clipboard_, target, property_, XCB_CURRENT_TIME);
    xcb_flush(c_);
    for (;;) {
      XcbReply<xcb_generic_event_t> event = NextEvent();
      if (!event) return false;
      if ((event->response_type & 0x7f) != XCB_SELECTION_NOTIFY) continue;
      auto* notify = reinterpret_cast<xcb_selection_notify_event_t*>(event.get());
      return notify->property != XCB_NONE;
    }
  }

  // The property's bytes, read in pieces as the owner gives them (INCR) when it is large.
  std::optional<std::string> Read() {
    std::string bytes;
    xcb_atom_t type = XCB_NONE;
    if (!ReadProperty(bytes, type)) return std::nullopt;
    if (type != incr_) return bytes;
    bytes.clear();
    for (;;) {
      XcbReply<xcb_generic_event_t> event = NextEvent();
      if (!event) return std::nullopt;
      if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) continue;
      auto* notify = reinterpret_cast<xcb_property_notify_event_t*>(event.get());
      if (notify->atom != property_ || notify->state != XCB_PROPERTY_NEW_VALUE) continue;
      const size_t before = bytes.size();
      if (!ReadProperty(bytes, type)) return std::nullopt;
      if (bytes.size() == before) return bytes;  // the empty piece ends the transfer
    }
  }

  std::vector<std::string> Targets() {
    std::vector<std::string> names;
    if (!Convert(Atom("TARGETS"))) return names;
    const std::optional<std::string> bytes = Read();
    if (!bytes) return names;
    for (size_t at = 0; at + sizeof(xcb_atom_t) <= bytes->size(); at += sizeof(xcb_atom_t)) {
      xcb_atom_t atom = XCB_NONE;
      std::memcpy(&atom, bytes->data() + at, sizeof atom);
      names.push_back(AtomName(atom));
    }
    return names;
  }

 private:
  bool ReadProperty(std::string& bytes, xcb_atom_t& type) {
    XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c_,
        xcb_get_property(c_, 1, window_, property_, XCB_GET_PROPERTY_TYPE_ANY, 0, UINT32_MAX / 4),
        nullptr));
    if (!reply) return false;
    type = reply->type;
    const int length = xcb_get_property_value_length(reply.get());
    bytes.append(static_cast<const char*>(xcb_get_property_value(reply.get())),
                 static_cast<size_t>(length));
    xcb_flush(c_);
    return true;
  }

  // The next event, waiting no later than the deadline.
  XcbReply<xcb_generic_event_t> NextEvent() {
    for (;;) {
      if (xcb_connection_has_error(c_)) return nullptr;
      if (xcb_generic_event_t* event = xcb_poll_for_event(c_))
        return XcbReply<xcb_generic_event_t>(event);
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now()).count();
      if (left <= 0) return nullptr;
      pollfd fd{xcb_get_file_descriptor(c_), POLLIN, 0};
      poll(&fd, 1, static_cast<int>(left));
    }
  }

  xcb_connection_t* c_;
  Clock::time_point deadline_;
  xcb_window_t window_ = XCB_NONE;
  xcb_atom_t clipboard_ = XCB_NONE;
  xcb_atom_t property_ = XCB_NONE;
  xcb_atom_t incr_ = XCB_NONE;
};

// The X names under which an owner may offer a MIME type.
std::vector<std::string> TargetNamesOf(const std::string& mime_type) {
  if (mime_type == "text/plain") return {"UTF8_STRING", "text/plain;charset=utf-8", "text/plain"};
  return {mime_type};
}

}  // namespace

std::optional<TClipboardPayload> ReadX11Clipboard(const std::vector<std::string>& wanted,
                                                  std::chrono::milliseconds limit) {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') return std::nullopt;
  std::unique_ptr<xcb_connection_t, ConnectionCloser> connection(xcb_connect(nullptr, nullptr));
  if (!connection || xcb_connection_has_error(connection.get())) return std::nullopt;
  Transfer transfer(connection.get(), Clock::now() + limit);
  if (!transfer.Start()) return std::nullopt;
  const std::vector<std::string> offered = transfer.Targets();
  for (const std::string& mime_type : wanted) {
    for (const std::string& name : TargetNamesOf(mime_type)) {
      if (std::find(offered.begin(), offered.end(), name) == offered.end()) continue;
      if (!transfer.Convert(transfer.Atom(name.c_str()))) return std::nullopt;
      std::optional<std::string> bytes = transfer.Read();
      if (!bytes) return std::nullopt;
      return TClipboardPayload{mime_type, std::move(*bytes)};
    }
  }
  return std::nullopt;
}

}  // namespace foliotally::dragdrop
