// Never losing work: the unsaved marks, the question at Exit, Undo Program Output and Undo New,
// and where Save put a file.
#include "app/plot_view.h"
#include "app/program_pane.h"
#include "app/status_panels.h"
#include "window_test_support.h"
#include "worked_example.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace quillane;
using namespace quillane::testing;

namespace {

// Everything Undo Program Output and Undo New bring back.
struct Seen {
    std::string Points, Program;
    float Counter;
    ShapeBoxTexts Record;
    bool PointsUnsaved, ProgramUnsaved;
    bool operator==(const Seen& o) const {
        return Points == o.Points && Program == o.Program && Counter == o.Counter && Record.Text == o.Record.Text &&
               Record.Feed == o.Record.Feed && Record.External == o.Record.External &&
               PointsUnsaved == o.PointsUnsaved && ProgramUnsaved == o.ProgramUnsaved;
    }
};

Seen Look(MainWindow& w) {
    return {w.pointDataText(),
            w.standardProgramText(),
            w.generatorState().PassCounter,
            ShapeToBoxes(w.generatorState().Shape),
            w.unsaved(0),
            w.unsaved(1)};
}

char* toString(const Seen& s) {  // QCOMPARE's printer, found by its name
    return QTest::toString(QStringLiteral("counter %1, %2 + %3 characters, pitch \"%4\", unsaved %5/%6")
                               .arg(static_cast<double>(s.Counter))
                               .arg(s.Points.size())
                               .arg(s.Program.size())
                               .arg(QString::fromStdString(s.Record.Text[1]))
                               .arg(s.PointsUnsaved)
                               .arg(s.ProgramUnsaved));
}

ShapeBoxTexts Boxes(double startZ) {
    ShapeData shape = testing_shapes::WorkedExample();
    shape.StartPointZ = startZ;
    return ShapeToBoxes(shape);
}

}  // namespace

class WorkSafetyTest : public WindowFixture {
    Q_OBJECT

    QAction* action(const char* name) const { return Find<QAction>(window_.get(), name); }

private slots:
    void undoProgramOutputAfterOneAndAfterTwo() {
        a_->setFocus();
        QTest::keyClicks(a_, "(typed)");
        const Seen start = Look(*window_);
        QVERIFY(!action("mnuEditUndoOutput")->isEnabled());
        window_->runProgramOutput(Boxes(5), OutputOptions{});
        const Seen afterOne = Look(*window_);
        QVERIFY(afterOne.Counter > 1);
        QVERIFY(action("mnuEditUndoOutput")->isEnabled());
        QVERIFY(!action("mnuEditUndoNew")->isEnabled());
        window_->runProgramOutput(Boxes(4), OutputOptions{});
        QVERIFY(Look(*window_).Counter > afterOne.Counter);
        action("mnuEditUndoOutput")->trigger();
        QCOMPARE(Look(*window_), afterOne);
        // Only the last one.
        QVERIFY(!action("mnuEditUndoOutput")->isEnabled());
        action("mnuEditUndoOutput")->trigger();
        QCOMPARE(Look(*window_), afterOne);

        // Ctrl+Z with the focus on neither pane (a plot) is the same command.
        window_->runProgramOutput(Boxes(4), OutputOptions{});
        plot1_->setFocus();
        QTest::keyClick(plot1_, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Look(*window_), afterOne);

        // And after a single one, back to the typed text, the first counter and no record.
        action("mnuFileNew")->trigger();
        a_->setFocus();
        QTest::keyClicks(a_, "(typed)");
        window_->generatorState().Shape = ShapeData{};
        window_->runProgramOutput(Boxes(5), OutputOptions{});
        plot2_->setFocus();
        QTest::keyClick(plot2_, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Look(*window_), start);
        QVERIFY(!window_->generatorState().Shape.DimensionsSet);
    }

