// The tool-bar and window icons.
#pragma once

#include <QIcon>
#include <QString>

namespace quillane {

// Icon for a tool-bar key ("New", "Square", "Save", "Undo", "Cut", "Copy", "CopyAll",
// "Paste", "Exit", and "Measure" for the plots' measure mode); an unknown key gives an empty icon.
QIcon ToolIcon(const QString& key);
QIcon QuillaneWindowIcon();

}  // namespace quillane
