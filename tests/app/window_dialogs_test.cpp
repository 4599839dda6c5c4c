// The shape dialog and the About box opened from the main window, as a user opens them.
#include "app/plot_view.h"
#include "app/shape_dialog.h"
#include "window_test_support.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace quillane;
using namespace quillane::testing;

namespace {

void Type(QLineEdit* box, const char* value) {
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, QString::fromLatin1(value));
}

}  // namespace

class WindowDialogsTest : public WindowFixture {
    Q_OBJECT

    QAction* action(const char* name) { return window_->findChild<QAction*>(QString::fromLatin1(name)); }

private slots:

    void dataInputGeneratesIntoThePanesAndPlotsThem() {
        QVERIFY(action("mnuSquare"));
        const int before1 = plot1_->replotCount(), before2 = plot2_->replotCount();
        WhenModal([](QWidget* modal) {
            QCOMPARE(modal->objectName(), QStringLiteral("DataInput1"));
            // Keys go to the focused box only once the dialog is the active window.
            QVERIFY(QTest::qWaitForWindowActive(modal));
            const std::pair<int, const char*> values[] = {{2, "12.7"}, {3, "3"},    {1, "0.4"}, {12, "29"}, {13, "0"},
                                                          {14, "5"},   {15, "-80"}, {16, "0"},  {17, "28"}, {4, "36"},
                                                          {5, "30"},   {18, "30"},  {6, "60"},  {7, "60"},  {8, "0.5"},
                                                          {9, "1"},    {10, "1"},   {11, "0.5"}};
            for (const auto& [n, v] : values) Type(modal->findChild<QLineEdit*>(QStringLiteral("Text%1").arg(n)), v);
            auto* firstFeed = modal->findChild<QLineEdit*>(QStringLiteral("FEED(0)"));
            Type(firstFeed, "0.5");
            QTest::keyClick(firstFeed, Qt::Key_Return);  // copies R1-F to every feed
            modal->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        });
        action("mnuSquare")->trigger();

        QFile golden(QStringLiteral(QUILLANE_SOURCE_DIR "/tests/cli/golden/expected/worked-example.trv.nc"));
        QVERIFY(golden.open(QIODevice::ReadOnly));
        QCOMPARE(QByteArray::fromStdString(window_->pointDataText() + window_->standardProgramText()),
                 golden.readAll());
        QCOMPARE(window_->generatorState().PassCounter, 29.0f);
        QVERIFY(plot1_->replotCount() > before1);
        QVERIFY(plot2_->replotCount() > before2);
        QVERIFY(!plot2_->drawing().Items.empty());
        QVERIFY(Find<QLabel>(window_.get(), "Picture3")->isVisible());
    }

    void theDialogIsCreatedOnceAndKeepsItsOptions() {
        QPointer<QWidget> first;
        WhenModal([&](QWidget* modal) {
            first = modal;
            modal->findChild<QPushButton*>(QStringLiteral("Command2"))->click();
        });
        window_->runToolBarKey(QStringLiteral("Square"));
        QVERIFY(first);
        WhenModal([&](QWidget* modal) {
            QCOMPARE(modal, first.data());
            modal->findChild<QPushButton*>(QStringLiteral("Command2"))->click();
        });
        action("mnuSquare")->trigger();
    }

    void closeReplotsOnlyTheFilledPanes() {
        GiveShape(*window_);
        WhenModal([](QWidget* modal) { modal->findChild<QPushButton*>(QStringLiteral("Command2"))->click(); });
        int before1 = plot1_->replotCount(), before2 = plot2_->replotCount();
        action("mnuSquare")->trigger();  // both panes empty: nothing is plotted
        QCOMPARE(plot1_->replotCount(), before1);
        QCOMPARE(plot2_->replotCount(), before2);

        window_->loadFanucExample();  // the standard program only
        before1 = plot1_->replotCount();
        before2 = plot2_->replotCount();
        WhenModal([](QWidget* modal) { modal->findChild<QPushButton*>(QStringLiteral("Command2"))->click(); });
        action("mnuSquare")->trigger();
        QCOMPARE(plot1_->replotCount(), before1);
        QCOMPARE(plot2_->replotCount(), before2 + 1);
    }

    void aboutClosedWithEnterReplotsClosedWithTheFrameDoesNot() {
        GiveShape(*window_);
        window_->loadTrvMacroExample();  // both panes filled
        int before1 = plot1_->replotCount(), before2 = plot2_->replotCount();
        WhenModal([](QWidget* modal) {
            QCOMPARE(modal->objectName(), QStringLiteral("frmAbout"));
            QTest::keyClick(modal, Qt::Key_Return);
        });
        action("mnuHelpAbout")->trigger();
        QCOMPARE(plot1_->replotCount(), before1 + 1);
        QCOMPARE(plot2_->replotCount(), before2 + 1);

        before1 = plot1_->replotCount();
        before2 = plot2_->replotCount();
        WhenModal([](QWidget* modal) { modal->close(); });
        action("mnuHelpAbout")->trigger();
        QCOMPARE(plot1_->replotCount(), before1);
        QCOMPARE(plot2_->replotCount(), before2);
    }
};

QTEST_MAIN(WindowDialogsTest)
#include "window_dialogs_test.moc"
