// A recent-files list of the File menu, kept in the settings store.
#include "app/recent_files.h"

#include "qt/settings_store.h"

#include <QFileInfo>

namespace quillane {
namespace {

// One spelling per file, so that a file opened by two names is listed once.
QString Canonical(const QString& path) { return QFileInfo(path).absoluteFilePath(); }

}  // namespace

void RecentFiles::add(const QString& path) {
    const QString file = Canonical(path);
    paths_.removeAll(file);
    paths_.prepend(file);
    while (paths_.size() > kLength) paths_.removeLast();
}

void RecentFiles::remove(const QString& path) { paths_.removeAll(Canonical(path)); }

void RecentFiles::read(const SettingsStore& store) {
    paths_.clear();
    for (int n = 1; n <= kLength; ++n) {
        const QString path = store.get(keyPrefix_ + QString::number(n), QString());
        if (!path.isEmpty() && !paths_.contains(path)) paths_.append(path);
    }
}

void RecentFiles::write(SettingsStore& store) const {
    for (int n = 1; n <= kLength; ++n) {
        store.save(keyPrefix_ + QString::number(n), paths_.value(n - 1));
    }
}

}  // namespace quillane
