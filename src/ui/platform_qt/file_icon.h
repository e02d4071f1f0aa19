#pragma once

#include <QIcon>
#include <QList>

#include <string>

class QLabel;

namespace corvane {

// A file's icon as the desktop shows it (its type's icon, or the generic
// file icon). The object that asks owns the returned icon.
QIcon FileIcon(const std::string& fileName);

// Puts a file's icon into an icon list and a picture label. pixelsXY 0
// becomes 16 (in the caller's variable too). With a label, the label shows
// the icon at pixelsXY square; with a list, the icon is appended and the
// result is its 1-based position. 0 when no list is given or the file has no
// icon.
int ExtractIcon(const std::string& fileName, QList<QIcon>* addToImageList, QLabel* pictureBox,
                int& pixelsXY);

}  // namespace corvane
