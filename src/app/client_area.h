// The window's client area, which lays out its controls itself whenever its size changes.
#pragma once

#include <QWidget>

#include <functional>
#include <utility>

namespace quillane {

class ClientArea : public QWidget {
public:
    explicit ClientArea(QWidget* parent = nullptr) : QWidget(parent) { setObjectName(QStringLiteral("frmMainClient")); }
    void onResize(std::function<void()> layout) { layout_ = std::move(layout); }

protected:
    void resizeEvent(QResizeEvent* e) override {
        QWidget::resizeEvent(e);
        if (layout_) {
            layout_();
        }
    }

private:
    std::function<void()> layout_;
};

}  // namespace quillane
