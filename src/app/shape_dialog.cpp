// The shape dialog: the groove's dimensions, feeds, cutting position and output options.
// Enter walks through the boxes and copies a few values forward, so a whole shape can be
// typed with the Enter key alone.
#include "app/shape_dialog.h"

#include "app/shape_sketch.h"
#include "app/twips.h"
#include "core/numeric/data_error.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>

namespace quillane {
namespace {

// One row of boxes: label captions with their box numbers, at the row's top (twips).
struct BoxRow {
    int top;
    const char* leftCaption;
    int leftLabelLeft;
    int leftBox;
    const char* middleCaption;
    int middleBox;
};

constexpr BoxRow Rows[] = {
    {2760, "PITCH", 480, 2, "D 1", 4},
    {3240, "WIDTH", 480, 3, "D 2", 5},
    {3720, "Nose-R", 480, 1, "D 3", 18},
    {4200, "Blank Dia  X", 120, 12, "A 1", 6},
    {4680, "Finish Stock", 120, 13, "A 2", 7},
    {5160, "Start Point Z", 120, 14, "R 1", 8},
    {5640, "End Point  Z", 120, 15, "R 2", 9},
    {6120, "Taper Angle", 120, 16, "R 3", 10},
    {6600, "Retract      X", 120, 17, "R 4", 11},
};

// Boxes in Enter (and tab) order, by box number; the feeds follow.
constexpr int EnterOrder[] = {2, 3, 1, 12, 13, 14, 15, 16, 17, 4, 5, 18, 6, 7, 8, 9, 10, 11};

// The client area of the boxes and buttons, and the margin added below it for the check's
// list, so that none of the boxes or buttons moves (twips).
constexpr int BoxesWidth = 6810;
constexpr int BoxesHeight = 8010;
constexpr int FindingsHeight = 1200;
constexpr int DialogHeight = BoxesHeight + FindingsHeight + 120;

// A warning is loud (a dark orange frame and caption); a note is grey and thin.
const QColor WarningColour(200, 70, 0);
const QColor NoteColour(120, 120, 120);

QString RichSentence(const std::string& text) { return QString::fromStdString(text).toHtmlEscaped(); }

bool SameFindings(const std::vector<Finding>& a, const std::vector<Finding>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const Finding& x, const Finding& y) {
        return x.Level == y.Level && x.Boxes == y.Boxes && x.Text == y.Text;
    });
}

}  // namespace

ShapeDialog::ShapeDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("DataInput1"));
    setWindowTitle(QStringLiteral("Shape 1 data input"));
    setModal(true);
    // The layout is measured in twips for a small dialog face; the desktop's larger default
    // would cut the captions of the option buttons and of "Program Output".
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);
    createControls();
    setTabOrder();
    setFixedSize(twips(0, 0, BoxesWidth, DialogHeight).size());
    Text_[1]->setFocus(Qt::OtherFocusReason);  // PITCH
}

QRect ShapeDialog::twips(int left, int top, int width, int height) const {
    const double sx = PixelsPerTwipX(this);
    const double sy = PixelsPerTwipY(this);
    return QRect(qRound(left * sx), qRound(top * sy), qRound(width * sx), qRound(height * sy));
}

