// File > Export Plot...: the focused plot as it is seen, written to a PNG or SVG picture.
#include "app/plot_export.h"

#include "app/plot_view.h"
#include "core/ncplot/plot_limits.h"

#include <QBuffer>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QImage>
#include <QPainter>
#include <QSpinBox>
#include <QSvgGenerator>

namespace quillane {

QByteArray PlotPicture(const PlotView& plot, const QSize& size, bool svg) {
    if (size.isEmpty()) return {};
    const QRectF target(0, 0, size.width(), size.height());
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    if (svg) {
        QSvgGenerator generator;
        generator.setOutputDevice(&bytes);
        generator.setSize(size);
        generator.setViewBox(QRect(QPoint(0, 0), size));
        generator.setResolution(96);
        generator.setTitle(plot.caption());
        QPainter painter;
        if (!painter.begin(&generator)) return {};
        plot.renderView(painter, target);
        painter.end();
    } else {
        QImage image(size, QImage::Format_RGB32);
        if (image.isNull()) return {};
        {
            QPainter painter(&image);
            plot.renderView(painter, target);
        }
        if (!image.save(&bytes, "PNG")) return {};
    }
    return bytes.data();
}

SaveResult ExportPlot(const PlotView& plot, const QString& path, const QSize& size) {
    const QByteArray picture = PlotPicture(plot, size, path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive));
    if (picture.isEmpty()) return {false, QStringLiteral("The picture cannot be painted at this size.")};
    return SaveFileAtomically(path, picture);
}

ExportSizeDialog::ExportSizeDialog(const QSize& initial, QWidget* parent)
    : QDialog(parent), width_(new QSpinBox(this)), height_(new QSpinBox(this)) {
    setObjectName(QStringLiteral("ExportSizeDialog"));
    setWindowTitle(QStringLiteral("Export Plot"));
    for (QSpinBox* box : {width_, height_}) {
        box->setRange(16, static_cast<int>(MaxStepsAcross));
        box->setSuffix(QStringLiteral(" px"));
    }
    width_->setObjectName(QStringLiteral("ExportWidth"));
    height_->setObjectName(QStringLiteral("ExportHeight"));
    width_->setValue(initial.width());
    height_->setValue(initial.height());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Width:"), width_);
    form->addRow(QStringLiteral("Height:"), height_);
    form->addRow(buttons);
}

QSize ExportSizeDialog::chosenSize() const { return {width_->value(), height_->value()}; }

}  // namespace quillane
