// The status bar: name of the current pane or plot, insert and num-lock state, date and time.
#include "app/status_panels.h"

#include <QDateTime>
#include <QFontDatabase>
#include <QLabel>
#include <QLocale>
#include <QTimer>

namespace quillane {
namespace {

QLabel* MakePanel(QWidget* parent, const QString& objectName, const QString& widest) {
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(widest) + 16);
    return label;
}

}  // namespace

QFont StatusBarFont() {
    QFont font;
    const QStringList families = QFontDatabase::families();
    for (const char* name : {"MS PGothic", "Noto Sans CJK JP", "DejaVu Sans"}) {
        if (families.contains(QLatin1String(name))) {
            font = QFont(QLatin1String(name));
            break;
        }
    }
    font.setPointSizeF(9.75);
    return font;
}

StatusPanels::StatusPanels(QWidget* parent) : QStatusBar(parent), clock_(new QTimer(this)) {
    setObjectName(QStringLiteral("sbStatusBar"));
    setFont(StatusBarFont());
    setSizeGripEnabled(true);
    setStyleSheet(QStringLiteral("QStatusBar::item { border: 1px solid palette(mid); border-radius: 2px; }"));

    name_ = new QLabel(this);
    name_->setObjectName(QStringLiteral("sbPanelName"));
    name_->setIndent(4);
    insert_ = MakePanel(this, QStringLiteral("sbPanelInsert"), QStringLiteral("INS"));
    numLock_ = MakePanel(this, QStringLiteral("sbPanelNumLock"), QStringLiteral("NUM"));
    const QLocale locale;
    date_ = MakePanel(this, QStringLiteral("sbPanelDate"), locale.toString(QDate(2088, 12, 28), QLocale::ShortFormat));
    time_ = MakePanel(this, QStringLiteral("sbPanelTime"), locale.toString(QTime(23, 58), QLocale::ShortFormat));
    check_ = new QLabel(this);
    check_->setObjectName(QStringLiteral("sbPanelCheck"));
    check_->setTextFormat(Qt::RichText);
    check_->setToolTip(QStringLiteral("Cross-section check: click for the report"));
    check_->hide();
    connect(check_, &QLabel::linkActivated, this, &StatusPanels::checkReportRequested);
    addWidget(name_, 1);
    addWidget(check_, 2);
    addPermanentWidget(insert_);
    addPermanentWidget(numLock_);
    addPermanentWidget(date_);
    addPermanentWidget(time_);

    setInsertMode(true);
    setNumLock(false);
    showClock();
    connect(clock_, &QTimer::timeout, this, &StatusPanels::showClock);
    clock_->start(1000);
}

void StatusPanels::setCurrentName(const QString& name) { name_->setText(name); }

QString StatusPanels::currentName() const { return name_->text(); }

void StatusPanels::setCheckSummary(const QString& summary) {
    check_->setProperty("summary", summary);
    check_->setText(
        QStringLiteral("<a href=\"report\" style=\"text-decoration: none\">%1</a>").arg(summary.toHtmlEscaped()));
    check_->setVisible(!summary.isEmpty());
}

QString StatusPanels::checkSummary() const { return check_->property("summary").toString(); }

void StatusPanels::setInsertMode(bool on) { insert_->setText(on ? QStringLiteral("INS") : QString()); }

void StatusPanels::setNumLock(bool on) { numLock_->setText(on ? QStringLiteral("NUM") : QString()); }

QStringList StatusPanels::panelTexts() const {
    return {name_->text(), insert_->text(), numLock_->text(), date_->text(), time_->text()};
}

void StatusPanels::showClock() {
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale;
    date_->setText(locale.toString(now.date(), QLocale::ShortFormat));
    time_->setText(locale.toString(now.time(), QLocale::ShortFormat));
}

}  // namespace quillane
