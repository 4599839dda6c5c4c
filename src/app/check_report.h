// The cross-section check's report: what the passes leave and where they cut too deep, per
// segment, with the tool angle and target height it was made for and the feeds it suggests.
#pragma once

#include "core/check/section_check.h"

#include <QDialog>

#include <array>
#include <optional>

class QDoubleSpinBox;
class QLabel;
class QTableWidget;

namespace quillane {

class CheckReport : public QDialog {
    Q_OBJECT
public:
    explicit CheckReport(QWidget* parent = nullptr);

    // The inputs of the next check.
    double toolAngle() const;
    double target() const;
    // Shows a check's figures (the window checks after every change of the point data).
    void showCheck(const SectionCheck& check);

signals:
    // The tool angle or the target height was changed: the check has to run again.
    void inputsChanged();
    // The user wants the shape dialog with these feeds (none: keep the record's).
    void suggestedFeedsRequested(const std::array<std::optional<double>, 8>& feeds);
    // A finding was chosen: its pass's line in the point data.
    void lineChosen(int line);

private:
    QDoubleSpinBox* toolAngle_;
    QDoubleSpinBox* target_;
    QTableWidget* segments_;
    QTableWidget* findings_;
    QLabel* summary_;
    std::array<std::optional<double>, 8> suggested_{};
    std::vector<int> findingLines_;  // per row of the findings
};

}  // namespace quillane
