// Helpers for driving the main window in tests: a clean settings store, answering modal boxes.
#include "window_test_support.h"

#include "app/plot_view.h"
#include "app/program_pane.h"
#include "app/status_panels.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QToolBar>

namespace quillane::testing {
void ClearSettings() {
    QSettings store(QSettings::IniFormat, QSettings::UserScope, "Quillane", "Quillane");
    store.clear();
    store.sync();
}

void StoreSetting(const QString& key, const QString& value) {
    QSettings store(QSettings::IniFormat, QSettings::UserScope, "Quillane", "Quillane");
    store.setValue(QStringLiteral("Settings/") + key, value);
    store.sync();
}

QString StoredSetting(const QString& key) {
    QSettings store(QSettings::IniFormat, QSettings::UserScope, "Quillane", "Quillane");
    return store.value(QStringLiteral("Settings/") + key).toString();
}

QString PaneText(const ProgramPane* pane) {
    const std::string_view text = pane->programText();
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::unique_ptr<MainWindow> OpenWindow() {
    auto window = std::make_unique<MainWindow>();
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) {
        return nullptr;
    }
    window->activateWindow();
    QApplication::setActiveWindow(window.get());
    return window;
}

void WindowFixture::openWindow() {
    ClearSettings();
    window_ = OpenWindow();
    QVERIFY(window_);
    a_ = Find<ProgramPane>(window_.get(), QStringLiteral("txtDataA"));
    b_ = Find<ProgramPane>(window_.get(), QStringLiteral("txtDataB"));
    plot1_ = Find<PlotView>(window_.get(), QStringLiteral("Picture1"));
    plot2_ = Find<PlotView>(window_.get(), QStringLiteral("Picture2"));
    readout_ = Find<QLabel>(window_.get(), QStringLiteral("Picture3"));
    toolBar_ = Find<QToolBar>(window_.get(), QStringLiteral("tbToolBar"));
    status_ = Find<StatusPanels>(window_.get(), QStringLiteral("sbStatusBar"));
    QVERIFY(a_ && b_ && plot1_ && plot2_ && readout_ && toolBar_ && status_);
}

void WhenModal(const std::function<void(QWidget*)>& inside) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, inside] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        timer->stop();
        timer->deleteLater();
        inside(modal);
    });
    timer->start(10);
}

void GiveShape(MainWindow& window) {
    GeneratorState& state = window.generatorState();
    state.Shape.DimensionsSet = true;
    state.Shape.Side = 1;
    state.Shape.Pitch = 12.7;
    state.Shape.D1 = 30;
    state.Shape.D2 = 27;
    state.Shape.BlankDiaX = 32;
    state.Shape.StartPointZ = 17.7;
    state.Shape.EndPointZ = -80;
    state.CutSpanZ = (17.7 - -80) + 12.7;
}

struct MessageBoxAnswerer::State {
    SeenMessage message;
    QTimer timer;
};

MessageBoxAnswerer::MessageBoxAnswerer(QMessageBox::StandardButton press) : state_(std::make_shared<State>()) {
    std::weak_ptr<State> weak = state_;
    QObject::connect(&state_->timer, &QTimer::timeout, [weak, press] {
        auto state = weak.lock();
        if (!state) return;
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        state->timer.stop();
        state->message = {true, box->windowTitle(), box->text(), box->icon(), static_cast<int>(box->buttons().size())};
        box->button(press)->click();
    });
    state_->timer.start(10);
}

MessageBoxAnswerer::~MessageBoxAnswerer() { state_->timer.stop(); }

const SeenMessage& MessageBoxAnswerer::seen() const { return state_->message; }

struct FileDialogAnswerer::State {
    std::function<void(QFileDialog*)> answer;
    bool seen = false;
    QString directory;
    QStringList filters;
    QTimer timer;
};

FileDialogAnswerer::FileDialogAnswerer(std::function<void(QFileDialog*)> answer) : state_(std::make_shared<State>()) {
    state_->answer = std::move(answer);
    std::weak_ptr<State> weak = state_;
    QObject::connect(&state_->timer, &QTimer::timeout, [weak] {
        auto state = weak.lock();
        if (!state) return;
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        state->timer.stop();
        state->seen = true;
        state->directory = dialog->directory().absolutePath();
        state->filters = dialog->nameFilters();
        state->answer(dialog);
    });
    state_->timer.start(10);
}

FileDialogAnswerer::~FileDialogAnswerer() { state_->timer.stop(); }

bool FileDialogAnswerer::seen() const { return state_->seen; }
QString FileDialogAnswerer::directory() const { return state_->directory; }
QStringList FileDialogAnswerer::nameFilters() const { return state_->filters; }

}  // namespace quillane::testing
