// The cross-section check's report: figures per segment, the findings that name a pass, the
// inputs, and a way to the shape dialog with the suggested feeds.
#include "app/check_report.h"

#include "core/numeric/number_text.h"

#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace quillane {
namespace {

QString Millimetres(double v) { return QString::fromStdString(FormatPattern(v, "####0.000")); }

QTableWidgetItem* Cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

}  // namespace

CheckReport::CheckReport(QWidget* parent)
    : QDialog(parent),
      toolAngle_(new QDoubleSpinBox(this)),
      target_(new QDoubleSpinBox(this)),
      segments_(new QTableWidget(8, 4, this)),
      findings_(new QTableWidget(0, 2, this)),
      summary_(new QLabel(this)) {
    setObjectName(QStringLiteral("CheckReport"));
    setWindowTitle(QStringLiteral("Cross-section check"));
    toolAngle_->setObjectName(QStringLiteral("ToolAngle"));
    toolAngle_->setRange(0, 179);
    toolAngle_->setDecimals(1);
    toolAngle_->setSuffix(QStringLiteral(" °"));
    toolAngle_->setToolTip(
        QStringLiteral("Included angle of the tool: 0 for a parallel grooving tool, 60 for a 60° insert"));
    target_->setObjectName(QStringLiteral("TargetHeight"));
    target_->setRange(0.001, 10);
    target_->setDecimals(3);
    target_->setSingleStep(0.005);
    target_->setValue(DefaultCheckTarget);
    target_->setSuffix(QStringLiteral(" mm"));
    target_->setToolTip(QStringLiteral("Uncut height the suggested feeds keep to"));
    for (QDoubleSpinBox* box : {toolAngle_, target_}) {
        connect(box, &QDoubleSpinBox::valueChanged, this, &CheckReport::inputsChanged);
    }

    segments_->setObjectName(QStringLiteral("CheckSegments"));
    segments_->setHorizontalHeaderLabels({QStringLiteral("Segment"), QStringLiteral("Feed"), QStringLiteral("Uncut mm"),
                                          QStringLiteral("Suggested feed")});
    segments_->verticalHeader()->hide();
    segments_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    segments_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    findings_->setObjectName(QStringLiteral("CheckFindings"));
    findings_->setHorizontalHeaderLabels({QStringLiteral("Finding"), QStringLiteral("Pass")});
    findings_->verticalHeader()->hide();
    findings_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    findings_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    findings_->setSelectionBehavior(QAbstractItemView::SelectRows);
    connect(findings_, &QTableWidget::cellActivated, this, [this](int row, int) {
        if (row >= 0 && static_cast<std::size_t>(row) < findingLines_.size())
            emit lineChosen(findingLines_[static_cast<std::size_t>(row)]);
    });
    connect(findings_, &QTableWidget::cellClicked, this, [this](int row, int) {
        if (row >= 0 && static_cast<std::size_t>(row) < findingLines_.size())
            emit lineChosen(findingLines_[static_cast<std::size_t>(row)]);
    });

    auto* useFeeds = new QPushButton(QStringLiteral("Data Input with suggested feeds..."), this);
    useFeeds->setObjectName(QStringLiteral("UseSuggestedFeeds"));
    useFeeds->setToolTip(
        QStringLiteral("Opens the shape dialog with the suggested feeds filled in; nothing is "
                       "generated until Program Output"));
    connect(useFeeds, &QPushButton::clicked, this, [this] { emit suggestedFeedsRequested(suggested_); });

    auto* inputs = new QFormLayout;
    inputs->addRow(QStringLiteral("Tool angle"), toolAngle_);
    inputs->addRow(QStringLiteral("Target height"), target_);
    summary_->setObjectName(QStringLiteral("CheckSummary"));
    summary_->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(inputs);
    layout->addWidget(summary_);
    layout->addWidget(segments_, 2);
    layout->addWidget(findings_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(useFeeds);
    layout->addLayout(buttons);
    resize(520, 560);
}

double CheckReport::toolAngle() const { return toolAngle_->value(); }

double CheckReport::target() const { return target_->value(); }

void CheckReport::showCheck(const SectionCheck& check) {
    summary_->setText(QString::fromStdString(CheckSummaryText(check)));
    for (std::size_t k = 0; k < check.Segments.size(); ++k) {
        const CheckSegment& s = check.Segments[k];
        const int row = static_cast<int>(k);
        // Suggestions are rounded down to the 0.001 a feed box is typed in, so they stay within
        // the target.
        suggested_[k] =
            s.SuggestedFeed ? std::optional<double>(std::floor(*s.SuggestedFeed * 1000) / 1000) : std::nullopt;
        segments_->setItem(row, 0, Cell(QLatin1String(s.Name)));
        segments_->setItem(row, 1, Cell(Millimetres(s.Feed)));
        auto* uncut = Cell(check.Problem.empty() ? Millimetres(s.Uncut) : QString());
        if (check.Problem.empty() && s.Uncut > check.Target) uncut->setForeground(QColor(200, 90, 0));
        segments_->setItem(row, 2, uncut);
        segments_->setItem(row, 3,
                           Cell(suggested_[k] ? Millimetres(*suggested_[k])
                                              : (s.NoseFits ? QStringLiteral("-") : QStringLiteral("nose too large"))));
    }
    findings_->setRowCount(0);
    findingLines_.clear();
    const auto add = [this, &check](const QString& what, int pass) {
        const int row = findings_->rowCount();
        findings_->insertRow(row);
        findings_->setItem(row, 0, Cell(what));
        findings_->setItem(row, 1, Cell(QString::number(pass)));
        const auto index = static_cast<std::size_t>(pass - 1);
        findingLines_.push_back(index < check.Passes.size() ? check.Passes[index].Line : -1);
    };
    if (check.Gouge) {
        add(QStringLiteral("gouge %1 mm on %2")
                .arg(Millimetres(check.Gouge->Depth),
                     QLatin1String(check.Segments[static_cast<std::size_t>(check.Gouge->Segment)].Name)),
            check.Gouge->Pass);
    }
    for (const int pass : check.IdlePasses) add(QStringLiteral("idle: removes no material"), pass);
    if (check.MaxChipPass > 0) {
        add(QStringLiteral("largest chip %1 mm²").arg(Millimetres(check.MaxChipArea)), check.MaxChipPass);
    }
    if (check.MaxEngagementPass > 0) {
        add(QStringLiteral("largest radial engagement %1 mm").arg(Millimetres(check.MaxEngagement)),
            check.MaxEngagementPass);
    }
}

}  // namespace quillane
