// The two addresses the program opens (its home page and one page on it) and the way it
// opens them. Both point into the user guide installed with the program, so every link
// stays on documents the project ships.
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

namespace foliotally {

// Opens an address in the desktop's default viewer; false when nothing could open it (no
// browser or opener installed).
using UrlOpener = std::function<bool(const QUrl&)>;

// The real opener: QDesktopServices::openUrl.
UrlOpener DesktopUrlOpener();

struct WebAddresses {
  QUrl home;  // the guide's first page
  QUrl page;  // the guide's section on counting

  // The addresses for the guide page at `guide_file` (a local path).
  static WebAddresses ForGuide(const QString& guide_file);
};

// Where the guide is: installed beside the program (`exe_dir`/../share/doc/foliotally/
// index.html), else the copy in the source tree `tree_copy` (running from a build), else the
// installed place all the same.
QString LocateGuide(const QString& exe_dir, const QString& tree_copy);

// The addresses for this run of the program, found from its own location.
WebAddresses ProgramWebAddresses();

// What a box says when nothing could open `address`.
QString CouldNotOpenText(const QUrl& address);

// The status bar's first text: "Visit me at " followed by the page address.
QString InitialStatusText(const WebAddresses& addresses);

// An address as the user sees it (percent-encoding undone).
QString AddressText(const QUrl& url);

// The link handlers' common part: which address each link opens, and the opener.
class WebLinks {
 public:
  WebLinks(WebAddresses addresses, UrlOpener opener);

  const WebAddresses& addresses() const { return addresses_; }
  // Each is true when the address was handed to an opener that took it.
  bool OpenHome() const;  // "Help" -> "Visit website"
  bool OpenPage() const;  // the banner, the about box's logo and its link label

 private:
  WebAddresses addresses_;
  UrlOpener opener_;
};

}  // namespace foliotally