void ShapeDialog::createControls() {
    auto makeLabel = [this](const char* caption, int left, int top, int width, const QString& name = {}) {
        auto* label = new QLabel(QString::fromLatin1(caption), this);
        label->setTextFormat(Qt::PlainText);  // keeps the blanks inside "Blank Dia  X"
        label->setGeometry(twips(left, top, width, 255));
        if (!name.isEmpty()) label->setObjectName(name);
        return label;
    };
    auto makeBox = [this](const QString& name, int left, int top, int width, int height) {
        auto* box = new QLineEdit(this);
        box->setObjectName(name);
        box->setGeometry(twips(left, top, width, height));
        box->installEventFilter(this);
        return box;
    };

    for (const BoxRow& row : Rows) {
        makeLabel(row.leftCaption, row.leftLabelLeft, row.top + 120, 1320 - row.leftLabelLeft - 60);
        Text_[static_cast<std::size_t>(row.leftBox - 1)] =
            makeBox(QStringLiteral("Text%1").arg(row.leftBox), 1320, row.top, 1335, 375);
        makeLabel(row.middleCaption, 2880, row.top + 120, 450);
        Text_[static_cast<std::size_t>(row.middleBox - 1)] =
            makeBox(QStringLiteral("Text%1").arg(row.middleBox), 3360, row.top, 1215, 375);
    }
    Text_[12]->setToolTip(QStringLiteral("Diameter"));  // Finish Stock
    for (int k = 0; k < 8; ++k) {
        const int top = Rows[k].top;
        F_[static_cast<std::size_t>(k)] =
            makeLabel(FeedCaptions[static_cast<std::size_t>(k)], 4800, top + 120, 450, QStringLiteral("F(%1)").arg(k));
        FEED_[static_cast<std::size_t>(k)] =
            makeBox(QStringLiteral("FEED(%1)").arg(k), 5280, top, 1215, k == 7 ? 375 : 405);
    }
    FEED_[0]->setToolTip(QStringLiteral("FEED"));

    Frame1_ = new QGroupBox(QStringLiteral("Cutting Position"), this);
    Frame1_->setObjectName(QStringLiteral("Frame1"));
    Frame1_->setGeometry(twips(360, 2040, 2295, 615));
    Option1_ = new QRadioButton(QStringLiteral("External"), Frame1_);
    Option1_->setObjectName(QStringLiteral("Option1"));
    Option2_ = new QRadioButton(QStringLiteral("Internal"), Frame1_);
    Option2_->setObjectName(QStringLiteral("Option2"));
    Frame2_ = new QGroupBox(QStringLiteral("Output Type"), this);
    Frame2_->setObjectName(QStringLiteral("Frame2"));
    Frame2_->setGeometry(twips(3480, 2040, 2895, 615));
    TRV_ = new QRadioButton(QStringLiteral("TRV"), Frame2_);
    TRV_->setObjectName(QStringLiteral("TRV"));
    Fanuc_ = new QRadioButton(QStringLiteral("FANUC"), Frame2_);
    Fanuc_->setObjectName(QStringLiteral("Fanuc"));
    // The twips layout gives the option buttons less height than their text needs; they get that.
    const int optionHeight = std::max(twips(0, 0, 0, 180).height(), Option1_->sizeHint().height());
    const int optionTop = twips(0, 285, 0, 0).y() - (optionHeight - twips(0, 0, 0, 180).height()) / 2;
    Option1_->setGeometry(twips(120, 0, 975, 0).x(), optionTop, twips(0, 0, 975, 0).width(), optionHeight);
    Option2_->setGeometry(twips(1200, 0, 0, 0).x(), optionTop, twips(0, 0, 975, 0).width(), optionHeight);
    TRV_->setGeometry(twips(480, 0, 0, 0).x(), optionTop, twips(0, 0, 735, 0).width(), optionHeight);
    Fanuc_->setGeometry(twips(1560, 0, 0, 0).x(), optionTop, twips(0, 0, 975, 0).width(), optionHeight);

    CheckSN_ = new QCheckBox(QStringLiteral("Sequence Number"), this);
    CheckSN_->setObjectName(QStringLiteral("CheckSN"));
    CheckSN_->setGeometry(twips(1080, 7200, 2055, 255));
    CheckModin_ = new QCheckBox(QStringLiteral("Output [MODIN]"), this);
    CheckModin_->setObjectName(QStringLiteral("CheckModin"));
    CheckModin_->setGeometry(twips(1080, 7560, 2055, 255));

    Command1_ = new QPushButton(QStringLiteral("Program Output"), this);
    Command1_->setObjectName(QStringLiteral("Command1"));
    Command1_->setGeometry(twips(3360, 7200, 1335, 615));
    Command2_ = new QPushButton(QStringLiteral("Close"), this);
    Command2_->setObjectName(QStringLiteral("Command2"));
    Command2_->setGeometry(twips(5160, 7200, 1335, 615));
    for (QPushButton* b : {Command1_, Command2_}) {
        b->setAutoDefault(false);  // Enter in a box never presses a button by itself
        b->setDefault(false);
        b->installEventFilter(this);
    }
    connect(Command1_, &QPushButton::clicked, this, &ShapeDialog::programOutput);
    connect(Command2_, &QPushButton::clicked, this, &ShapeDialog::closeDialog);

    // The check's list: read only, and out of the focus chain so Tab and Enter walk as before.
    findingsList_ = new QTextEdit(this);
    findingsList_->setObjectName(QStringLiteral("ShapeFindings"));
    findingsList_->setReadOnly(true);
    findingsList_->setFocusPolicy(Qt::NoFocus);
    findingsList_->setGeometry(twips(120, BoxesHeight, BoxesWidth - 240, FindingsHeight));
    for (QLineEdit* box : Text_) ownToolTips_.insert(box, box->toolTip());
    for (QLineEdit* box : FEED_) ownToolTips_.insert(box, box->toolTip());
    ownToolTips_.insert(Frame1_, Frame1_->toolTip());
    // The check runs when a text or the cutting position changes, not when the dialog paints.
    for (QLineEdit* box : Text_) connect(box, &QLineEdit::textChanged, this, &ShapeDialog::recheck);
    for (QLineEdit* box : FEED_) connect(box, &QLineEdit::textChanged, this, &ShapeDialog::recheck);
    connect(Option1_, &QRadioButton::toggled, this, [this] {
        recheck();
        update();  // the sketch shows the chosen cutting position
    });

    // A new dialog: Internal, TRV, sequence numbers and the MODIN call.
    Option2_->setChecked(true);
    TRV_->setChecked(true);
    CheckSN_->setChecked(true);
    CheckModin_->setChecked(true);
}

