// Dropping a file on a widget: an event filter the window installs on a pane and its viewport,
// so that it works whatever editor the pane is.
#pragma once

#include <QObject>
#include <QString>

namespace quillane {

class FileDropFilter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    // A local file was dropped (the first, when several were).
    void fileDropped(const QString& path);

protected:
    // Drags that carry local files are taken here; any other drag (text) goes on to the editor.
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace quillane
