// Whole texts scanned many lines per call: each line handed back leaves the state that scanning
// that line alone leaves, whatever the batch size, and ScanNextNcLine agrees line by line.
#include "core/ncplot/nc_scanner.h"

#include "ncplot/test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace quillane {
namespace {

ScanState Start(bool open) {
    ScanState s;
    s.GValue = 7;
    s.XValue = 111;
    s.ZValue = 222;
    s.InComment = open;
    return s;
}

// Walks `text` in batches of `capacity` lines next to ScanNextNcLine and to each line scanned
// alone (the next line starting with the LF, as the plots hand lines over).
void ExpectBatchesScanAsLines(const std::string& text, std::size_t capacity, bool open) {
    ScanState batched = Start(open), stepped = Start(open), alone = Start(open);
    std::vector<ScannedLine> lines(capacity);
    std::size_t start = 0, count = 0;
    for (;;) {
        const std::size_t n = ScanNcLines(batched, text, start, lines.data(), capacity);
        ASSERT_LE(n, capacity);
        for (std::size_t k = 0; k < n; ++k) {
            const std::size_t cr = text.find("\r\n", start);
            ASSERT_EQ(lines[k].End, cr) << text;
            ApplyScannedLine(batched, lines[k], start);
            ASSERT_EQ(ScanNextNcLine(stepped, text, start), cr) << text;
            ScanNcLine(alone, std::string_view(text).substr(start, cr - start));
            testing_support::ExpectSameScanState(batched, alone, text);
            testing_support::ExpectSameScanState(stepped, alone, text);
            start = cr + 1;
            ++count;
        }
        if (n < capacity) break;
    }
    // Every line that a CR LF ends, and nothing of a last one without it.
    std::size_t crlf = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 1)) ++crlf;
    EXPECT_EQ(count, crlf) << text;
    EXPECT_EQ(ScanNextNcLine(stepped, text, start), std::string_view::npos) << text;
    testing_support::ExpectSameScanState(stepped, alone, text);
}

// Long enough that the first words are read where the text goes on for a while, as in a program,
// and the last ones near its end.
const std::string kTail = "\r\nN9 G01 X12.5 Z-3.25 F0.2\r\nN10 G00 X40. Z5.\r\n(end of program)\r\n";

// clang-format off
class BatchScan : public testing::TestWithParam<const char*> {};
INSTANTIATE_TEST_SUITE_P(Table, BatchScan, testing::Values(
    "G00 X30.0 Z17.7\r\nG32 Z-80.0 F12.7\r\nG00 X28.0\r\nG00 Z17.7\r\nN1",  // a last line without CR LF
    "X1 (open\r\nX2 still inside\r\n) X3\r\nX4 (closed) X5",                  // ")" in the first column is not seen
    "(\r\n\r\n\r\nX6)X7\r\nX8",                                               // empty lines inside a comment
    "X1\rX2\nX3\r\r\nX4\n\r\nZ5\r",                                           // lone CRs and LFs
    "\r\n\r\nX1\r\n\r\n",                                                     // empty lines
    "X5+\r\nX6 Z7+\r\nZ8\r\n",                                                // an operator ends the line
    "X10+VC1 Z2\r\nXP=30 ZSP=VSIOZ\r\nX2*3/4-1\r\nZ1,5\r\nX1.2.3\r\n",        // symbolic words, expressions
    "X123456789.5 Z0.0001 X1.0000001 Z99999999 X12345678 Z-0. X. Z+.5\r\n",  // words beyond seven digits
    "G0 G1 G01 G32 G123 G-1 G1.5 G G+ G99999999999\r\n",                     // G numbers
    "X1234567.8 Z0.00099 X0.001 Z9999999.5 X-00000000000001\r\n"))           // at the edges of the range
;
// clang-format on

TEST_P(BatchScan, ScansEachLineAsThatLineAlone) {
    for (const std::string& text : {std::string(GetParam()), GetParam() + kTail, kTail + GetParam()}) {
        for (const std::size_t capacity : {1, 2, 3, 256}) {
            for (const bool open : {false, true}) ExpectBatchesScanAsLines(text, capacity, open);
        }
    }
}

TEST(BatchScan, RandomTextsScanAsTheirLines) {
    std::mt19937 random(2311);
    for (int i = 0; i < 3000; ++i) {
        const std::string text = testing_support::RandomNcText(random, 120);
        ExpectBatchesScanAsLines(text, 1 + random() % 4, i % 2 == 0);
        ExpectBatchesScanAsLines(text, 256, i % 2 != 0);
    }
}

}  // namespace
}  // namespace quillane
