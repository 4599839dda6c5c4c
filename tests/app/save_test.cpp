// Saving the current pane as a program file.
#include "app/program_pane.h"
#include "qt/file_saving.h"
#include "window_test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace quillane;
using namespace quillane::testing;

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Goes to the file's folder in the dialog and types its name into the name box.
void ChooseFile(QFileDialog* dialog, const QString& path) {
    dialog->setDirectory(QFileInfo(path).absolutePath());
    auto* nameBox = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(nameBox);
    nameBox->setText(QFileInfo(path).fileName());
}

// Types a file name into the Save dialog and presses Save.
std::function<void(QFileDialog*)> SaveAs(const QString& path) {
    return [path](QFileDialog* dialog) {
        ChooseFile(dialog, path);
        static_cast<QDialog*>(dialog)->accept();
    };
}

}  // namespace

class SaveTest : public WindowFixture {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> folder_;  // a fresh one per test
    QTemporaryDir& dir() { return *folder_; }

private slots:
    void init() {
        openWindow();
        if (QTest::currentTestFailed()) return;
        folder_ = std::make_unique<QTemporaryDir>();
    }
    void cleanup() { closeWindow(); }

    void refusedWhileAPlotHasTheFocus() {
        window_->showProgramTexts("N001\r\n", "M30\r\n");
        QTest::mouseClick(Find<QWidget>(window_.get(), "Picture1"), Qt::LeftButton);
        MessageBoxAnswerer answerer;
        window_->save();
        QCOMPARE(answerer.seen().Text, QStringLiteral("Please select Text box. "));
        QCOMPARE(answerer.seen().Title, QStringLiteral("Save error"));
        QCOMPARE(answerer.seen().Icon, QMessageBox::Warning);
        QCOMPARE(answerer.seen().Buttons, 1);
    }

    void refusedForAnEmptyPane() {
        window_->showProgramTexts("", "M30\r\n");
        a_->setFocus();
        MessageBoxAnswerer answerer;
        Find<QAction>(window_.get(), "mnuFileSave")->trigger();
        QCOMPARE(answerer.seen().Text, QStringLiteral("No data !! "));
        QCOMPARE(answerer.seen().Title, QStringLiteral("Save error"));
    }

    void threeLettersSaveAsFiveBytes() {
        a_->setFocus();
        QTest::keyClicks(a_, "abc");
        const QString path = dir().filePath("abc.MIN");
        FileDialogAnswerer answerer(SaveAs(path));
        window_->save();
        QVERIFY(answerer.seen());
        QCOMPARE(ReadAll(path), QByteArray("abc\r\n"));
        // First start: the dialog opens in the home folder for the stored root "\".
        QCOMPARE(answerer.directory(), QDir::homePath());
        QCOMPARE(answerer.nameFilters(), QStringList({"Main Files(*.MIN)", "NC Files(*.NC)", "All Files(*.*)"}));
    }

    void theFocusedPaneIsSavedWithCrLfLines() {
        window_->showProgramTexts("N001 X32 Z17.7\r\n", "G00 X28.\r\nM30\r\n\r\n");
        b_->setFocus();
        const QString path = dir().filePath("prog.NC");
        FileDialogAnswerer answerer(SaveAs(path));
        window_->save();
        QCOMPARE(ReadAll(path), QByteArray("G00 X28.\r\nM30\r\n\r\n\r\n"));
    }

    void anExistingFileIsReplaced() {
        const QString path = dir().filePath("old.MIN");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("a much longer text that was there before\r\n");
        old.close();
        window_->showProgramTexts("N001\r\n", "");
        a_->setFocus();
        // The dialog asks before replacing; say yes.
        FileDialogAnswerer answerer([path](QFileDialog* dialog) {
            dialog->setOption(QFileDialog::DontConfirmOverwrite);
            ChooseFile(dialog, path);
            static_cast<QDialog*>(dialog)->accept();
        });
        window_->save();
        QCOMPARE(ReadAll(path), QByteArray("N001\r\n\r\n"));
    }

    void cancellingKeepsTheFolder() {
        window_->showProgramTexts("N001\r\n", "");
        a_->setFocus();
        FileDialogAnswerer answerer([](QFileDialog* dialog) { dialog->reject(); });
        window_->save();
        QVERIFY(answerer.seen());
        QCOMPARE(window_->rememberedFolder(), QStringLiteral("\\"));
        QVERIFY(QDir(dir().path()).entryList(QDir::Files).isEmpty());
    }

    void theNextDialogStartsWhereTheLastFileWentAlsoAfterARestart() {
        QDir(dir().path()).mkdir("programs");
        const QString folder = dir().filePath("programs");
        window_->showProgramTexts("N001\r\n", "");
        a_->setFocus();
        {
            FileDialogAnswerer answerer(SaveAs(folder + "/first.MIN"));
            window_->save();
        }
        QCOMPARE(window_->rememberedFolder(), QDir::toNativeSeparators(folder));
        window_->close();
        window_ = OpenWindow();
        QVERIFY(window_);
        Find<ProgramPane>(window_.get(), "txtDataA")->setFocus();
        window_->showProgramTexts("N002\r\n", "");
        FileDialogAnswerer answerer([](QFileDialog* dialog) { dialog->reject(); });
        window_->save();
        QCOMPARE(answerer.directory(), folder);
    }

    void aFailedSaveIsReportedWithNameAndReason() {
        // A "folder" that is really a file: nothing can be created inside it.
        const QString blocker = dir().filePath("blocker");
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const QString path = blocker + "/prog.MIN";
        const SaveResult direct = SaveFileAtomically(path, "N001\r\n");
        QVERIFY(!direct.Ok);
        QVERIFY(!direct.Error.isEmpty());

        window_->showProgramTexts("N001\r\n", "");
        a_->setFocus();
        FileDialogAnswerer answerer([path](QFileDialog* dialog) {
            ChooseFile(dialog, path);
            static_cast<QDialog*>(dialog)->accept();
        });
        MessageBoxAnswerer message;
        window_->save();
        QTRY_VERIFY(message.seen().Seen);
        QCOMPARE(message.seen().Title, QStringLiteral("Save error"));
        QVERIFY2(message.seen().Text.contains(QDir::toNativeSeparators(path)), qPrintable(message.seen().Text));
        QVERIFY(message.seen().Text.contains(direct.Error));
    }

    void aFailedSaveLeavesNothingHalfWritten() {
        // A name too long for the file system fails; neither the file that was there nor a
        // stray temporary file may be affected.
        const QString path = dir().filePath("keep.MIN");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old\r\n");
        old.close();
        QVERIFY(SaveFileAtomically(path, "new\r\n").Ok);
        QCOMPARE(ReadAll(path), QByteArray("new\r\n"));
        const QString tooLong = dir().filePath(QString(300, QLatin1Char('x')));
        QVERIFY(!SaveFileAtomically(tooLong, "x").Ok);
        QCOMPARE(ReadAll(path), QByteArray("new\r\n"));
        QCOMPARE(QDir(dir().path()).entryList(QDir::Files), QStringList({"keep.MIN"}));
    }
};

QTEST_MAIN(SaveTest)
#include "save_test.moc"
