// The per-user settings store: text values by application, section and key.
#pragma once

#include <QSettings>
#include <QString>

namespace quillane {

class SettingsStore {
public:
    SettingsStore(const QString& application, const QString& section);

    // The stored text, or `defaultValue` when the key is absent.
    QString get(const QString& key, const QString& defaultValue) const;
    void save(const QString& key, const QString& value);
    // Writes pending values to disk now (the store also does so on destruction).
    void flush();
    // Folder that holds the store: a per-user place for this application's own files.
    QString folder() const;
    // The file that holds the store.
    QString fileName() const;
    // Whether values saved now would reach the disk. A folder that cannot be created or
    // written (one left behind by a run as another user) makes the store read-only: the
    // program still starts, reads what it can and only keeps its changes until it ends.
    bool writable() const;
    // Why the stored values could not be read (the file is not readable, or not a settings
    // file), or an empty text. Such a store is also not writable: the file is left as it is.
    QString readProblem() const { return readProblem_; }

private:
    QSettings settings_;
    QString section_;
    QString readProblem_;
};

}  // namespace quillane
