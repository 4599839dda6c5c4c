// The About box: the program's name and version, and a way to the system information.
#include "app/about_box.h"

#include "qt/system_info.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace quillane {
namespace {

QLabel* SerifLabel(const QString& text, double points, const QString& name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(points);
    font.setBold(true);
    font.setItalic(true);
    label->setFont(font);
    return label;
}

// "1.1.0" from the application's version, whatever the build gave it.
QString VersionText() {
    const QStringList parts = QCoreApplication::applicationVersion().split(u'.');
    const auto part = [&parts](int i) { return i < parts.size() ? parts[i].toInt() : 0; };
    return QStringLiteral("Ver. %1.%2.%3").arg(part(0)).arg(part(1)).arg(part(2));
}

}  // namespace

AboutBox::AboutBox(const SystemInfoSystem& system, QWidget* parent) : QDialog(parent), system_(system) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("Quillane information"));
    setModal(true);

    auto* picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    const QIcon icon = QApplication::windowIcon().isNull() ? style()->standardIcon(QStyle::SP_ComputerIcon)
                                                           : QApplication::windowIcon();
    picIcon->setPixmap(icon.pixmap(48, 48));
    picIcon->setAlignment(Qt::AlignTop);

    auto* lblTitle = SerifLabel(QStringLiteral("Quillane"), 18, QStringLiteral("lblTitle"), this);
    auto* lblVersion = SerifLabel(VersionText(), 15.75, QStringLiteral("lblVersion"), this);
    auto* lblDescription = SerifLabel(QStringLiteral("Thread-cutting passes for helical grooves, with back-plotting"),
                                      12, QStringLiteral("lblDescription"), this);

    // Etched rule: a grey line with a white line of double width just below it.
    auto* rule = new QWidget(this);
    rule->setObjectName(QStringLiteral("Line1"));
    rule->setFixedHeight(4);
    auto* ruleLayout = new QVBoxLayout(rule);
    ruleLayout->setContentsMargins(0, 0, 0, 0);
    ruleLayout->setSpacing(0);
    auto* grey = new QFrame(rule);
    grey->setFixedHeight(1);
    grey->setStyleSheet(QStringLiteral("background: rgb(128,128,128);"));
    auto* white = new QFrame(rule);
    white->setFixedHeight(2);
    white->setStyleSheet(QStringLiteral("background: white;"));
    ruleLayout->addWidget(grey);
    ruleLayout->addWidget(white);

    cmdOK_ = new QPushButton(QStringLiteral("O   K"), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setDefault(true);
    cmdSysInfo_ = new QPushButton(QStringLiteral("System Inf.(&S)..."), this);
    cmdSysInfo_->setObjectName(QStringLiteral("cmdSysInfo"));
    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo_, &QPushButton::clicked, this, &AboutBox::startSysInfo);

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblTitle);
    texts->addWidget(lblVersion);
    texts->addSpacing(8);
    texts->addWidget(lblDescription);
    auto* top = new QHBoxLayout;
    top->addWidget(picIcon);
    top->addSpacing(12);
    top->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* buttonColumn = new QVBoxLayout;
    cmdOK_->setMinimumWidth(120);
    cmdSysInfo_->setMinimumWidth(120);
    buttonColumn->addWidget(cmdOK_);
    buttonColumn->addWidget(cmdSysInfo_);
    buttons->addLayout(buttonColumn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(10);
    layout->addWidget(rule);
    layout->addSpacing(10);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    cmdOK_->setFocus();
}

QString AboutBox::NoViewerMessage() { return QString::fromUtf8("現時点ではｼｽﾃﾑ情報を使用できません"); }

void AboutBox::startSysInfo() {
    if (StartSystemInfo(system_)) return;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quillane"), NoViewerMessage(), QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("NoSysInfoBox"));
    box.exec();
}

void AboutBox::keyPressEvent(QKeyEvent* event) {
    // "O   K" is the cancel button too: Esc closes the box the way OK does.
    if (event->key() == Qt::Key_Escape) {
        cmdOK_->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void AboutBox::closeEvent(QCloseEvent* event) {
    setResult(QDialog::Rejected);
    QDialog::closeEvent(event);
}

bool ShowAboutBox(QWidget* owner, const SystemInfoSystem& system) {
    AboutBox box(system, owner);
    return box.exec() == QDialog::Accepted;
}

}  // namespace quillane
