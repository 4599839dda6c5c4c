// Opening the program: one copy per user, then the main window.
#include "app/startup.h"

#include "app/main_window.h"
#include "qt/settings_store.h"
#include "qt/single_instance.h"

#include <QMessageBox>

namespace quillane {

QString InstanceName() {
    const SettingsStore store(QStringLiteral("Quillane"), QStringLiteral("Settings"));
    return SingleInstanceName(QStringLiteral("Quillane"), store.fileName());
}

std::unique_ptr<MainWindow> OpenMainWindow(const QString& instanceName) {
    auto guard = std::make_unique<SingleInstanceGuard>(instanceName);
    if (!guard->tryAcquire()) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Quillane"), QStringLiteral("Already Running"),
                        QMessageBox::Ok);
        box.exec();
        return nullptr;
    }
    return std::make_unique<MainWindow>(std::move(guard));
}

}  // namespace quillane
