// Finding and starting the desktop's system-information viewer.
#include "qt/system_info.h"

#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>

namespace quillane {

std::optional<QString> DesktopSystem::registryValue(const QString& key, const QString& name) const {
#ifdef Q_OS_WIN
    QSettings registry(QStringLiteral("HKEY_LOCAL_MACHINE\\") + key, QSettings::NativeFormat);
    const QVariant value = registry.value(name);
    if (!value.isValid() || value.typeId() != QMetaType::QString) return std::nullopt;
    QString text = value.toString();
    const auto nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0) text.truncate(nul);
    return text;
#else
    Q_UNUSED(key);
    Q_UNUSED(name);
    return std::nullopt;
#endif
}

bool DesktopSystem::fileExists(const QString& path) const { return QFileInfo(path).isFile(); }

QString DesktopSystem::findExecutable(const QString& name) const { return QStandardPaths::findExecutable(name); }

bool DesktopSystem::startDetached(const QString& program) const { return QProcess::startDetached(program, {}); }

QStringList SystemInfoViewerCandidates() {
    return {QStringLiteral("hardinfo"),
            QStringLiteral("hardinfo2"),
            QStringLiteral("kinfocenter"),
            QStringLiteral("gnome-system-monitor"),
            QStringLiteral("mate-system-monitor"),
            QStringLiteral("xfce4-taskmanager")};
}

QString FindSystemInfoViewer(const SystemInfoSystem& system) {
    if (auto path =
            system.registryValue(QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"), QStringLiteral("PATH"))) {
        if (!path->isEmpty()) return *path;
    }
    if (auto folder = system.registryValue(QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                                           QStringLiteral("MSINFO"))) {
        const QString path = *folder + QStringLiteral("\\MSINFO32.EXE");
        if (system.fileExists(path)) return path;
    }
    for (const QString& candidate : SystemInfoViewerCandidates()) {
        const QString path = system.findExecutable(candidate);
        if (!path.isEmpty()) return path;
    }
    return {};
}

bool StartSystemInfo(const SystemInfoSystem& system) {
    const QString path = FindSystemInfoViewer(system);
    return !path.isEmpty() && system.startDetached(path);
}

}  // namespace quillane