void ShapeDialog::setTabOrder() {
    QList<QWidget*> order;
    for (int n : EnterOrder) order << Text_[static_cast<std::size_t>(n - 1)];
    for (QLineEdit* f : FEED_) order << f;
    order << Command1_ << Command2_ << Option2_ << Option1_ << TRV_ << Fanuc_ << CheckSN_ << CheckModin_;
    for (int i = 0; i + 1 < order.size(); ++i) QWidget::setTabOrder(order[i], order[i + 1]);
}

void ShapeDialog::openModal(const ShapeData& shape) {
    refill(shape);
    exec();
}

void ShapeDialog::refill(const ShapeData& shape) {
    const ShapeBoxTexts boxes = ShapeToBoxes(shape);
    refilling_ = true;
    (boxes.External ? Option1_ : Option2_)->setChecked(true);
    for (std::size_t i = 0; i < Text_.size(); ++i) Text_[i]->setText(QString::fromStdString(boxes.Text[i]));
    for (std::size_t k = 0; k < FEED_.size(); ++k) FEED_[k]->setText(QString::fromStdString(boxes.Feed[k]));
    refilling_ = false;
    recheck();
    // The box that keeps the focus across openings shows its value selected, as on entry.
    if (auto* box = qobject_cast<QLineEdit*>(focusWidget())) selectActiveBoxText(box, false);
}

ShapeBoxTexts ShapeDialog::boxTexts() const {
    ShapeBoxTexts boxes;
    boxes.External = Option1_->isChecked();
    for (std::size_t i = 0; i < Text_.size(); ++i) boxes.Text[i] = Text_[i]->text().toStdString();
    for (std::size_t k = 0; k < FEED_.size(); ++k) boxes.Feed[k] = FEED_[k]->text().toStdString();
    return boxes;
}

OutputOptions ShapeDialog::outputOptions() const {
    OutputOptions options;
    options.Trv = TRV_->isChecked();
    options.Fanuc = Fanuc_->isChecked();
    options.SequenceNumbers = CheckSN_->isChecked();
    options.OutputModin = CheckModin_->isChecked();
    return options;
}

void ShapeDialog::setOutputOptions(const OutputOptions& options) {
    (options.Fanuc ? Fanuc_ : TRV_)->setChecked(true);
    CheckSN_->setChecked(options.SequenceNumbers);
    CheckModin_->setChecked(options.OutputModin);
}

void ShapeDialog::programOutput() { emit programOutputRequested(boxTexts(), outputOptions()); }

void ShapeDialog::showDataError(const std::string& detail) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Error"), QString::fromLatin1(DataErrorMessage),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("DataErrorBox"));
    box.setDetailedText(QString::fromStdString(detail));
    box.exec();
}

void ShapeDialog::closeDialog() {
    hide();
    emit closed();
}

void ShapeDialog::closeEvent(QCloseEvent* event) {
    // The frame's close box is "Close"; a hidden dialog closed at shut-down just goes.
    if (isVisible()) {
        event->ignore();
        closeDialog();
        return;
    }
    event->accept();
}

