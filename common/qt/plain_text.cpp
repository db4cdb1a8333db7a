#include "common/qt/plain_text.h"

#include <QLabel>
#include <QTextDocument>
#include <QWidget>

namespace kam {

QLabel* NewPlainLabel(QWidget* parent) {
  auto* label = new QLabel(parent);
  MakePlain(label);
  return label;
}

void MakePlain(QLabel* label) {
  label->setTextFormat(Qt::PlainText);
  label->setOpenExternalLinks(false);
  label->setTextInteractionFlags(Qt::NoTextInteraction);
}

QString PlainToolTip(const QString& text) {
  // Tool tips have no format of their own: what looks like markup is taken as markup. Such a
  // text is handed over as markup that spells it out.
  if (!Qt::mightBeRichText(text)) return text;
  return Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}

QString PlainWindowTitle(const QString& text) {
  // A doubled placeholder is shown as one.
  QString out = text;
  out.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
  return out;
}

QList<QLabel*> RichTextLabels(QWidget* widget) {
  QList<QLabel*> labels = widget->findChildren<QLabel*>();
  if (auto* self = qobject_cast<QLabel*>(widget)) labels.prepend(self);
  QList<QLabel*> rich;
  for (QLabel* label : labels) {
    if (label->textFormat() != Qt::PlainText) rich.push_back(label);
  }
  return rich;
}

}  // namespace kam
