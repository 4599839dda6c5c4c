// The shape dialog: the groove's dimensions, feeds, cutting position and output options.
#pragma once

#include "core/shape/program_writers.h"
#include "core/shape/shape_check.h"
#include "core/shape/shape_data.h"

#include <string>
#include <vector>

#include <QDialog>
#include <QHash>

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTextEdit;

namespace quillane {

// Collects one groove's description. "Program Output" asks the window to run the generator on
// the boxes; the window applies the result and then hides the dialog or has it show the error.
class ShapeDialog : public QDialog {
    Q_OBJECT
public:
    explicit ShapeDialog(QWidget* parent = nullptr);

    // Refills the boxes from the record (the output options keep the user's last choice)
    // and shows the dialog modally; returns when it is hidden again.
    void openModal(const ShapeData& shape);

    // The dialog's contents as "Program Output" reads them.
    ShapeBoxTexts boxTexts() const;
    OutputOptions outputOptions() const;
    // Sets the output options as a shape file gives them (FANUC when chosen, else TRV).
    void setOutputOptions(const OutputOptions& options);

    // The data-error box of a failed "Program Output", the failing input in its details.
    void showDataError(const std::string& detail);

    // What the check says about the boxes as they stand, warnings first.
    const std::vector<Finding>& findings() const { return findings_; }

public slots:
    void programOutput();
    void closeDialog();

signals:
    void programOutputRequested(const ShapeBoxTexts& boxes, const OutputOptions& options);
    // Left with "Close" (or the frame's close box): the window replots the panes that hold text.
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createControls();
    void setTabOrder();
    void refill(const ShapeData& shape);
    void enterPressed(QWidget* box);
    void selectActiveBoxText(QLineEdit* box, bool deferred);
    QRect twips(int left, int top, int width, int height) const;
    // Checks the boxes again and shows what the check says: marked boxes and the list.
    void recheck();
    void showFindings();
    QWidget* boxWidget(ShapeBox box) const;

    std::array<QLineEdit*, 18> Text_{};  // Text_[n - 1] is Text<n>
    std::array<QLineEdit*, 8> FEED_{};
    std::array<QLabel*, 8> F_{};
    QGroupBox* Frame1_ = nullptr;
    QGroupBox* Frame2_ = nullptr;
    QRadioButton* Option1_ = nullptr;  // External
    QRadioButton* Option2_ = nullptr;  // Internal
    QRadioButton* TRV_ = nullptr;
    QRadioButton* Fanuc_ = nullptr;
    QCheckBox* CheckSN_ = nullptr;
    QCheckBox* CheckModin_ = nullptr;
    QPushButton* Command1_ = nullptr;  // Program Output
    QPushButton* Command2_ = nullptr;  // Close

    // Below the buttons: the current warnings and notes, one paragraph each.
    QTextEdit* findingsList_ = nullptr;
    std::vector<Finding> findings_;
    QHash<QWidget*, Severity> marked_;      // the boxes the findings concern, the loudest level
    QHash<QWidget*, QString> ownToolTips_;  // the tool tips a box has without findings
    bool refilling_ = false;                // one check after a refill, not one per box
};

}  // namespace quillane
