#include "admin/options/folder_roots.h"

#include <QDir>
#include <QStorageInfo>
#include <array>

namespace corvane::options {
namespace {

bool IsPseudo(const QByteArray& type) {
    static constexpr std::array<const char*, 22> kPseudo{
        "proc",   "sysfs",   "devtmpfs", "devpts",     "tmpfs",    "cgroup", "cgroup2", "securityfs",
        "pstore", "debugfs", "tracefs",  "configfs",   "fusectl",  "mqueue", "hugetlbfs", "bpf",
        "autofs", "binfmt_misc", "overlay", "nsfs", "squashfs", "efivarfs"};
    for (const char* p : kPseudo)
        if (type == p) return true;
    return false;
}

}  // namespace

QStringList FolderRoots() {
    QStringList roots{QStringLiteral("/"), QDir::homePath()};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady() || IsPseudo(volume.fileSystemType())) continue;
        const QString path = volume.rootPath();
        if (!roots.contains(path)) roots << path;
    }
    return roots;
}

QString RootOf(const QStringList& roots, const QString& folder) {
    QString best = QStringLiteral("/");
    for (const QString& root : roots) {
        const QString prefix = root.endsWith('/') ? root : root + '/';
        if ((folder == root || folder.startsWith(prefix)) && root.size() > best.size()) best = root;
    }
    return best;
}

}  // namespace corvane::options
