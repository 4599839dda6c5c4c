// Program files opened into the panes, shape files in the window, and the recent-files lists.
#include "app/plot_view.h"
#include "app/program_pane.h"
#include "app/shape_dialog.h"
#include "app/status_panels.h"
#include "core/shape/example_programs.h"
#include "window_test_support.h"
#include "worked_example.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

using namespace quillane;
using namespace quillane::testing;

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray Bytes(const std::string& text) { return {text.data(), static_cast<qsizetype>(text.size())}; }

// Types a file name into a file dialog and accepts it.
std::function<void(QFileDialog*)> Choose(const QString& path) {
    return [path](QFileDialog* dialog) {
        dialog->setDirectory(QFileInfo(path).absolutePath());
        auto* nameBox = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(nameBox);
        nameBox->setText(QFileInfo(path).fileName());
        static_cast<QDialog*>(dialog)->accept();
    };
}

// The worked groove as typed into the dialog, with a text that is not a plain number.
ShapeBoxTexts WorkedBoxes() {
    ShapeBoxTexts boxes = ShapeToBoxes(testing_shapes::WorkedExample());
    boxes.Text[1] = "12.7mm";  // Pitch
    return boxes;
}

}  // namespace

class FilesTest : public WindowFixture {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> folder_;
    QString file(const QString& name) const { return folder_->filePath(name); }
    QAction* action(const char* name) const { return Find<QAction>(window_.get(), name); }

    // Data Input with the boxes and options filled in, then Program Output, as a user would.
    void programOutputFromTheDialog(const ShapeBoxTexts& boxes, bool fanuc, bool sequenceNumbers) {
        bool ran = false;
        QTimer::singleShot(0, window_.get(), [&] {
            auto* dialog = window_->findChild<ShapeDialog*>(QStringLiteral("DataInput1"));
            QVERIFY(dialog);
            for (std::size_t i = 0; i < boxes.Text.size(); ++i) {
                dialog->findChild<QLineEdit*>(QStringLiteral("Text%1").arg(i + 1))
                    ->setText(QString::fromStdString(boxes.Text[i]));
            }
            for (std::size_t k = 0; k < boxes.Feed.size(); ++k) {
                dialog->findChild<QLineEdit*>(QStringLiteral("FEED(%1)").arg(k))
                    ->setText(QString::fromStdString(boxes.Feed[k]));
            }
            dialog->findChild<QRadioButton*>(boxes.External ? "Option1" : "Option2")->setChecked(true);
            dialog->findChild<QRadioButton*>(fanuc ? "Fanuc" : "TRV")->setChecked(true);
            dialog->findChild<QCheckBox*>("CheckSN")->setChecked(sequenceNumbers);
            dialog->findChild<QPushButton*>("Command1")->click();
            ran = true;
        });
        window_->openShapeDialog();
        QVERIFY(ran);
    }
    // Data Input as the record refills it, then Program Output.
    void programOutputAsRefilled() {
        QTimer::singleShot(0, window_.get(), [this] {
            window_->findChild<ShapeDialog*>(QStringLiteral("DataInput1"))
                ->findChild<QPushButton*>("Command1")
                ->click();
        });
        window_->openShapeDialog();
    }

private slots:
    void init() {
        openWindow();
        if (QTest::currentTestFailed()) return;
        folder_ = std::make_unique<QTemporaryDir>();
    }
    void cleanup() { closeWindow(); }

    void examplesSavedToFilesOpenAsTheExampleMenuGivesThem() {
        const struct {
            const char* example;
            std::string points, program;
        } rows[] = {{"ExampleTrvMacro", TrvMacroMainProgram(), TrvMacroSubProgram()},
                    {"ExampleTrvStandard", "", TrvStandardExampleProgram()},
                    {"ExampleFanucStandard", "", FanucExampleProgram()}};
        for (const auto& row : rows) {
            action(row.example)->trigger();
            const std::string points = window_->pointDataText();
            const std::string program = window_->standardProgramText();
            // As Save writes a pane: its text and one CR LF.
            WriteFile(file("points.NC"), Bytes(points + "\r\n"));
            WriteFile(file("program.NC"), Bytes(program + "\r\n"));
            action("mnuFileNew")->trigger();
            if (!points.empty()) {
                a_->setFocus();
                QVERIFY(window_->openProgramFile(file("points.NC")));
            }
            b_->setFocus();
            QVERIFY(window_->openProgramFile(file("program.NC")));
            QCOMPARE(window_->pointDataText(), points);
            QCOMPARE(window_->standardProgramText(), program);
            QVERIFY(!window_->unsaved(0) && !window_->unsaved(1));
        }
    }

