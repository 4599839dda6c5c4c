// The shape dialog: the groove's dimensions, feeds, cutting position and output options.
#pragma once

#include "core/shape/program_writers.h"
#include "core/shape/shape_data.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace quillane {

class ProgramPanes;

class ShapeDialog : public QDialog {
    Q_OBJECT
public:
    explicit ShapeDialog(ProgramPanes& panes, QWidget* parent = nullptr);

    // Refills the boxes from the record (the output options keep the user's last choice)
    // and shows the dialog modally; returns when it is hidden again.
    void openModal();

    // The dialog's contents as "Program Output" reads them.
    ShapeBoxTexts boxTexts() const;
    OutputOptions outputOptions() const;

public slots:
    void programOutput();
    void closeDialog();

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
    void showDataError(const std::string& detail);
    QRect twips(int left, int top, int width, int height) const;

    ProgramPanes& panes_;
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
};

}  // namespace quillane
