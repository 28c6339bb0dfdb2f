#include "ui/WidgetText.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace tilbo::ui {

QLabel* ValueLabel(const QString& objectName, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(objectName);
  label->setTextFormat(Qt::PlainText);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  return label;
}

void SetLabelText(QLabel* label, const QString& text) {
  if (label->text() == text) return;
  label->setText(text);
  label->setToolTip(text);
}

void SetLineText(QLineEdit* edit, const QString& text) {
  if (edit->text() != text) edit->setText(text);
}

void SetComboText(QComboBox* combo, const QString& text) {
  if (combo->currentText() != text) combo->setEditText(text);
}

void SetInputState(QWidget* field, const InputField& state) {
  field->setEnabled(state.enabled);
  QPalette palette = field->palette();
  const QPalette standard = QApplication::palette(field);
  const QColor background = state.windowBackground ? standard.color(QPalette::Base) : standard.color(QPalette::Button);
  if (palette.color(QPalette::Active, QPalette::Base) == background &&
      palette.color(QPalette::Disabled, QPalette::Base) == background) {
    return;
  }
  palette.setColor(QPalette::Base, background);
  field->setPalette(palette);
}

void SetCheckBox(QCheckBox* box, const CheckBox& state) {
  const QSignalBlocker block(box);
  if (box->isChecked() != state.ticked) box->setChecked(state.ticked);
  box->setEnabled(state.enabled);
}

}  // namespace tilbo::ui
