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
  return [](const QUrl& url) { QDesktopServices::openUrl(url); };
}

WebAddresses WebAddresses::ForGuide(const QString& guideFile) {
  WebAddresses addresses;
  addresses.home = QUrl::fromLocalFile(QFileInfo(guideFile).absoluteFilePath());
  addresses.page = addresses.home;
  addresses.page.setFragment(kPageSection);
  return addresses;
}

QString LocateGuide(const QString& exeDir, const QString& treeCopy) {
  const QString installed =
      QDir::cleanPath(exeDir + "/../" FOLIOTALLY_GUIDE_INSTALL_DIR "/index.html");
  if (QFileInfo(installed).isFile()) return installed;
  if (!treeCopy.isEmpty() && QFileInfo(treeCopy).isFile()) return treeCopy;
  return installed;
}

WebAddresses ProgramWebAddresses() {
  return WebAddresses::ForGuide(
      LocateGuide(QCoreApplication::applicationDirPath(), FOLIOTALLY_GUIDE_TREE_COPY));
}

QString AddressText(const QUrl& url) { return url.toDisplayString(); }

QString InitialStatusText(const WebAddresses& addresses) {
  return "Visit me at " + AddressText(addresses.page);
}

WebLinks::WebLinks(WebAddresses addresses, UrlOpener opener)
    : addresses_(std::move(addresses)), opener_(std::move(opener)) {}

void WebLinks::OpenHome() const {
  if (opener_) opener_(addresses_.home);
}

void WebLinks::OpenPage() const {
  if (opener_) opener_(addresses_.page);
}

}  // namespace foliotally
