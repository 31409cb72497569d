#include "about/web_links.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <utility>

namespace foliotally {
namespace {

constexpr const char* kPageSection = "counting";

}  // namespace

UrlOpener DesktopUrlOpener() {
  return [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

WebAddresses WebAddresses::ForGuide(const QString& guide_file) {
  WebAddresses addresses;
  addresses.home = QUrl::fromLocalFile(QFileInfo(guide_file).absoluteFilePath());
  addresses.page = addresses.home;
  addresses.page.setFragment(kPageSection);
  return addresses;
}

QString LocateGuide(const QString& exe_dir, const QString& tree_copy) {
  const QString installed =
      QDir::cleanPath(exe_dir + "/../" FOLIOTALLY_GUIDE_INSTALL_DIR "/index.html");
  if (QFileInfo(installed).isFile()) return installed;
  if (!tree_copy.isEmpty() && QFileInfo(tree_copy).isFile()) return tree_copy;
  return installed;
}

WebAddresses ProgramWebAddresses() {
  return WebAddresses::ForGuide(
      LocateGuide(QCoreApplication::applicationDirPath(), FOLIOTALLY_GUIDE_TREE_COPY));
}

QString AddressText(const QUrl& url) { return url.toDisplayString(); }

QString CouldNotOpenText(const QUrl& address) {
  return "Could not open " + AddressText(address) +
         ": no web browser or opener for it is installed.";
}

QString InitialStatusText(const WebAddresses& addresses) {
  return "Visit me at " + AddressText(addresses.page);
}

WebLinks::WebLinks(WebAddresses addresses, UrlOpener opener)
    : addresses_(std::move(addresses)), opener_(std::move(opener)) {}

bool WebLinks::OpenHome() const { return opener_ && opener_(addresses_.home); }

bool WebLinks::OpenPage() const { return opener_ && opener_(addresses_.page); }

}  // namespace foliotally
