// The per-user settings store: text values by application, section and key.
#include "qt/settings_store.h"

#include <QFileInfo>

namespace quillane {

SettingsStore::SettingsStore(const QString& application, const QString& section)
    : settings_(QSettings::IniFormat, QSettings::UserScope, application, application), section_(section) {
    const QFileInfo file(settings_.fileName());
    if (file.exists() && !file.isFile()) {
        readProblem_ = QStringLiteral("it is not a file");
    } else if (file.exists() && !file.isReadable()) {
        readProblem_ = QStringLiteral("permission denied");
    } else if (settings_.status() == QSettings::FormatError) {
        readProblem_ = QStringLiteral("it is not a settings file");
    } else if (settings_.status() == QSettings::AccessError) {
        readProblem_ = QStringLiteral("it cannot be read");
    }
}

QString SettingsStore::get(const QString& key, const QString& defaultValue) const {
    return settings_.value(section_ + QLatin1Char('/') + key, defaultValue).toString();
}

void SettingsStore::save(const QString& key, const QString& value) {
    settings_.setValue(section_ + QLatin1Char('/') + key, value);
}

void SettingsStore::flush() { settings_.sync(); }

QString SettingsStore::folder() const { return QFileInfo(settings_.fileName()).absolutePath(); }

QString SettingsStore::fileName() const { return settings_.fileName(); }

bool SettingsStore::writable() const {
    // Writing would replace a file the store could not read with the few values it holds.
    if (!readProblem_.isEmpty()) return false;
    // The store replaces its file by a new one written beside it: the folder must take new
    // files, not only the file be writable.
    const QFileInfo folderInfo(folder());
    if (folderInfo.exists() && !(folderInfo.isDir() && folderInfo.isWritable())) return false;
    return settings_.isWritable();
}

}  // namespace quillane
