#pragma once
// Small helpers the windows share to show logic state in widgets. Each setter
// touches the widget only when the value differs, so a refresh repaints
// nothing that did not change and never moves a cursor the user is typing at.

#include <QString>

#include "shell/frmMain.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace tilbo::ui {

// A label that shows a value: plain text, selectable, and clipped rather than
// widening the window when the value is long (the full text is its tool tip).
QLabel* ValueLabel(const QString& objectName, QWidget* parent);

void SetLabelText(QLabel* label, const QString& text);
void SetLineText(QLineEdit* edit, const QString& text);
void SetComboText(QComboBox* combo, const QString& text);
// Enabled flag and background: the window background when the field takes
// input, the button face when it does not.
void SetInputState(QWidget* field, const InputField& state);
void SetCheckBox(QCheckBox* box, const CheckBox& state);

}  // namespace tilbo::ui
