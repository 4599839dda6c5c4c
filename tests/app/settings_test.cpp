// Start-up and shut-down: placement and Save folder between runs, one copy at a time.
#include "app/startup.h"
#include "app/window_placement.h"
#include "qt/settings_store.h"
#include "qt/single_instance.h"
#include "window_test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSysInfo>
#include <QTest>
#include <QUuid>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

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

    void aStoredSizeIsBroughtToOneTheScreenCanShow_data() {
        QTest::addColumn<QRect>("stored");
        QTest::addColumn<QRect>("placed");
        const QSize min = kMinimumWindowSize;
        QTest::newRow("fits") << QRect(100, 100, 800, 600) << QRect(100, 100, 800, 600);
        QTest::newRow("zero") << QRect(100, 100, 0, 0) << QRect(QPoint(100, 100), min);
        QTest::newRow("negative") << QRect(100, 100, -50, -3) << QRect(QPoint(100, 100), min);
        QTest::newRow("a pixel across") << QRect(100, 100, 1, 19) << QRect(QPoint(100, 100), min);
        QTest::newRow("huge") << QRect(100, 100, 1000000, 1000000) << QRect(100, 100, 1920, 1080);
        QTest::newRow("too tall") << QRect(100, 100, 800, 5000) << QRect(100, 100, 800, 1080);
        QTest::newRow("on the second screen") << QRect(2000, 100, 4000, 4000) << QRect(2000, 100, 1280, 1024);
        QTest::newRow("zero, off every screen")
            << QRect(-5000, -5000, 0, 0) << QRect(QPoint(960 - 200, 540 - 150), min);
    }
    void aStoredSizeIsBroughtToOneTheScreenCanShow() {
        QFETCH(QRect, stored);
        QFETCH(QRect, placed);
        const QList<QRect> screens{{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
        QCOMPARE(BringIntoView(stored, screens), placed);
    }

    void aWindowStoredWithNoSizeShowsAndWritesBackItsRealSize() {
        StoreSetting("MainWidth", "0");
        StoreSetting("MainHeight", "-15");
        auto window = OpenWindow();
        QVERIFY(window);
        const QRect frame = window->frameGeometry();
        QVERIFY(frame.width() >= kMinimumWindowSize.width());
        QVERIFY(frame.height() >= kMinimumWindowSize.height());
        window->close();
        const double tpp = 1440.0 / window->logicalDpiX();
        QCOMPARE(StoredSetting("MainWidth"), QString::number(qRound(frame.width() * tpp)));
        QCOMPARE(StoredSetting("MainHeight"), QString::number(qRound(frame.height() * tpp)));
    }

    void aSecondCopyIsTurnedAwayAndWritesNothing() {
        const QString name = UniqueName();
        SingleInstanceGuard first(name);
        QVERIFY(first.tryAcquire());
        MessageBoxAnswerer answerer;
        const std::unique_ptr<MainWindow> second = OpenMainWindow(name);
        QVERIFY(second == nullptr);
        QVERIFY(answerer.seen().Seen);
        QCOMPARE(answerer.seen().Text, QStringLiteral("Already Running"));
        QCOMPARE(answerer.seen().Title, QStringLiteral("Quillane"));
        QCOMPARE(answerer.seen().Icon, QMessageBox::Warning);
        QCOMPARE(answerer.seen().Buttons, 1);
        QVERIFY(StoredSetting("MainLeft").isNull());
        QVERIFY(StoredSetting("OpenPathName").isNull());
    }

    void aCopyThatWasKilledLeavesNothingBehind() {
        const QString name = UniqueName();
        int ready[2];
        QCOMPARE(::pipe(ready), 0);
        const pid_t copy = ::fork();
        if (copy == 0) {
            SingleInstanceGuard guard(name);
            const char held = guard.tryAcquire() ? 'y' : 'n';
            (void)::write(ready[1], &held, 1);
            ::pause();
            ::_exit(0);
        }
        char held = 0;
        QCOMPARE(::read(ready[0], &held, 1), ssize_t{1});
        QCOMPARE(held, 'y');
        QVERIFY(!SingleInstanceGuard(name).tryAcquire());  // it runs
        ::kill(copy, SIGKILL);
        ::waitpid(copy, nullptr, 0);
        QVERIFY(SingleInstanceGuard(name).tryAcquire());
        ::close(ready[0]);
        ::close(ready[1]);
    }

    // What a power loss, a crash on a renamed machine or an older version may leave in the
    // settings folder: none of it is a running copy.
    void leftoversInTheSettingsFolderDoNotKeepTheProgramOut_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("directory");
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("garbage") << QByteArray("\xff\xfe not a lock \n\n\n") << false;
        QTest::newRow("dead copy on another host") << QByteArray("999999999\nquillane\nold-name\n") << false;
        QTest::newRow("dead copy on this host")
            << ("999999999\nquillane\n" + QSysInfo::machineHostName().toUtf8() + "\n") << false;
        QTest::newRow("directory") << QByteArray() << true;
    }
    void leftoversInTheSettingsFolderDoNotKeepTheProgramOut() {
        QFETCH(QByteArray, content);
        QFETCH(bool, directory);
        const QString folder = SettingsStore(QStringLiteral("Quillane"), QStringLiteral("Settings")).folder();
        QVERIFY(QDir().mkpath(folder));
        const QString lock = QDir(folder).filePath(QStringLiteral("quillane.lock"));
        if (directory) {
            QVERIFY(QDir().mkpath(lock));
        } else {
            QFile file(lock);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        const std::unique_ptr<MainWindow> window = OpenMainWindow();
        QFileInfo(lock).isDir() ? QDir(lock).removeRecursively() : QFile::remove(lock);
        QVERIFY(window != nullptr);
    }

    // A settings folder left behind by a run as another user, or a file in its place: the
    // program starts anyway, and the store says that it cannot keep anything.
    void aSettingsFolderThatCannotBeWrittenDoesNotKeepTheProgramOut() {
        const QString folder = SettingsStore(QStringLiteral("Quillane"), QStringLiteral("Settings")).folder();
        QDir(folder).removeRecursively();
        QFile occupied(folder);
        QVERIFY(occupied.open(QIODevice::WriteOnly));
        occupied.close();
        const std::unique_ptr<MainWindow> window = OpenMainWindow();
        const bool writable = SettingsStore(QStringLiteral("Quillane"), QStringLiteral("Settings")).writable();
        QFile::remove(folder);
        QVERIFY(window != nullptr);
        QVERIFY(!writable);
        QVERIFY(SettingsStore(QStringLiteral("Quillane"), QStringLiteral("Settings")).writable());
    }

    void aReadOnlySettingsFolderIsReadAndNotWritten() {
        if (::geteuid() == 0) QSKIP("permissions do not stop the superuser");
        StoreSetting("OpenPathName", "/srv/programs");
        const QString folder = SettingsStore(QStringLiteral("Quillane"), QStringLiteral("Settings")).folder();
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        const std::unique_ptr<MainWindow> window = OpenMainWindow();
        const bool writable = SettingsStore(QStringLiteral("Quillane"), QStringLiteral("Settings")).writable();
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(window != nullptr);
        QVERIFY(!writable);
        QCOMPARE(window->rememberedFolder(), QStringLiteral("/srv/programs"));
    }

    void theNameIsFreedWhenTheWindowGoes() {
        const QString name = UniqueName();
        {
            const std::unique_ptr<MainWindow> window = OpenMainWindow(name);
            QVERIFY(window != nullptr);
        }
        SingleInstanceGuard next(name);
        QVERIFY(next.tryAcquire());
    }

private:
    static QString UniqueName() {
        return QStringLiteral("quillane-test-") + QUuid::createUuid().toString(QUuid::Id128);
    }
};

QTEST_MAIN(SettingsTest)
#include "settings_test.moc"
