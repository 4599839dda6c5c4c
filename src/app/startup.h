// Opening the program: one copy per user, then the main window.
#pragma once

#include <QString>

#include <memory>

namespace quillane {

class MainWindow;

// The name under which a running copy keeps a second one out: one per user and settings store.
QString InstanceName();

// The main window, or nothing when another copy already runs: the user has then been told
// "Already Running", and nothing was written to the settings.
std::unique_ptr<MainWindow> OpenMainWindow(const QString& instanceName = InstanceName());

}  // namespace quillane
