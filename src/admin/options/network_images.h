#pragma once

#include <QIcon>
#include <QString>

class QStyle;

namespace corvane::options {

// The pictures of the network tree by key: "directory", "root", "group",
// "ndscontainer", "network", "server", "tree", "domain", "share",
// "adminshare", "printer", "folder", "file". A null icon for any other key.
QIcon NetworkImage(const QStyle* style, const QString& key);
bool HasNetworkImage(const QString& key);

}  // namespace corvane::options