    void lineEndsAreTakenAsThePaneTakesThem() {
        const struct {
            QByteArray file;
            std::string pane;
        } rows[] = {
            {"G00 X28.\r\nM30\r\n", "G00 X28.\r\nM30"},
            {"G00 X28.\nM30\n", "G00 X28.\r\nM30"},
            {"G00 X28.\rM30\r", "G00 X28.\r\nM30"},
            {"G00 X28.\nM30", "G00 X28.\r\nM30"},
            {"A\r\n\nB\r\rC\n\r\n", "A\r\n\r\nB\r\n\r\nC\r\n"},
            {"", ""},
        };
        for (const auto& row : rows) {
            WriteFile(file("ends.NC"), row.file);
            QVERIFY(window_->openProgramFile(file("ends.NC")));
            QCOMPARE(window_->pointDataText(), row.pane);
            QCOMPARE(window_->encoding(0), TextEncoding::Utf8);
        }
    }

    void aLatin1FileRoundTripsByteForByte() {
        const QByteArray latin1(
            "(D\xC9"
            "BUT \xB0 50)\r\nG00 X28.\r\nM30\r\n");
        WriteFile(file("latin1.NC"), latin1);
        a_->setFocus();
        QVERIFY(window_->openProgramFile(file("latin1.NC")));
        QCOMPARE(window_->encoding(0), TextEncoding::Latin1);
        QCOMPARE(window_->pointDataText(), std::string("(D\u00C9BUT \u00B0 50)\r\nG00 X28.\r\nM30"));
        QVERIFY(status_->currentMessage().contains(QStringLiteral("Latin-1")));
        FileDialogAnswerer answerer(Choose(file("again.NC")));
        window_->save();
        QCOMPARE(ReadAll(file("again.NC")), latin1);

        // A character Latin-1 cannot hold is not lost: the file is written as UTF-8.
        QTest::keyClick(a_, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(a_, Qt::Key_Space);
        QKeyEvent omega(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("\u03A9"));
        QApplication::sendEvent(a_, &omega);
        FileDialogAnswerer second(Choose(file("utf8.NC")));
        window_->save();
        QCOMPARE(ReadAll(file("utf8.NC")),
                 QStringLiteral("(D\u00C9BUT \u00B0 50)\r\nG00 X28.\r\nM30 \u03A9\r\n").toUtf8());
        QCOMPARE(window_->encoding(0), TextEncoding::Utf8);
    }

    void theFocusedPaneTakesTheFileAndItsPlotRedrawsOnce() {
        WriteFile(file("p.NC"), "N001 X32. Z17.7\r\nN002 X31. Z17.5\r\n");
        GiveShape(*window_);
        // Neither pane has the focus: the point data takes it.
        QTest::mouseClick(plot2_, Qt::LeftButton);
        const int before1 = plot1_->replotCount();
        const int before2 = plot2_->replotCount();
        QVERIFY(window_->openProgramFile(file("p.NC")));
        QCOMPARE(window_->pointDataText(), std::string("N001 X32. Z17.7\r\nN002 X31. Z17.5"));
        QCOMPARE(plot1_->replotCount(), before1 + 1);
        QCOMPARE(plot2_->replotCount(), before2);
        b_->setFocus();
        QVERIFY(window_->openProgramFile(file("p.NC")));
        QCOMPARE(window_->standardProgramText(), window_->pointDataText());
        QCOMPARE(plot2_->replotCount(), before2 + 1);
    }

    void openFromTheMenuOffersSavesFiltersAndRemembersTheFolder() {
        WriteFile(file("menu.MIN"), "G00 X28.\r\n");
        a_->setFocus();
        FileDialogAnswerer answerer(Choose(file("menu.MIN")));
        action("mnuFileOpen")->trigger();
        QVERIFY(answerer.seen());
        QCOMPARE(answerer.directory(), QDir::homePath());
        QCOMPARE(answerer.nameFilters(), QStringList({"Main Files(*.MIN)", "NC Files(*.NC)", "All Files(*.*)"}));
        QCOMPARE(window_->pointDataText(), std::string("G00 X28."));
        QCOMPARE(window_->rememberedFolder(), QDir::toNativeSeparators(folder_->path()));
        QCOMPARE(action("mnuFileOpen")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    }

    void aDroppedFileOpensInThePaneItFallsOn() {
        WriteFile(file("dropped.NC"), "G00 X28.\r\n");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file("dropped.NC"))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(b_->viewport(), &enter);  // a drop comes after its drag entered
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(b_->viewport(), &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(window_->standardProgramText(), std::string("G00 X28."));
        QCOMPARE(window_->pointDataText(), std::string());
    }

    void aFileThatCannotBeOpenedIsNamedWithTheReason() {
        const QString rows[] = {file("missing.NC"), folder_->path()};
        for (const QString& path : rows) {
            window_->showProgramTexts("KEPT\r\n", "");
            MessageBoxAnswerer message;
            QVERIFY(!window_->openProgramFile(path));
            QVERIFY(message.seen().Seen);
            QVERIFY2(message.seen().Text.contains(QDir::toNativeSeparators(path)), qPrintable(message.seen().Text));
            QVERIFY2(message.seen().Text.contains(QLatin1Char('\n')), qPrintable(message.seen().Text));
            QCOMPARE(window_->pointDataText(), std::string("KEPT\r\n"));
        }
    }

    void aFileOver64MegabytesAsksFirst() {
        QFile big(file("big.NC"));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(64LL * 1024 * 1024 + 1));
        big.close();
        MessageBoxAnswerer question(QMessageBox::Cancel);
        QVERIFY(!window_->openProgramFile(file("big.NC")));
        QVERIFY(question.seen().Seen);
        QVERIFY(question.seen().Text.contains(QStringLiteral("big.NC")));
        QVERIFY(window_->pointDataText().empty());
    }

    // The dialog's Program Output, Save Shape As, New, Open Shape, Program Output again: the
    // same record and texts; quillane-cli generate runs the file to the same texts too.
    void aSavedShapeOpensAsTheSameRecordAndGivesTheSameTexts() {
        for (const bool fanuc : {false, true}) {
            action("mnuFileNew")->trigger();
            programOutputFromTheDialog(WorkedBoxes(), fanuc, !fanuc);
            const ShapeData record = window_->generatorState().Shape;
            const std::string points = window_->pointDataText();
            const std::string program = window_->standardProgramText();
            QVERIFY(!program.empty());
            QCOMPARE(QString::fromStdString(program).contains(QStringLiteral("G32")), fanuc);

            QVERIFY(window_->saveShapeFile(file("groove.toml")));
            action("mnuFileNew")->trigger();
            window_->generatorState().Shape = ShapeData{};
            QVERIFY(window_->openShapeFile(file("groove.toml")));
            const ShapeData opened = window_->generatorState().Shape;
            QCOMPARE(ShapeToBoxes(opened).Text, ShapeToBoxes(record).Text);
            QCOMPARE(ShapeToBoxes(opened).Feed, ShapeToBoxes(record).Feed);
            for (const ShapeField& f : ShapeFields) QCOMPARE(opened.*f.Member, record.*f.Member);
            QCOMPARE(opened.Side, record.Side);
            QVERIFY(window_->pointDataText().empty());  // nothing generated until Program Output

            programOutputAsRefilled();
            QCOMPARE(window_->pointDataText(), points);
            QCOMPARE(window_->standardProgramText(), program);

            QProcess cli;
            cli.start(QStringLiteral(QUILLANE_CLI), {QStringLiteral("generate"), file("groove.toml")});
            QVERIFY(cli.waitForFinished(30000));
            QCOMPARE(cli.exitCode(), 0);
            QCOMPARE(cli.readAllStandardOutput(), Bytes(points + program));
        }
    }

    void aShapeThatCannotBeUsedIsRefusedWithItsNameAndReason() {
        const struct {
            QByteArray text;
            const char* reason;
        } rows[] = {{"[roughing]\nPitch = 12.7\n", "holds one run"},
                    {"Pitch = 12.7\nWidth = 3\nPitch = 12.7\n", "holds one run"},
                    {"Pich = 3\n", "unknown key"},
                    {"Pitch = \"1E999\"\n", "too large"},
                    {"Pitch = = 3\n", ":1:"}};
        for (const auto& row : rows) {
            WriteFile(file("bad.toml"), row.text);
            MessageBoxAnswerer message;
            QVERIFY(!window_->openShapeFile(file("bad.toml")));
            QVERIFY(message.seen().Seen);
            QVERIFY2(message.seen().Text.contains(QDir::toNativeSeparators(file("bad.toml"))),
                     qPrintable(message.seen().Text));
            QVERIFY2(message.seen().Text.contains(QLatin1String(row.reason)), qPrintable(message.seen().Text));
            QVERIFY(!window_->generatorState().Shape.DimensionsSet);  // no silent default
        }
    }

    void theRecentListsSurviveARestart() {
        for (int n = 1; n <= 6; ++n) {
            WriteFile(file(QStringLiteral("p%1.NC").arg(n)), "M30\r\n");
            QVERIFY(window_->openProgramFile(file(QStringLiteral("p%1.NC").arg(n))));
        }
        QVERIFY(window_->openProgramFile(file("p3.NC")));  // moved to the top, listed once
        WriteFile(file("s.toml"), "Pitch = 12.7\n");
        QVERIFY(window_->openShapeFile(file("s.toml")));
        const QStringList programs = {file("p3.NC"), file("p6.NC"), file("p5.NC"), file("p4.NC"), file("p2.NC")};
        QCOMPARE(window_->recentPrograms().paths(), programs);
        window_->close();
        QVERIFY(!window_->isVisible());
        window_ = OpenWindow();
        QVERIFY(window_);
        QCOMPARE(window_->recentPrograms().paths(), programs);
        QCOMPARE(window_->recentShapes().paths(), QStringList({file("s.toml")}));
        QCOMPARE(StoredSetting("RecentProgram1"), file("p3.NC"));
        QCOMPARE(StoredSetting("OpenPathName"), QDir::toNativeSeparators(folder_->path()));  // unchanged key
        auto* menu = Find<QMenu>(window_.get(), "mnuFileRecentPrograms");
        QVERIFY(menu);
        QCOMPARE(menu->actions().size(), 5);
        QCOMPARE(menu->actions().at(0)->text(), QStringLiteral("&1 ") + QDir::toNativeSeparators(file("p3.NC")));
        // A recent entry opens its file.
        menu->actions().at(1)->trigger();
        QCOMPARE(window_->pointDataText(), std::string("M30"));
        QCOMPARE(window_->recentPrograms().paths().at(0), file("p6.NC"));
    }

    void aSettingsFileThatCannotBeReadIsNamedWithTheReason() {
        closeWindow();
        const QString ini = QSettings(QSettings::IniFormat, QSettings::UserScope, "Quillane", "Quillane").fileName();
        QFile::remove(ini);
        QVERIFY(QDir().mkpath(ini));  // a folder where the file should be
        MessageBoxAnswerer message;
        window_ = OpenWindow();
        const bool opened = window_ != nullptr;
        QTRY_VERIFY(message.seen().Seen);
        if (opened) window_->close();
        const bool stillAFolder = QFileInfo(ini).isDir();  // nothing was written over it
        QDir(ini).removeRecursively();
        QVERIFY(opened);
        QVERIFY(stillAFolder);
        const QString said = message.seen().Text;
        QVERIFY2(said.contains(QDir::toNativeSeparators(ini)) && said.contains(QStringLiteral("not a file")),
                 qPrintable(said));
    }
};

QTEST_MAIN(FilesTest)
#include "files_test.moc"
