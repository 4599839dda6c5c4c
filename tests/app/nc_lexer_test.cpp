// The NC lexer in an editor: the styles Scintilla holds after styling a CR LF program, a comment
// opened and closed by an edit, the panes' font and background in every style.
#include "app/nc_lexer.h"
#include "app/program_pane.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QPalette>
#include <QTest>

#include <algorithm>
#include <cmath>

using namespace quillane;

Q_DECLARE_METATYPE(quillane::NcStyle)

namespace {

// Each line ends with CR LF, as in the panes.
constexpr const char* Program =
    "N000 MODIN OG34 XP=28 ZP=-80 FD=12.7\r\n"
    "(-----< D36 >-----)\r\n"
    "N001 G00 X30 Z17.7\r\n"
    "N000 G34 Z-80 F12.7\r\n"
    "N000     X800 Z300 M05 ( END )\r\n"
    "( OPEN\r\n"
    "G01 U1 W2\r\n"
    "T1) G28 S700\r\n";

// Scintilla's style of every byte of the first `marker` in the text, or -1 when they differ.
int StyleOf(const QsciScintilla& pane, const char* marker) {
    const long at = static_cast<long>(QByteArray(Program).indexOf(marker));
    if (at < 0) return -2;
    const int style = static_cast<int>(pane.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, at));
    for (long k = 1; k < static_cast<long>(qstrlen(marker)); ++k) {
        if (pane.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, at + k) != style) return -1;
    }
    return style;
}

// What a paint asks for: the styles up to the document's end, from where they were last right
// (the line of the last edit).
void StyleNeeded(QsciScintilla& pane) {
    emit pane.SCN_STYLENEEDED(static_cast<int>(pane.SendScintilla(QsciScintillaBase::SCI_GETLENGTH)));
}

}  // namespace

class NcLexerTest : public QObject {
    Q_OBJECT

private slots:
    void stylesTheWords_data() {
        QTest::addColumn<QByteArray>("marker");
        QTest::addColumn<NcStyle>("style");
        const auto row = [](const char* marker, NcStyle style) {
            QTest::newRow(marker) << QByteArray(marker) << style;
        };
        row("N000", NcStyle::SequenceNumber);
        row("MODIN", NcStyle::MacroWord);
        row("OG34", NcStyle::ProgramNumber);
        row("XP=28", NcStyle::MacroParameter);
        row("FD=12.7", NcStyle::MacroParameter);
        row("(-----< D36 >-----)", NcStyle::HeaderComment);
        row("G00", NcStyle::GCode);
        row("X30", NcStyle::AxisWord);
        row("Z-80", NcStyle::AxisWord);
        row("F12.7", NcStyle::Feed);
        row("M05", NcStyle::MCode);
        row("( END )", NcStyle::Comment);
        row("     ", NcStyle::Default);
        // a comment open over a line end, closed after the first column of the next line
        row("( OPEN", NcStyle::Comment);
        row("G01 U1 W2", NcStyle::Comment);
        row("T1)", NcStyle::Comment);
        row("G28", NcStyle::GCode);
        row("S700", NcStyle::OtherWord);
    }

    void stylesTheWords() {
        QFETCH(QByteArray, marker);
        QFETCH(NcStyle, style);
        QsciScintilla pane;
        pane.setLexer(new NcLexer(&pane));
        pane.setText(QString::fromLatin1(Program));
        StyleNeeded(pane);
        QCOMPARE(StyleOf(pane, marker.constData()), static_cast<int>(style));
    }

    // Closing the open comment restyles the line after it; opening it again turns it back.
    void anEditCarriesTheCommentOn() {
        QsciScintilla pane;
        pane.setLexer(new NcLexer(&pane));
        pane.setText(QString::fromLatin1(Program));
        StyleNeeded(pane);
        const long close = static_cast<long>(QByteArray(Program).indexOf("( OPEN") + 6);
        pane.SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, static_cast<unsigned long>(close), ")");
        StyleNeeded(pane);
        const long g01 = close + 3;  // ")\r\n" then the next line
        QCOMPARE(pane.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, g01), static_cast<long>(NcStyle::GCode));
        QCOMPARE(pane.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, g01 + 4), static_cast<long>(NcStyle::AxisWord));
        pane.SendScintilla(QsciScintillaBase::SCI_DELETERANGE, static_cast<unsigned long>(close), 1L);
        StyleNeeded(pane);
        QCOMPARE(pane.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, g01 - 1), static_cast<long>(NcStyle::Comment));
        // An edit inside the commented line ("GX01") restyles from that line's start, with the state
        // the line before it left.
        pane.SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, static_cast<unsigned long>(g01), "X");
        QCOMPARE(pane.SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED), g01);
        StyleNeeded(pane);
        for (const long at : {g01 - 1, g01}) {
            QCOMPARE(pane.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, at), static_cast<long>(NcStyle::Comment));
        }
    }

    // One face and size in every style, so no word changes a column's width; the pane's
    // background under every style, also after it changes; inks that read on it.
    void keepsThePanesLook() {
        NcLexer lexer;
        const QFont paneFont = ProgramPaneFont();
        const QColor base = QApplication::palette().color(QPalette::Base);
        for (int style = 0; style < NcStyleCount; ++style) {
            QVERIFY(!lexer.description(style).isEmpty());
            const QFont font = lexer.font(style);
            QCOMPARE(font.family(), paneFont.family());
            QCOMPARE(font.pointSizeF(), paneFont.pointSizeF());
            QCOMPARE(font.weight(), QFont::Normal);
            QVERIFY(!font.italic());
            QCOMPARE(lexer.paper(style), base);
        }
        QVERIFY(lexer.description(NcStyleCount).isEmpty());
        const QColor face = QApplication::palette().color(QPalette::Button);
        lexer.setBackground(face);
        for (int style = 0; style < NcStyleCount; ++style) QCOMPARE(lexer.paper(style), face);

        // WCAG's contrast ratio, at least 4.5 for every ink on the light and the dark panes.
        const auto luminance = [](const QColor& c) {
            const auto channel = [](float v) {
                return v <= 0.03928f ? v / 12.92f : std::pow((v + 0.055f) / 1.055f, 2.4f);
            };
            return 0.2126f * channel(c.redF()) + 0.7152f * channel(c.greenF()) + 0.0722f * channel(c.blueF());
        };
        for (const QColor background :
             {QColor(255, 255, 255), QColor(239, 239, 239), QColor(45, 45, 45), QColor(30, 30, 30)}) {
            for (int style = 0; style < NcStyleCount; ++style) {
                const float a = luminance(NcLexer::Ink(static_cast<NcStyle>(style), background));
                const float b = luminance(background);
                const float ratio = (std::max(a, b) + 0.05f) / (std::min(a, b) + 0.05f);
                QVERIFY2(ratio >= 4.5f,
                         qPrintable(QStringLiteral("style %1 on %2: %3").arg(style).arg(background.name()).arg(ratio)));
            }
        }
    }
};

QTEST_MAIN(NcLexerTest)
#include "nc_lexer_test.moc"
