#include "about/about_box.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <utility>

#include "about/bevel_panel.h"
#include "about/clickable_label.h"
#include "about/pictures.h"
#include "messages/notice_box.h"

namespace foliotally {
namespace {

// Client area at 96 dots per inch.
constexpr int kClientWidth = 352;
constexpr int kClientHeight = 421;

template <typename T>
T* Place(T* control, const char* name, int left, int top, int width, int height) {
  control->setObjectName(name);
  control->setGeometry(left, top, width, height);
  return control;
}

// Labels size themselves to their text; only their top-left corner is laid out.
QLabel* PlaceLabel(QWidget* parent, const char* name, const QString& text, int left, int top,
                   const QFont& font) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setFont(font);
  label->move(left, top);
  label->adjustSize();
  return label;
}

QFont Bold(QFont font) {
  font.setBold(true);
  return font;
}

}  // namespace

TAboutBox::TAboutBox(WebLinks links, QWidget* parent) : QDialog(parent), FLinks(std::move(links)) {
  setObjectName("AboutBox");
  setWindowTitle("Foliotally ");
  // A fixed dialog frame: title and close box, no minimise or maximise, no resizing.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setSizeGripEnabled(false);
  QFont font("MS Sans Serif");
  font.setPointSize(8);
  setFont(font);
  setFixedSize(kClientWidth, kClientHeight);

  CreatePanel();
  CreateMemoAndButton();
  connect(Label1, &ClickableLabel::clicked, this, [this] { Label1Click(Label1); });
  connect(ProgramIcon, &ClickableLabel::clicked, this, [this] { ProgramIconClick(ProgramIcon); });
}

TAboutBox::~TAboutBox() = default;

QStringList TAboutBox::MemoLines() {
  return {
      "No need for installing acrobar reader to use this ",
      "program.",
      "",
      "Application supports drag and drop from the file ",
      "manager onto the folder list for quickly setting the ",
      "starting folder.",
      "",
  };
}

void TAboutBox::CreatePanel() {
  Panel1 = Place(new BevelPanel(this), "Panel1", 8, 8, 329, 241);
  const QFont font = this->font();

  Label3 =
      PlaceLabel(Panel1, "Label3", "Developed by: The Foliotally developers", 8, 4, Bold(font));

  ProgramIcon = Place(new ClickableLabel(Panel1), "ProgramIcon", 8, 16, 313, 105);
  ProgramIcon->setAlignment(Qt::AlignCenter);
  ProgramIcon->setAccessibleName("Foliotally logo: open the user guide");
  const QPixmap logo = LogoPicture();
  if (!logo.isNull())
    ProgramIcon->setPixmap(
        logo.scaled(ProgramIcon->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));

  Version = PlaceLabel(Panel1, "Version", "Version: 1.1", 8, 120, Bold(font));
  Label2 = PlaceLabel(Panel1, "Label2", "Count pdf pages without Acrobat installed", 8, 168, font);

  // The link shows the home address; the whole address stays its text (and tool tip) even
  // where the box is too narrow to draw it all.
  Label1 = Place(new ClickableLabel(Panel1), "Label1", 170, 184, 154, 16);
  QFont link_font = Bold(font);
  link_font.setPointSize(10);
  link_font.setUnderline(true);
  Label1->setFont(link_font);
  QPalette link_palette = Label1->palette();
  link_palette.setColor(QPalette::WindowText, Qt::blue);
  Label1->setPalette(link_palette);
  Label1->setText(AddressText(FLinks.addresses().home));
  Label1->setToolTip(Label1->text());
  Label1->setElideMode(Qt::ElideLeft);
  Label1->setFocusPolicy(Qt::TabFocus);
  Label1->setAccessibleName("Open the user guide");

  QFont small = font;
  small.setPixelSize(9);
  Label5 = PlaceLabel(Panel1, "Label5", "This program is provided 'as is'. Use at your own risk.",
                      8, 216, small);
}

void TAboutBox::CreateMemoAndButton() {
  Memo1 = Place(new QPlainTextEdit(this), "Memo1", 16, 256, 321, 121);
  Memo1->setFont(Bold(font()));
  Memo1->setReadOnly(true);
  Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  Memo1->setTabChangesFocus(true);
  Memo1->setPlainText(MemoLines().join('\n'));
  Memo1->setAccessibleName("About Foliotally");

  OKButton = Place(new QPushButton("OK", this), "OKButton", 143, 384, 75, 25);
  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutBox::Label1Click(QObject*) {
  if (!FLinks.OpenPage()) ShowErrorBox(CouldNotOpenText(FLinks.addresses().page));
}

void TAboutBox::ProgramIconClick(QObject* sender) { Label1Click(sender); }

void TAboutBox::showEvent(QShowEvent* event) {
  CentreOnScreen();
  OKButton->setFocus();
  QDialog::showEvent(event);
}

void TAboutBox::CentreOnScreen() {
  const QScreen* target = parentWidget() != nullptr ? parentWidget()->screen() : screen();
  if (target == nullptr) target = QGuiApplication::primaryScreen();
  if (target == nullptr) return;
  QRect frame = frameGeometry();
  frame.moveCenter(target->geometry().center());
  move(frame.topLeft());
}

}  // namespace foliotally
