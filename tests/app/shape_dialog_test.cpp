// The shape dialog driven as a user would: typing, Enter, Tab, clicking, opening and closing.
#include "app/shape_dialog.h"
#include "app/main_window.h"
#include "app/program_pane.h"
#include "app/shape_sketch.h"
#include "window_test_support.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

using namespace quillane;

namespace {

// What a modal message box showed before the test closed it.
struct SeenBox {
    bool watching = true;  // set false to stop watching
    bool seen = false;
    QString title, text, detail;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Answers the next modal message box with OK, recording it.
std::shared_ptr<SeenBox> AnswerNextMessageBox() {
    auto seen = std::make_shared<SeenBox>();
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [seen, timer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!seen->watching) {
            timer->stop();
            timer->deleteLater();
            return;
        }
        if (!box) return;
        seen->seen = true;
        seen->title = box->windowTitle();
        seen->text = box->text();
        seen->detail = box->detailedText();
        seen->icon = box->icon();
        box->button(QMessageBox::Ok)->click();
        timer->stop();
        timer->deleteLater();
    });
    timer->start(10);
    return seen;
}

// A sketch painted on white at a tenth of a pixel per twip.
QImage Sketch(SketchSide side) {
    QImage image(681, 204, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(0.1, 0.1);
    PaintShapeSketch(painter, side);
    return image;
}

// The first row (in twips) in a column (twips) between two rows whose pixel passes `is`, or -1.
template <typename Is>
int FirstRow(const QImage& image, int x, int fromY, int toY, Is is) {
    for (int y = fromY / 10; y <= toY / 10; ++y) {
        if (is(image.pixelColor(x / 10, y))) return y * 10;
    }
    return -1;
}
bool Dark(const QColor& c) { return qGray(c.rgb()) < 128 && c.blue() < 150; }
bool Blue(const QColor& c) { return c.blue() > 150 && c.red() < 150; }

QByteArray GoldenWorkedExample() {
    QFile file(QStringLiteral(QUILLANE_SOURCE_DIR "/tests/cli/golden/expected/worked-example.trv.nc"));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

}  // namespace

class ShapeDialogTest : public testing::WindowFixture {
    Q_OBJECT

    // The dialog is the window's own; the test counts what the dialog asks of the window.
    ShapeDialog* dialog_ = nullptr;
    int showCalls_ = 0;              // Program Output requests
    int replotCalls_ = 0;            // closings, after which the window replots its panes
    std::vector<double> pitchSeen_;  // the record's lead at each change of a pane's text

    QLineEdit* box(const QString& name) const { return dialog_->findChild<QLineEdit*>(name); }
    QLineEdit* text(int n) const { return box(QStringLiteral("Text%1").arg(n)); }
    QLineEdit* feed(int k) const { return box(QStringLiteral("FEED(%1)").arg(k)); }
    template <typename T>
    T* control(const char* name) const {
        return dialog_->findChild<T*>(QString::fromLatin1(name));
    }

    // Opens the dialog modally and runs `inside` while it is shown.
    void whileOpen(const std::function<void()>& inside) {
        bool ran = false;
        QTimer::singleShot(0, window_.get(), [&] {
            if (!dialog_) {
                dialog_ = window_->findChild<ShapeDialog*>(QStringLiteral("DataInput1"));
                QVERIFY(dialog_);
                connect(dialog_, &ShapeDialog::programOutputRequested, this, [this] { ++showCalls_; });
                connect(dialog_, &ShapeDialog::closed, this, [this] { ++replotCalls_; });
            }
            QVERIFY(QTest::qWaitForWindowExposed(dialog_));
            inside();
            ran = true;
            if (dialog_->isVisible()) control<QPushButton>("Command2")->click();
        });
        window_->openShapeDialog();
        QVERIFY(ran);
    }

    // Types a value into a box, replacing what it held.
    static void type(QLineEdit* box, const QString& value) {
        box->setFocus();
        box->selectAll();
        if (value.isEmpty()) QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, value);
    }

    // Presses "Program Output" expecting success; an unexpected error box is answered and fails.
    void pressProgramOutput() {
        auto seen = AnswerNextMessageBox();
        control<QPushButton>("Command1")->click();
        seen->watching = false;
        QVERIFY2(!seen->seen, qPrintable(seen->detail));
    }

    QTextEdit* findingsList() const { return control<QTextEdit>("ShapeFindings"); }
    // The level of the finding that marks a box: "warning", "note" or empty.
    static QString mark(QWidget* box) { return box->property("finding").toString(); }
    // The dialog's pixels just left of a box, where a frame around it shows.
    QImage around(QWidget* box) const {
        const QRect g = box->geometry();
        return dialog_->grab(QRect(g.left() - 4, g.top(), 4, g.height())).toImage();
    }

    void typeWorkedExample() {
        const std::pair<int, const char*> values[] = {
            {2, "12.7"}, {3, "3"},  {1, "0.4"}, {12, "29"}, {13, "0"}, {14, "5"},  {15, "-80"}, {16, "0"}, {17, "28"},
            {4, "36"},   {5, "30"}, {18, "30"}, {6, "60"},  {7, "60"}, {8, "0.5"}, {9, "1"},    {10, "1"}, {11, "0.5"}};
        for (const auto& [n, v] : values) type(text(n), QString::fromLatin1(v));
        for (int k = 0; k < 8; ++k) type(feed(k), QStringLiteral("0.5"));
    }

private slots:
    void init() {
        openWindow();
        if (QTest::currentTestFailed()) return;
        dialog_ = nullptr;
        showCalls_ = replotCalls_ = 0;
        pitchSeen_.clear();
        for (ProgramPane* pane : {a_, b_}) {
            connect(pane, &ProgramPane::edited, this,
                    [this] { pitchSeen_.push_back(window_->generatorState().Shape.Pitch); });
        }
    }
    void cleanup() { closeWindow(); }

    void anEmptyDialogShowsNoFinding() {
        whileOpen([&] {
            QVERIFY(findingsList()->toPlainText().isEmpty());
            QVERIFY(dialog_->findings().empty());
            for (int n = 1; n <= 18; ++n) QVERIFY(mark(text(n)).isEmpty());
            QCOMPARE(text(13)->toolTip(), QStringLiteral("Diameter"));
        });
    }

    void theWorkedExampleShowsNoWarning() {
        whileOpen([&] {
            typeWorkedExample();
            QVERIFY2(!findingsList()->toPlainText().contains(QStringLiteral("Warning")),
                     qPrintable(findingsList()->toPlainText()));
            for (int n = 1; n <= 18; ++n)
                QVERIFY2(mark(text(n)) != QStringLiteral("warning"), qPrintable(QString::number(n)));
        });
    }

    // Each case: a box of the worked example typed wrong and then right again; what the mark,
    // the box's tool tip and the list say in between.
    void findingsFollowTheTyping_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("wrong");
        QTest::addColumn<QString>("right");
        QTest::addColumn<QString>("level");
        QTest::addColumn<QString>("says");
        QTest::newRow("comma in the pitch") << "Text2"
                                            << "12,7"
                                            << "12.7"
                                            << "warning"
                                            << "12,7";
        QTest::newRow("retract through the wall") << "Text17"
                                                  << "40"
                                                  << "28"
                                                  << "warning"
                                                  << "Retract X 40";
        QTest::newRow("land feed leaves ridges") << "FEED(7)"
                                                 << "1"
                                                 << "0.5"
                                                 << "warning"
                                                 << "D2-F 1";
        QTest::newRow("negative finish stock") << "Text13"
                                               << "-1"
                                               << "0"
                                               << "warning"
                                               << "Finish Stock -1";
        QTest::newRow("end Z floored") << "Text15"
                                       << "-80.0005"
                                       << "-80"
                                       << "note"
                                       << "-80.001";
    }
    void findingsFollowTheTyping() {
        QFETCH(QString, box);
        QFETCH(QString, wrong);
        QFETCH(QString, right);
        QFETCH(QString, level);
        QFETCH(QString, says);
        whileOpen([&] {
            typeWorkedExample();
            QLineEdit* edit = this->box(box);
            const QString ownTip = edit->toolTip();
            const QImage unmarked = around(edit);

            type(edit, wrong);
            QCOMPARE(mark(edit), level);
            QVERIFY2(edit->toolTip().contains(says), qPrintable(edit->toolTip()));
            QVERIFY(edit->toolTip().contains(ownTip));
            const QString list = findingsList()->toPlainText();
            QVERIFY2(list.contains(says), qPrintable(list));
            QCOMPARE(list.startsWith(QStringLiteral("Warning:")), level == QStringLiteral("warning"));
            QVERIFY(around(edit) != unmarked);  // the frame is drawn

            type(edit, right);
            QVERIFY(mark(edit).isEmpty());
            QCOMPARE(edit->toolTip(), ownTip);
            QVERIFY2(!findingsList()->toPlainText().contains(says), qPrintable(findingsList()->toPlainText()));
            QVERIFY(around(edit) == unmarked);
        });
    }

    // Two warnings at once: the list holds both, warnings before notes, each box its own.
    void twoWarningsAreListedTogether() {
        whileOpen([&] {
            typeWorkedExample();
            type(text(15), QStringLiteral("-80.0005"));  // a note
            type(text(2), QStringLiteral("12,7"));
            type(text(17), QStringLiteral("40"));
            const QStringList lines = findingsList()->toPlainText().split(QLatin1Char('\n'));
            QVERIFY2(lines.size() >= 3, qPrintable(lines.join(QLatin1Char('\n'))));
            QVERIFY(lines.last().startsWith(QStringLiteral("Note:")));
            QCOMPARE(lines.filter(QStringLiteral("Warning:")).size(), 2);
            QCOMPARE(mark(text(2)), QStringLiteral("warning"));
            QCOMPARE(mark(text(17)), QStringLiteral("warning"));
            QVERIFY(!text(17)->toolTip().contains(QStringLiteral("12,7")));
        });
    }

    // The cutting position counts as the boxes do: the worked example is an internal groove.
    void switchingTheCuttingPositionChecksAgain() {
        whileOpen([&] {
            typeWorkedExample();
            control<QRadioButton>("Option1")->click();
            QVERIFY(findingsList()->toPlainText().contains(QStringLiteral("Warning:")));
            control<QRadioButton>("Option2")->click();
            QVERIFY(!findingsList()->toPlainText().contains(QStringLiteral("Warning:")));
        });
    }

    void programOutputRunsWithWarnings() {
        whileOpen([&] {
            typeWorkedExample();
            type(text(17), QStringLiteral("40"));
            QVERIFY(!dialog_->findings().empty());
            pressProgramOutput();
            QVERIFY(!dialog_->isVisible());
        });
        QVERIFY(window_->standardProgramText().find("G00 X40") != std::string::npos);
    }

    void theSketchFollowsTheCuttingPosition() {
        whileOpen([&] {
            const QRect sketch(0, 0, dialog_->width(), control<QWidget>("Frame1")->y());
            const QImage internal = dialog_->grab(sketch).toImage();
            control<QRadioButton>("Option1")->click();
            const QImage external = dialog_->grab(sketch).toImage();
            QVERIFY(external != internal);
            control<QRadioButton>("Option2")->click();
            QVERIFY(dialog_->grab(sketch).toImage() == internal);
        });
    }

    // The axis lies below the sketch, so a larger diameter is drawn higher. Internal: the floor
    // (D1) above the tops, the bore below them. External: the floor (D2) below the tops (D1),
    // the blank above them.
    void theSketchShowsWhichSideIsCut() {
        for (const SketchSide side : {SketchSide::Internal, SketchSide::External}) {
            const QImage image = Sketch(side);
            const int floor = FirstRow(image, 3240, 780, 1380, Dark);  // mid-floor, in the profile band
            const int top = FirstRow(image, 5100, 780, 1380, Dark);    // the R1-side top
            const int blank = FirstRow(image, 5100, 0, 2040, Blue);
            QVERIFY(floor > 0 && top > 0 && blank > 0);
            const bool external = side == SketchSide::External;
            QCOMPARE(floor > top, external);
            QCOMPARE(blank < top, external);
        }
    }

    void firstOpeningShowsTheDesignState() {
        whileOpen([&] {
            QCOMPARE(dialog_->windowTitle(), QStringLiteral("Shape 1 data input"));
            for (int n = 1; n <= 18; ++n) QVERIFY2(text(n)->text().isEmpty(), qPrintable(QString::number(n)));
            for (int k = 0; k < 8; ++k) QVERIFY(feed(k)->text().isEmpty());
            QVERIFY(control<QRadioButton>("Option2")->isChecked());
            QVERIFY(!control<QRadioButton>("Option1")->isChecked());
            QVERIFY(control<QRadioButton>("TRV")->isChecked());
            QVERIFY(!control<QRadioButton>("Fanuc")->isChecked());
            QVERIFY(control<QCheckBox>("CheckSN")->isChecked());
            QVERIFY(control<QCheckBox>("CheckModin")->isChecked());
            QCOMPARE(QApplication::focusWidget(), text(2));
        });
    }

    void programOutputOfTheWorkedExampleGivesTheGoldenTexts() {
        whileOpen([&] {
            typeWorkedExample();
            pressProgramOutput();
            QVERIFY(!dialog_->isVisible());
        });
        QCOMPARE(QByteArray::fromStdString(window_->pointDataText() + window_->standardProgramText()),
                 GoldenWorkedExample());
        QCOMPARE(window_->generatorState().PassCounter, 29.0f);
        QCOMPARE(pitchSeen_.size(), std::size_t{2});  // point data first, then the program
        QCOMPARE(replotCalls_, 0);
        // Copy All in each pane puts its text on the clipboard, its lines ended by '\n'.
        for (ProgramPane* pane : {a_, b_}) {
            pane->setFocus();
            testing::Find<QAction>(window_.get(), "mnuEditCopyAll")->trigger();
            const std::string text = pane == a_ ? window_->pointDataText() : window_->standardProgramText();
            QCOMPARE(QGuiApplication::clipboard()->text(),
                     QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        }
    }

    void reopeningShowsTheStoredRecord() {
        whileOpen([&] {
            typeWorkedExample();
            type(text(2), QStringLiteral("12.70"));
            type(text(8), QString());            // R 1 left empty
            type(text(1), QStringLiteral("0"));  // with no nose radius arc R1 is empty,
            type(feed(0), QString());            // so its feed may be left empty too
            type(feed(7), QStringLiteral("0.1"));
            pressProgramOutput();
        });
        whileOpen([&] {
            QCOMPARE(text(2)->text(), QStringLiteral("12.7"));
            QCOMPARE(text(8)->text(), QStringLiteral("0"));
            QCOMPARE(feed(7)->text(), QStringLiteral("0.1"));
            QCOMPARE(feed(0)->text(), QString());
        });
    }

    void flooredLeadShowsAsWrittenBack() {
        whileOpen([&] {
            typeWorkedExample();
            type(text(2), QStringLiteral("12.7005"));
            pressProgramOutput();
        });
        whileOpen([&] { QCOMPARE(text(2)->text(), QStringLiteral("12.7")); });
    }

    void dataErrorKeepsTheDialogAndSaysWhy() {
        window_->showProgramTexts("old\r\n", {});
        whileOpen([&] {
            typeWorkedExample();
            type(text(1), QStringLiteral("0.4mm"));
            type(text(3), QStringLiteral("3,5"));
            type(text(4), QStringLiteral("3 6"));
            type(text(12), QStringLiteral("2E1"));
            type(text(14), QStringLiteral("-"));
            type(text(6), QStringLiteral("abc"));  // A 1 reads as 0: the flank fails
            auto seen = AnswerNextMessageBox();
            control<QPushButton>("Command1")->click();
            QVERIFY(seen->seen);
            QCOMPARE(seen->text, QStringLiteral("Data error "));
            QCOMPARE(seen->title, QStringLiteral("Error"));
            QCOMPARE(seen->icon, QMessageBox::Warning);
            QVERIFY2(seen->detail.contains(QStringLiteral("A 1")), qPrintable(seen->detail));
            QVERIFY(dialog_->isVisible());
            QCOMPARE(text(6)->text(), QStringLiteral("abc"));  // the user's text stays
        });
        const ShapeData& s = window_->generatorState().Shape;
        QCOMPARE(s.NoseR, 0.4);
        QCOMPARE(s.Width, 3.0);
        QCOMPARE(s.D1, 36.0);
        QCOMPARE(s.BlankDiaX, 20.0);
        QCOMPARE(s.StartPointZ, 0.0);
        QCOMPARE(s.A1, 0.0);
        QCOMPARE(window_->pointDataText(), std::string("old\r\n"));
        QCOMPARE(window_->generatorState().PassCounter, 1.0f);
    }

    void optionsSurviveCloseButCuttingPositionFollowsTheRecord() {
        whileOpen([&] {
            type(text(2), QStringLiteral("99"));
            control<QRadioButton>("Option1")->click();
            control<QRadioButton>("Fanuc")->click();
            control<QCheckBox>("CheckSN")->click();
        });
        QCOMPARE(replotCalls_, 1);
        whileOpen([&] {
            QCOMPARE(text(2)->text(), QString());  // nothing generated yet: empty again
            QVERIFY(control<QRadioButton>("Fanuc")->isChecked());
            QVERIFY(!control<QCheckBox>("CheckSN")->isChecked());
            QVERIFY(control<QRadioButton>("Option2")->isChecked());  // Side is not +1
        });
        window_->generatorState().Shape.Side = 1;
        whileOpen([&] { QVERIFY(control<QRadioButton>("Option1")->isChecked()); });
    }

    void enterCopiesForwardAndMovesOn() {
        whileOpen([&] {
            type(text(18), QStringLiteral("38"));
            type(text(5), QStringLiteral("40"));
            QTest::keyClick(text(5), Qt::Key_Return);
            QCOMPARE(text(18)->text(), QStringLiteral("40"));
            QCOMPARE(QApplication::focusWidget(), text(18));
            QCOMPARE(text(18)->selectedText(), QStringLiteral("40"));

            type(feed(0), QStringLiteral("0.2"));
            QTest::keyClick(feed(0), Qt::Key_Return);
            for (int k = 1; k < 8; ++k) QCOMPARE(feed(k)->text(), QStringLiteral("0.2"));
            QCOMPARE(QApplication::focusWidget(), feed(1));

            type(feed(1), QStringLiteral("0.3"));
            QTest::keyClick(feed(1), Qt::Key_Return);
            QCOMPARE(feed(5)->text(), QStringLiteral("0.3"));
            type(feed(2), QStringLiteral("0.4"));
            QTest::keyClick(feed(2), Qt::Key_Return);
            QCOMPARE(feed(4)->text(), QStringLiteral("0.4"));
            type(feed(3), QStringLiteral("0.6"));
            QTest::keyClick(feed(3), Qt::Key_Return);
            QCOMPARE(feed(7)->text(), QStringLiteral("0.6"));
            for (int k : {4, 5, 6}) {  // R3-F, A2-F and R4-F copy nothing
                type(feed(k), QStringLiteral("9"));
                QTest::keyClick(feed(k), Qt::Key_Return);
                QCOMPARE(QApplication::focusWidget(), feed(k + 1));
            }
            QCOMPARE(feed(7)->text(), QStringLiteral("0.6"));

            text(11)->setFocus();
            QTest::keyClick(text(11), Qt::Key_Return);  // R 4 moves to R1-F
            QCOMPARE(QApplication::focusWidget(), feed(0));

            feed(7)->setFocus();
            QTest::keyClick(feed(7), Qt::Key_Return);  // D2-F moves to Program Output, no press
            QCOMPARE(QApplication::focusWidget(), control<QPushButton>("Command1"));
            QCOMPARE(showCalls_, 0);
            QVERIFY(dialog_->isVisible());
        });
    }

    void enterWalksTheWholeChain() {
        whileOpen([&] {
            const int order[] = {2, 3, 1, 12, 13, 14, 15, 16, 17, 4, 5, 18, 6, 7, 8, 9, 10, 11};
            text(2)->setFocus();
            for (int i = 0; i + 1 < 18; ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                QCOMPARE(QApplication::focusWidget(), text(order[i + 1]));
            }
        });
    }

    void enterOnTheFocusedButtonPressesIt() {
        whileOpen([&] {
            typeWorkedExample();
            feed(7)->setFocus();
            QTest::keyClick(feed(7), Qt::Key_Return);
            QTest::keyClick(control<QPushButton>("Command1"), Qt::Key_Return);
            QVERIFY(!dialog_->isVisible());
        });
        QVERIFY(showCalls_ > 0);
    }

    // The point data reaches its pane before the TRV program floors the lead: its plot uses
    // the lead as typed, the program's plot the floored one.
    void eachPanePlotsWithTheRecordAsItsTextArrives() {
        whileOpen([&] {
            typeWorkedExample();
            type(text(2), QStringLiteral("12.7009"));
            control<QCheckBox>("CheckModin")->click();  // no macro call line to floor it earlier
            pressProgramOutput();
        });
        QCOMPARE(pitchSeen_.size(), std::size_t{2});
        QCOMPARE(pitchSeen_[0], 12.7009);
        QCOMPARE(pitchSeen_[1], 12.7);
    }

    void escapeAndEnterPressNothingByThemselves() {
        whileOpen([&] {
            text(2)->setFocus();
            QTest::keyClick(dialog_, Qt::Key_Escape);
            QVERIFY(dialog_->isVisible());
        });
        QCOMPARE(showCalls_, 0);
    }

    void focusSelectsTheWholeValue() {
        whileOpen([&] {
            type(text(7), QStringLiteral("38.5"));
            text(6)->setFocus();
            QTest::keyClick(text(6), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), text(7));
            QCOMPARE(text(7)->selectedText(), QStringLiteral("38.5"));
            QTest::keyClick(text(7), Qt::Key_Tab);  // R 1 is empty
            QVERIFY(!text(8)->hasSelectedText());
        });
    }

    void closeBoxBehavesAsClose() {
        whileOpen([&] {
            dialog_->close();
            QVERIFY(!dialog_->isVisible());
        });
        QCOMPARE(replotCalls_, 1);
    }

    void tabOrderFollowsTheColumns() {
        whileOpen([&] {
            text(17)->setFocus();
            QTest::keyClick(text(17), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), text(4));  // Retract X, then D 1
            text(11)->setFocus();
            QTest::keyClick(text(11), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), feed(0));
        });
    }
};

QTEST_MAIN(ShapeDialogTest)
#include "shape_dialog_test.moc"
