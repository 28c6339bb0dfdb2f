#pragma once
// Texts between the logic (std::string of bytes) and Qt (QString):
// - paths are file-system names, decoded as the system decodes them;
// - the text fields of CTG and LUC files (titles) are bytes shown as Latin-1;
// - messages mix both, so they are read as UTF-8 when they are valid UTF-8
//   and as Latin-1 otherwise; their CR LF line breaks become LF.

#include <QString>
#include <QStringList>
#include <string>

namespace tilbo::ui {

QString FromPath(const std::string& path);
std::string ToPath(const QString& path);

QString FromLatin1Bytes(const std::string& bytes);
std::string ToLatin1Bytes(const QString& text);

QString FromMessageText(const std::string& text);

// The choices of a file-dialog filter of "description|patterns|..." pairs
// ("Text Files (*.txt)|*.txt|All Files (*.*)|*.*") as Qt name filters: the
// description as given, then the patterns in Qt's form in parentheses, which
// a dialog with hidden filter details reads but does not show ("All Files
// (*.*) (*)" shows as "All Files (*.*)"). "*.*" means every file, which on
// this system is "*" (USGS names many of its files without a dot).
QStringList QtNameFilters(const std::string& pairs);

}  // namespace tilbo::ui
