// Start-up and shut-down: placement and Save folder between runs, one copy at a time.
#include "app/startup.h"
#include "app/window_placement.h"
#include "qt/single_instance.h"
#include "window_test_support.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace quillane;
using namespace quillane::testing;

class SettingsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { ClearSettings(); }

    void emptyStoreGivesTheDefaults() {
        auto window = OpenWindow();
        QVERIFY(window);
        const double tpp = 1440.0 / window->logicalDpiX();
        const QRect expected = PlacementToPixels({1000, 1000, 12000, 8000}, tpp, tpp);
        QCOMPARE(window->frameGeometry(), expected);
        QCOMPARE(window->rememberedFolder(), QStringLiteral("\\"));
        QCOMPARE(window->generatorState().PassCounter, 1.0F);
        QVERIFY(StoredSetting("MainLeft").isNull());  // nothing written before the close
        window->close();
        // Unmoved, the window writes back exactly what it started with.
        QCOMPARE(StoredSetting("MainLeft"), QStringLiteral("1000"));
        QCOMPARE(StoredSetting("MainTop"), QStringLiteral("1000"));
        QCOMPARE(StoredSetting("MainWidth"), QStringLiteral("12000"));
        QCOMPARE(StoredSetting("MainHeight"), QStringLiteral("8000"));
        QCOMPARE(StoredSetting("OpenPathName"), QStringLiteral("\\"));
    }

    void placementAndFolderSurviveARestart() {
        StoreSetting("OpenPathName", "/srv/programs");
        auto first = OpenWindow();
        QVERIFY(first);
        first->move(45, 60);
        first->resize(690, 480);
        QTRY_VERIFY(first->size() == QSize(690, 480) && first->pos() == QPoint(45, 60));
        const QRect frame = first->frameGeometry();
        first->close();
        const double tpp = 1440.0 / first->logicalDpiX();
        QCOMPARE(StoredSetting("MainLeft"), QString::number(qRound(frame.x() * tpp)));
        QCOMPARE(StoredSetting("MainWidth"), QString::number(qRound(frame.width() * tpp)));
        first.reset();

        auto second = OpenWindow();
        QVERIFY(second);
        QCOMPARE(second->frameGeometry(), frame);
        QCOMPARE(second->rememberedFolder(), QStringLiteral("/srv/programs"));
    }

    void minimisedCloseKeepsThePreviousPlacement() {
        StoreSetting("MainLeft", "1500");
        StoreSetting("MainTop", "900");
        StoreSetting("MainWidth", "9000");
        StoreSetting("MainHeight", "6000");
        auto window = OpenWindow();
        QVERIFY(window);
        window->resize(300, 200);
        window->showMinimized();
        QTRY_VERIFY(window->isMinimized());
        window->close();
        QCOMPARE(StoredSetting("MainLeft"), QStringLiteral("1500"));
        QCOMPARE(StoredSetting("MainWidth"), QStringLiteral("9000"));
        QCOMPARE(StoredSetting("MainHeight"), QStringLiteral("6000"));
        QCOMPARE(StoredSetting("OpenPathName"), QStringLiteral("\\"));
    }

    void maximisedCloseReopensNormalWithThatRectangle() {
        auto window = OpenWindow();
        QVERIFY(window);
        window->showMaximized();
        QTRY_VERIFY(window->isMaximized());
        const QRect maximised = window->frameGeometry();
        window->close();
        window.reset();
        auto again = OpenWindow();
        QVERIFY(again);
        QVERIFY(!again->isMaximized());
        QCOMPARE(again->frameGeometry(), maximised);
    }

    void aValueThatIsNotANumberFallsBackToItsDefault() {
        StoreSetting("MainLeft", "1500");
        StoreSetting("MainWidth", "wide");
        StoreSetting("MainHeight", "");
        auto window = OpenWindow();
        QVERIFY(window);
        const double tpp = 1440.0 / window->logicalDpiX();
        QCOMPARE(window->frameGeometry(), PlacementToPixels({1500, 1000, 12000, 8000}, tpp, tpp));
    }

    void aWindowOffEveryScreenIsBroughtIntoView() {
        StoreSetting("MainLeft", "-900000");
        StoreSetting("MainTop", "450000");
        auto window = OpenWindow();
        QVERIFY(window);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY2(screen.contains(window->frameGeometry().topLeft()), "caption must be reachable");
        QVERIFY(screen.contains(window->frameGeometry().topRight()));
    }

    void bringIntoViewLeavesAReachableWindowAlone() {
        const QList<QRect> screens{{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
        QCOMPARE(BringIntoView({100, 100, 800, 600}, screens), QRect(100, 100, 800, 600));
        // Partly off screen but with its caption reachable on the second screen.
        QCOMPARE(BringIntoView({2900, 0, 800, 600}, screens), QRect(2900, 0, 800, 600));
        // Caption above every screen: centred on the first, shrunk to fit.
        const QRect moved = BringIntoView({100, -700, 3000, 600}, screens);
        QCOMPARE(moved.size(), QSize(1920, 600));
        QCOMPARE(moved.center(), QRect(0, 0, 1920, 1080).center());
    }

    void aSecondCopyIsTurnedAwayAndWritesNothing() {
        QTemporaryDir dir;
        const QString lock = dir.filePath("quillane.lock");
        SingleInstanceGuard first(lock);
        QVERIFY(first.tryAcquire());
        MessageBoxAnswerer answerer;
        const std::unique_ptr<MainWindow> second = OpenMainWindow(lock);
        QVERIFY(second == nullptr);
        QVERIFY(answerer.seen().Seen);
        QCOMPARE(answerer.seen().Text, QStringLiteral("Already Running"));
        QCOMPARE(answerer.seen().Title, QStringLiteral("Quillane"));
        QCOMPARE(answerer.seen().Icon, QMessageBox::Warning);
        QCOMPARE(answerer.seen().Buttons, 1);
        QVERIFY(StoredSetting("MainLeft").isNull());
        QVERIFY(StoredSetting("OpenPathName").isNull());
    }

    void aLockLeftByACrashedCopyIsTakenOver() {
        QTemporaryDir dir;
        const QString lock = dir.filePath("quillane.lock");
        // What a copy that died leaves behind: its process id (no longer running), name, host.
        QFile file(lock);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("999999999\nquillane\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        file.close();
        const std::unique_ptr<MainWindow> window = OpenMainWindow(lock);
        QVERIFY(window != nullptr);
    }

    void theLockIsFreedWhenTheWindowGoes() {
        QTemporaryDir dir;
        const QString lock = dir.filePath("quillane.lock");
        {
            const std::unique_ptr<MainWindow> window = OpenMainWindow(lock);
            QVERIFY(window != nullptr);
        }
        SingleInstanceGuard next(lock);
        QVERIFY(next.tryAcquire());
    }
};

QTEST_MAIN(SettingsTest)
#include "settings_test.moc"
