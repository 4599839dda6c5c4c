// The About box: its texts, its three ways to close, and the system-information viewer.
#include "app/about_box.h"
#include "qt/system_info.h"
#include "window_test_support.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <map>

using namespace quillane;
using quillane::testing::WhenModal;

namespace {

// The owner of the box, which redraws its plots when the box says so.
struct FakePanes {
    int replotCalls = 0;
    void showAboutBox(const SystemInfoSystem& system) {
        if (ShowAboutBox(nullptr, system)) ++replotCalls;
    }
};

class FakeSystem : public SystemInfoSystem {
public:
    std::map<QString, QString> registry;  // "key|name" -> value
    QStringList files;
    std::map<QString, QString> path;
    mutable QStringList started;
    bool startWorks = true;

    std::optional<QString> registryValue(const QString& key, const QString& name) const override {
        const auto it = registry.find(key + u'|' + name);
        return it == registry.end() ? std::nullopt : std::optional<QString>(it->second);
    }
    bool fileExists(const QString& p) const override { return files.contains(p); }
    QString findExecutable(const QString& name) const override {
        const auto it = path.find(name);
        return it == path.end() ? QString() : it->second;
    }
    bool startDetached(const QString& program) const override {
        started << program;
        return startWorks;
    }
};

}  // namespace

class AboutBoxTest : public QObject {
    Q_OBJECT

    FakePanes panes_;
    FakeSystem system_;

private slots:
    void init() {
        panes_ = FakePanes();
        system_ = FakeSystem();
    }

    void showsTitleAndVersion() {
        QCoreApplication::setApplicationVersion(QStringLiteral("1.1.0"));
        AboutBox box(system_);
        QCOMPARE(box.windowTitle(), QStringLiteral("Quillane information"));
        QCOMPARE(box.findChild<QLabel*>(QStringLiteral("lblTitle"))->text(), QStringLiteral("Quillane"));
        QCOMPARE(box.findChild<QLabel*>(QStringLiteral("lblVersion"))->text(), QStringLiteral("Ver. 1.1.0"));
        QCOMPARE(box.findChild<QPushButton*>(QStringLiteral("cmdOK"))->text(), QStringLiteral("O   K"));
        QCOMPARE(box.findChild<QPushButton*>(QStringLiteral("cmdSysInfo"))->text(),
                 QStringLiteral("System Inf.(&S)..."));
    }

    void enterEscapeAndOkCloseAndReplot_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("Enter") << 0;
        QTest::newRow("Escape") << 1;
        QTest::newRow("OK") << 2;
    }
    void enterEscapeAndOkCloseAndReplot() {
        QFETCH(int, how);
        bool closed = false;
        WhenModal([&](QWidget* modal) {
            QVERIFY(QTest::qWaitForWindowExposed(modal));
            if (how == 0) QTest::keyClick(modal, Qt::Key_Return);
            if (how == 1) QTest::keyClick(modal, Qt::Key_Escape);
            if (how == 2) modal->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
            closed = !modal->isVisible();
        });
        panes_.showAboutBox(system_);
        QVERIFY(closed);
        QCOMPARE(panes_.replotCalls, 1);
    }

    void closeBoxClosesWithoutReplot() {
        WhenModal([](QWidget* modal) { modal->close(); });
        panes_.showAboutBox(system_);
        QCOMPARE(panes_.replotCalls, 0);
    }

    void noViewerSaysSo() {
        AboutBox box(system_);
        box.show();
        QString seen;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        WhenModal([&](QWidget* modal) {
            auto* message = qobject_cast<QMessageBox*>(modal);
            QVERIFY(message);
            seen = message->text();
            icon = message->icon();
            QCOMPARE(message->buttons().size(), 1);
            message->button(QMessageBox::Ok)->click();
        });
        box.findChild<QPushButton*>(QStringLiteral("cmdSysInfo"))->click();
        QCOMPARE(seen, QString::fromUtf8("現時点ではｼｽﾃﾑ情報を使用できません"));
        QCOMPARE(icon, QMessageBox::Warning);
        QVERIFY(system_.started.isEmpty());
    }

    void enterPressesTheFocusedButton() {
        bool messageSeen = false;
        bool boxStillOpen = false;
        WhenModal([&](QWidget* about) {
            QVERIFY(QTest::qWaitForWindowExposed(about));
            auto* sysInfo = about->findChild<QPushButton*>(QStringLiteral("cmdSysInfo"));
            sysInfo->setFocus();
            WhenModal([&](QWidget* message) {
                messageSeen = qobject_cast<QMessageBox*>(message) != nullptr;
                if (messageSeen) static_cast<QMessageBox*>(message)->button(QMessageBox::Ok)->click();
            });
            QTest::keyClick(sysInfo, Qt::Key_Return);  // runs the message box's own loop
            boxStillOpen = about->isVisible();
            about->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        });
        panes_.showAboutBox(system_);
        QVERIFY(messageSeen);
        QVERIFY(boxStillOpen);
    }

    void viewerLookup() {
        // the registry's full path comes first
        system_.registry[QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO|PATH")] =
            QStringLiteral("C:\\a.exe");
        system_.path[QStringLiteral("hardinfo")] = QStringLiteral("/usr/bin/hardinfo");
        QCOMPARE(FindSystemInfoViewer(system_), QStringLiteral("C:\\a.exe"));
        // then the folder entry, when the program is there
        system_.registry.clear();
        system_.registry[QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location|MSINFO")] = QStringLiteral("C:\\m");
        QCOMPARE(FindSystemInfoViewer(system_), QStringLiteral("/usr/bin/hardinfo"));
        system_.files << QStringLiteral("C:\\m\\MSINFO32.EXE");
        QCOMPARE(FindSystemInfoViewer(system_), QStringLiteral("C:\\m\\MSINFO32.EXE"));
        // elsewhere a viewer on the PATH, started without a shell
        system_.registry.clear();
        QVERIFY(StartSystemInfo(system_));
        QCOMPARE(system_.started, QStringList{QStringLiteral("/usr/bin/hardinfo")});
        system_.startWorks = false;
        QVERIFY(!StartSystemInfo(system_));
    }
};

QTEST_MAIN(AboutBoxTest)
#include "about_box_test.moc"