void ShapeDialog::keyPressEvent(QKeyEvent* event) {
    // Neither button is a default or a cancel button: Enter and Escape press nothing here.
    switch (event->key()) {
        case Qt::Key_Escape:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            event->accept();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

bool ShapeDialog::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && widget) {
            if (auto* button = qobject_cast<QPushButton*>(widget)) {
                button->click();  // a focused button is pressed by Enter
            } else {
                enterPressed(widget);
            }
            return true;
        }
    } else if (event->type() == QEvent::FocusIn) {
        if (auto* box = qobject_cast<QLineEdit*>(widget)) {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            // A click would place the caret after the focus arrives; select once it has.
            selectActiveBoxText(box, reason == Qt::MouseFocusReason);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ShapeDialog::selectActiveBoxText(QLineEdit* box, bool deferred) {
    if (box->text().isEmpty()) return;
    if (deferred) {
        QTimer::singleShot(0, box, [box] {
            if (box->hasFocus() && !box->hasSelectedText()) box->selectAll();
        });
    } else {
        box->selectAll();
    }
}

void ShapeDialog::enterPressed(QWidget* box) {
    auto copy = [](QLineEdit* from, std::initializer_list<QLineEdit*> to) {
        for (QLineEdit* target : to) target->setText(from->text());
    };
    QWidget* next = nullptr;
    if (box == Text_[4]) copy(Text_[4], {Text_[17]});  // D 2 to D 3
    if (box == FEED_[0]) copy(FEED_[0], {FEED_[1], FEED_[2], FEED_[3], FEED_[4], FEED_[5], FEED_[6], FEED_[7]});
    if (box == FEED_[1]) copy(FEED_[1], {FEED_[5]});  // A1-F to A2-F
    if (box == FEED_[2]) copy(FEED_[2], {FEED_[4]});  // R2-F to R3-F
    if (box == FEED_[3]) copy(FEED_[3], {FEED_[7]});  // D1-F to D2-F

    constexpr int count = sizeof EnterOrder / sizeof EnterOrder[0];
    for (int i = 0; i < count; ++i) {
        if (box == Text_[static_cast<std::size_t>(EnterOrder[i] - 1)]) {
            next = i + 1 < count ? static_cast<QWidget*>(Text_[static_cast<std::size_t>(EnterOrder[i + 1] - 1)])
                                 : static_cast<QWidget*>(FEED_[0]);
        }
    }
    for (std::size_t k = 0; k < FEED_.size(); ++k) {
        if (box == FEED_[k]) next = k + 1 < FEED_.size() ? static_cast<QWidget*>(FEED_[k + 1]) : Command1_;
    }
    if (next) next->setFocus(Qt::TabFocusReason);
}

void ShapeDialog::recheck() {
    if (refilling_) return;
    std::vector<Finding> found = CheckShapeBoxes(boxTexts());
    std::stable_sort(found.begin(), found.end(), [](const Finding& a, const Finding& b) {
        return a.Level == Severity::Warning && b.Level != a.Level;
    });
    if (SameFindings(found, findings_)) return;  // typing that changes nothing redraws nothing
    findings_ = std::move(found);
    showFindings();
}

QWidget* ShapeDialog::boxWidget(ShapeBox box) const {
    const int i = static_cast<int>(box);
    if (box == ShapeBox::Position) return Frame1_;
    if (i >= static_cast<int>(ShapeBox::Feed0))
        return FEED_[static_cast<std::size_t>(i - static_cast<int>(ShapeBox::Feed0))];
    return Text_[static_cast<std::size_t>(ShapeFields[static_cast<std::size_t>(i)].Box - 1)];
}

void ShapeDialog::showFindings() {
    QHash<QWidget*, QStringList> sentences;
    marked_.clear();
    QString list;
    for (const Finding& f : findings_) {
        const bool warning = f.Level == Severity::Warning;
        for (ShapeBox box : f.Boxes) {
            QWidget* w = boxWidget(box);
            if (!marked_.contains(w) || warning) marked_.insert(w, f.Level);
            sentences[w] << QStringLiteral("<p>%1</p>").arg(RichSentence(f.Text));
        }
        const QColor colour = warning ? WarningColour : NoteColour;
        list += QStringLiteral("<p style=\"margin:0 0 3px 0;%1\"><span style=\"color:%2;%3\">%4:</span> %5</p>")
                    .arg(warning ? QString() : QStringLiteral("color:%1;").arg(colour.name()), colour.name(),
                         warning ? QStringLiteral("font-weight:600;") : QString(),
                         warning ? QStringLiteral("Warning") : QStringLiteral("Note"), RichSentence(f.Text));
    }
    for (auto it = ownToolTips_.cbegin(); it != ownToolTips_.cend(); ++it) {
        QWidget* w = it.key();
        const QString own = it.value();
        if (!sentences.contains(w)) {
            w->setToolTip(own);
            w->setProperty("finding", QVariant());
            continue;
        }
        w->setToolTip((own.isEmpty() ? QString() : QStringLiteral("<p>%1</p>").arg(own.toHtmlEscaped())) +
                      sentences[w].join(QString()));
        w->setProperty("finding", marked_[w] == Severity::Warning ? QStringLiteral("warning") : QStringLiteral("note"));
    }
    findingsList_->setHtml(list);
    update();  // the frames around the boxes
}

void ShapeDialog::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.save();
    painter.scale(PixelsPerTwipX(this), PixelsPerTwipY(this));
    PaintShapeSketch(painter, Option1_->isChecked() ? SketchSide::External : SketchSide::Internal);
    painter.restore();
    // A frame just outside each box a finding concerns, in the gap between the boxes.
    for (auto it = marked_.cbegin(); it != marked_.cend(); ++it) {
        const bool warning = it.value() == Severity::Warning;
        QPen pen(warning ? WarningColour : NoteColour);
        pen.setWidth(warning ? 2 : 1);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(it.key()->geometry().adjusted(-2, -2, 1, 1));
    }
}

}  // namespace quillane
