// The colouring of NC words in a program pane: a QScintilla lexer over the core's classifier.
#pragma once

#include "core/ncplot/nc_highlight.h"

#include <Qsci/qscilexercustom.h>

#include <QColor>

#include <string>
#include <vector>

namespace quillane {

// Style numbers are the NcStyle values. Every style has the panes' one fixed-pitch face (no bold
// or italic, so no word changes the width of a column) and the pane's background; the inks are
// a quiet set chosen for a light or a dark background.
class NcLexer : public QsciLexerCustom {
    Q_OBJECT
public:
    // Starts with the application palette's base colour as the background, as a current pane.
    explicit NcLexer(QObject* parent = nullptr);

    const char* language() const override;
    QString description(int style) const override;
    QColor defaultColor(int style) const override;
    QColor defaultPaper(int style) const override;
    QFont defaultFont(int style) const override;

    // Styles whole lines from the one holding `start` to the one holding `end - 1`, reading the
    // document's bytes where they lie.
    void styleText(int start, int end) override;

    // The pane's background (it changes when the pane gains or loses the focus): every style's
    // paper, and the inks that read on it.
    void setBackground(const QColor& background);
    QColor background() const { return background_; }

    // The ink of a style on a background, light or dark.
    static QColor Ink(NcStyle style, const QColor& background);

private:
    QColor background_;
    std::vector<NcRun> runs_;  // one line's runs, reused
    std::string styles_;       // the style bytes of the range being styled, reused
};

}  // namespace quillane
