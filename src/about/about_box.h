// The about box: logo, version, the link to the user guide and a short note. Created once,
// hidden, and shown modally with exec() each time it is asked for; OK, Enter and the close
// box only hide it.
#pragma once

#include <QDialog>
#include <QStringList>

#include "about/web_links.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace foliotally {

class BevelPanel;
class ClickableLabel;

class TAboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutBox(WebLinks links, QWidget* parent = nullptr);
  ~TAboutBox() override;

  // The memo's seven lines, in order.
  static QStringList MemoLines();

  // Controls, named as in the layout. Owned by the box through Qt parenting.
  BevelPanel* Panel1 = nullptr;
  QLabel* Label3 = nullptr;
  ClickableLabel* ProgramIcon = nullptr;
  QLabel* Version = nullptr;
  QLabel* Label2 = nullptr;
  ClickableLabel* Label1 = nullptr;
  QLabel* Label5 = nullptr;
  QPlainTextEdit* Memo1 = nullptr;
  QPushButton* OKButton = nullptr;

 public slots:
  void Label1Click(QObject* sender);
  void ProgramIconClick(QObject* sender);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void CreatePanel();
  void CreateMemoAndButton();
  void CentreOnScreen();

  WebLinks FLinks;
};

}  // namespace foliotally
