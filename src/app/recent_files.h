// A recent-files list of the File menu: the latest first, each file once, at most five, kept in
// the settings store under numbered keys of its own ("RecentProgram1" .. "RecentProgram5").
#pragma once

#include <QString>
#include <QStringList>

#include <utility>

namespace quillane {

class SettingsStore;

class RecentFiles {
public:
    static constexpr int kLength = 5;

    // `keyPrefix` names the keys: prefix 1 is the latest file.
    explicit RecentFiles(QString keyPrefix) : keyPrefix_(std::move(keyPrefix)) {}

    const QStringList& paths() const { return paths_; }
    // Puts a file at the top (moved there when it was already listed).
    void add(const QString& path);
    void remove(const QString& path);

    void read(const SettingsStore& store);
    // Writes all five keys; an unused one gets an empty text.
    void write(SettingsStore& store) const;

private:
    QString keyPrefix_;
    QStringList paths_;
};

}  // namespace quillane
