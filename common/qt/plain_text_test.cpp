#include "common/qt/plain_text.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QTextDocument>
#include <QWidget>
#include <QWindow>
#include <memory>

#include "tests/support/temp_dir.h"

namespace kam {
namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "common_qt_test";
  static char* argv[] = {name, nullptr};
  if (qApp == nullptr) new QApplication(argc, argv);
  return *static_cast<QApplication*>(qApp);
}

// Texts that Qt would take for markup, and texts that it would not.
const char* const kTexts[] = {
    "<b>x</b>",   "<img src=\"/dev/zero\">", "a <i>b</i> & c", "x<y>z", "第1集 <u>看</u>",
    "plain text", "<a href=\"x\">y</a>",     "&lt;b&gt;"};

TEST(PlainText, LabelShowsTheCharactersNotTheirMarkup) {
  App();
  QWidget parent;
  QLabel* label = NewPlainLabel(&parent);
  for (const char* text : kTexts) {
    label->setText(QString::fromUtf8(text));
    EXPECT_EQ(label->textFormat(), Qt::PlainText) << text;
    // Every character takes its place: markup would leave only the marked-up words.
    const int advance = QFontMetrics(label->font()).horizontalAdvance(QString::fromUtf8(text));
    EXPECT_GE(label->sizeHint().width(), advance) << text;
  }
  EXPECT_TRUE(RichTextLabels(&parent).isEmpty());
  // A label made elsewhere is found.
  new QLabel(&parent);
  EXPECT_EQ(RichTextLabels(&parent).size(), 1);
}

TEST(PlainText, LabelReadsNoFileItsTextNames) {
  App();
  testing::TempDir dir;
  const QString picture = QString::fromStdString((dir.path() / "big.png").string());
  QImage big(300, 300, QImage::Format_RGB32);
  big.fill(Qt::red);
  ASSERT_TRUE(big.save(picture));
  const QString text = QStringLiteral("<img src=\"%1\">").arg(picture);
  QLabel rich;
  rich.setText(text);
  ASSERT_GE(rich.sizeHint().height(), 300) << "the check cannot tell a read picture";
  auto plain = std::unique_ptr<QLabel>(NewPlainLabel(nullptr));
  plain->setText(text);
  EXPECT_LT(plain->sizeHint().height(), 100);
}

TEST(PlainText, ToolTipSpellsOutWhatItIsGiven) {
  App();
  for (const char* text : kTexts) {
    const QString tip = PlainToolTip(QString::fromUtf8(text));
    // What a tool tip shows: rich text when it looks like markup, the text itself otherwise.
    QString shown = tip;
    if (Qt::mightBeRichText(tip)) {
      QTextDocument doc;
      doc.setHtml(tip);
      shown = doc.toPlainText();
    }
    EXPECT_EQ(shown, QString::fromUtf8(text)) << text;
  }
}

TEST(PlainText, WindowTitleKeepsItsPlaceholderText) {
  App();
  for (const char* text : {"a[*]b", "[*]", "[*][*]", "<b>看吧</b>", "x"}) {
    QWidget w;
    w.setWindowTitle(PlainWindowTitle(QString::fromUtf8(text)));
    w.winId();  // the native window, which carries the title the desktop shows
    ASSERT_NE(w.windowHandle(), nullptr);
    EXPECT_EQ(w.windowHandle()->title(), QString::fromUtf8(text)) << text;
  }
}

}  // namespace
}  // namespace kam
