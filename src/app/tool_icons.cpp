// The tool-bar and window icons: scalable pictures in the program's resources, sharp at any size.
#include "app/tool_icons.h"

#include <QFile>

namespace quillane {
namespace {

QIcon ResourceIcon(const QString& name) {
    const QString path = QStringLiteral(":/icons/%1.svg").arg(name);
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

}  // namespace

QIcon ToolIcon(const QString& key) {
    // Resource names are the keys in lower case; a key that names no picture gives no icon.
    for (const char* known :
         {"New", "Square", "Save", "Open", "Undo", "Cut", "Copy", "CopyAll", "Paste", "Exit", "Measure", "Check"}) {
        if (key == QLatin1String(known)) return ResourceIcon(key.toLower());
    }
    return {};
}

QIcon QuillaneWindowIcon() { return ResourceIcon(QStringLiteral("quillane")); }

}  // namespace quillane
