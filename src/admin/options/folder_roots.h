#pragma once

#include <QString>
#include <QStringList>

namespace corvane::options {

// The drive list's roots: "/", the home folder, then every mounted volume
// that is not a pseudo file system, each once, in that order.
QStringList FolderRoots();

// The root of the list that holds the folder (the longest that does); "/"
// when none does.
QString RootOf(const QStringList& roots, const QString& folder);

}  // namespace corvane::options
