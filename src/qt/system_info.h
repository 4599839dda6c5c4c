// Finding and starting the desktop's system-information viewer.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace quillane {

// The system as the lookup sees it; tests give a fake one.
class SystemInfoSystem {
public:
    virtual ~SystemInfoSystem() = default;
    // A string value of the machine-wide registry (Windows only; elsewhere never found).
    virtual std::optional<QString> registryValue(const QString& key, const QString& name) const = 0;
    virtual bool fileExists(const QString& path) const = 0;
    // Full path of a program on the PATH, or empty.
    virtual QString findExecutable(const QString& name) const = 0;
    // Starts a program as a separate process, without a shell; false when it could not start.
    virtual bool startDetached(const QString& program) const = 0;
};

// The real system.
class DesktopSystem : public SystemInfoSystem {
public:
    std::optional<QString> registryValue(const QString& key, const QString& name) const override;
    bool fileExists(const QString& path) const override;
    QString findExecutable(const QString& name) const override;
    bool startDetached(const QString& program) const override;
};

// Viewers looked for on the PATH where there is no registry entry, in order of preference.
QStringList SystemInfoViewerCandidates();

// Where the viewer is: the two registry entries on Windows, else the first candidate on the
// PATH. Empty when there is none.
QString FindSystemInfoViewer(const SystemInfoSystem& system);

// Finds and starts the viewer; false when none was found or it did not start.
bool StartSystemInfo(const SystemInfoSystem& system);

}  // namespace quillane
