// Opening the program: one copy per user, then the main window.
#pragma once

#include <QString>

#include <memory>

namespace quillane {

class MainWindow;

// Where the lock that keeps a second copy out lives: beside the user's settings.
QString InstanceLockPath();

// The main window, or nothing when another copy already runs: the user has then been told
// "Already Running", and nothing was written to the settings.
std::unique_ptr<MainWindow> OpenMainWindow(const QString& lockPath = InstanceLockPath());

}  // namespace quillane