    void anEditAfterProgramOutputGreysItsUndo() {
        window_->runProgramOutput(Boxes(5), OutputOptions{});
        QVERIFY(action("mnuEditUndoOutput")->isEnabled());
        b_->setFocus();
        QTest::keyClick(b_, Qt::Key_X);
        QVERIFY(!action("mnuEditUndoOutput")->isEnabled());
        // In a pane Ctrl+Z is the pane's own undo: the key typed goes, the run stays.
        const std::string program = window_->standardProgramText();
        QTest::keyClick(b_, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(window_->standardProgramText().size() + 1 == program.size());
        QVERIFY(window_->generatorState().PassCounter > 1);
    }

    void undoNewBringsBackBothPanesAndTheCounter() {
        window_->runProgramOutput(Boxes(5), OutputOptions{});
        b_->setFocus();
        QTest::keyClicks(b_, "(note)");
        const Seen before = Look(*window_);
        QVERIFY(before.PointsUnsaved && before.ProgramUnsaved);
        MessageBoxAnswerer none;  // New still asks nothing
        action("mnuFileNew")->trigger();
        QVERIFY(!none.seen().Seen);
        QVERIFY(window_->pointDataText().empty() && window_->standardProgramText().empty());
        QCOMPARE(window_->generatorState().PassCounter, 1.0F);
        QVERIFY(!window_->unsaved(0) && !window_->unsaved(1));
        QVERIFY(action("mnuEditUndoNew")->isEnabled());
        QVERIFY(!action("mnuEditUndoOutput")->isEnabled());
        action("mnuEditUndoNew")->trigger();
        QCOMPARE(Look(*window_), before);
        QVERIFY(!action("mnuEditUndoNew")->isEnabled());
        QVERIFY(plot1_->links().Passes().size() > 0);  // replotted
    }

    void unsavedTextIsMarkedInTheTitleAndTheCaption() {
        const QString title = QStringLiteral("Quillane  Ver. 1.10");
        QCOMPARE(window_->windowTitle(), title);
        b_->setFocus();
        QCOMPARE(status_->currentName(), QStringLiteral("Standard program"));
        QTest::keyClicks(b_, "M30");
        QCOMPARE(window_->windowTitle(), title + " *");
        QCOMPARE(status_->currentName(), QStringLiteral("Standard program *"));
        a_->setFocus();
        QCOMPARE(status_->currentName(), QStringLiteral("Point data for Macro program"));
        // Deleted again: nothing left to lose.
        b_->setFocus();
        action("mnuEditCopyAll")->trigger();  // selects the whole text
        QTest::keyClick(b_, Qt::Key_Delete);
        QCOMPARE(window_->windowTitle(), title);
        QCOMPARE(status_->currentName(), QStringLiteral("Standard program"));
        // Generated text is unsaved too.
        window_->runProgramOutput(Boxes(5), OutputOptions{});
        QCOMPARE(window_->windowTitle(), title + " *");
        QVERIFY(window_->unsaved(0) && window_->unsaved(1));
    }

    void exitWithAnUnsavedPaneAsksAndCancelKeepsTheWindow() {
        b_->setFocus();
        QTest::keyClicks(b_, "M30");
        {
            MessageBoxAnswerer cancel(QMessageBox::Cancel);
            Find<QAction>(window_.get(), "mnuFileExit")->trigger();
            QVERIFY(cancel.seen().Seen);
            QVERIFY2(cancel.seen().Text.contains(QStringLiteral("\"Standard program\"")),
                     qPrintable(cancel.seen().Text));
            QCOMPARE(cancel.seen().Buttons, 3);
            QVERIFY(window_->isVisible());
            QVERIFY(StoredSetting("MainWidth").isNull());  // nothing written: the window stays
        }
        {
            // Save, then a cancelled Save dialog: the window stays too.
            MessageBoxAnswerer save(QMessageBox::Save);
            FileDialogAnswerer dialog([](QFileDialog* d) { d->reject(); });
            window_->close();
            QVERIFY(save.seen().Seen);
            QVERIFY(dialog.seen());
            QVERIFY(window_->isVisible());
        }
        {
            // Save into a file: saved, then closed.
            QTemporaryDir dir;
            const QString path = dir.filePath("kept.NC");
            MessageBoxAnswerer save(QMessageBox::Save);
            FileDialogAnswerer dialog([path](QFileDialog* d) {
                d->setDirectory(QFileInfo(path).absolutePath());
                d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QFileInfo(path).fileName());
                static_cast<QDialog*>(d)->accept();
            });
            window_->close();
            QVERIFY(!window_->isVisible());
            QFile kept(path);
            QVERIFY(kept.open(QIODevice::ReadOnly));
            QCOMPARE(kept.readAll(), QByteArray("M30\r\n"));
        }
    }

    void discardClosesWithoutSaving() {
        a_->setFocus();
        QTest::keyClicks(a_, "N001");
        MessageBoxAnswerer discard(QMessageBox::Discard);
        window_->close();
        QVERIFY(discard.seen().Seen);
        QVERIFY(discard.seen().Text.contains(QStringLiteral("\"Point data for Macro program\"")));
        QVERIFY(!window_->isVisible());
        QCOMPARE(StoredSetting("MainWidth"), QStringLiteral("12000"));
    }

    void saveSaysWhereTheFileWent() {
        QTemporaryDir dir;
        a_->setFocus();
        QTest::keyClicks(a_, "N001");
        for (const char* name : {"noext", "with.NC"}) {
            const QString path = dir.filePath(QLatin1String(name));
            FileDialogAnswerer dialog([path](QFileDialog* d) {
                d->selectNameFilter(QStringLiteral("NC Files(*.NC)"));
                d->setDirectory(QFileInfo(path).absolutePath());
                d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QFileInfo(path).fileName());
                static_cast<QDialog*>(d)->accept();
            });
            window_->save();
            QVERIFY(QFileInfo::exists(path));  // the filter's extension is not added
            const QString said = status_->currentMessage();
            QVERIFY2(said.contains(QDir::toNativeSeparators(path)), qPrintable(said));
            QCOMPARE(said.contains(QStringLiteral("no extension")), QFileInfo(path).suffix().isEmpty());
            QVERIFY(!window_->unsaved(0));
        }
    }
};

QTEST_MAIN(WorkSafetyTest)
#include "work_safety_test.moc"
