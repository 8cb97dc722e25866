// The progress page's worker decisions: extraction pieces, copy percent,
// room on the volume, the runtime installer's program line and a copy onto itself.
#include <gtest/gtest.h>

#include <limits>

#include "install/work_plan.h"

namespace {

TEST(WorkPlan, ExtractionPiecesCoverTheResourceAndStayBelowAHundredPercent) {
    ASSERT_EQ(work::extractionPieces(100).size(), 1u);
    EXPECT_EQ(work::extractionPieces(100)[0].length, 100u);
    EXPECT_EQ(work::extractionPieces(0)[0].length, 0u);
    for (const std::uint64_t size : {101ull, 200ull, 12345ull, 5000000001ull}) {
        const auto pieces = work::extractionPieces(size);
        std::uint64_t written = 0;
        int highest = -1;
        for (const auto& piece : pieces) {
            written += piece.length;
            highest = std::max(highest, piece.percent);
        }
        EXPECT_EQ(written, size) << size;
        EXPECT_EQ(highest, 99) << size;
        EXPECT_EQ(pieces.size(), size % 100 ? 101u : 100u) << size;
    }
    const auto small = work::extractionPieces(101);
    EXPECT_EQ(small.front().length, 1u);
    EXPECT_EQ(small.back().length, 1u);
    EXPECT_EQ(small.back().percent, -1);
}

TEST(WorkPlan, CopyPercentIsSafeForEmptyAndHugeTotals) {
    EXPECT_EQ(work::copyPercent(0, 0), 0);
    EXPECT_EQ(work::copyPercent(500, 0), 0);
    EXPECT_EQ(work::copyPercent(999, 1000), 99);
    EXPECT_EQ(work::copyPercent(1500, 1000), 100);  // a total counted short
    const std::uint64_t fiveGiB = 5ull << 30;       // beyond 32 bits
    EXPECT_EQ(work::copyPercent(fiveGiB / 2, fiveGiB), 50);
    const std::uint64_t most = std::numeric_limits<std::uint64_t>::max();
    EXPECT_EQ(work::copyPercent(most - 1, most), 99);
}

TEST(WorkPlan, ExtractionNeedsMoreThanSizeAndSlack) {
    EXPECT_FALSE(work::extractionFits(1000 + 65536, 1000));
    EXPECT_TRUE(work::extractionFits(1000 + 65537, 1000));
    EXPECT_FALSE(work::extractionFits(10, 1000));  // no wrap-around below zero
    EXPECT_TRUE(work::extractionFits(std::nullopt, 1ull << 40));
}

TEST(WorkPlan, RuntimeInstallerLineAndItsThreeSeconds) {
    EXPECT_EQ(work::quotedProgram(u"C:\\Temp\\NetFx20SP2_x86.exe"), u"\"C:\\Temp\\NetFx20SP2_x86.exe\"");
    EXPECT_EQ(work::quotedProgram(u"\"C:\\a b.exe\" /q"), u"\"C:\\a b.exe\" /q");
    const std::u16string q = u"/q", norestart = u"/norestart";
    EXPECT_EQ(work::programArguments(&q, &norestart), u"/q /norestart");
    EXPECT_EQ(work::programArguments(&q, nullptr), u"/q");
    EXPECT_EQ(work::programArguments(nullptr, nullptr), u"");
    EXPECT_EQ(work::remainingDisplayMs(0.5), 2500u);
    EXPECT_EQ(work::remainingDisplayMs(2.9999999), 1u);
    EXPECT_EQ(work::remainingDisplayMs(3.0), 0u);
    EXPECT_EQ(work::remainingDisplayMs(10.0), 0u);
}

TEST(WorkPlan, ACopyOntoItsOwnSourceIsRecognised) {
    EXPECT_TRUE(work::sameFilePath(u"E:\\Setup\\setup.exe", u"e:/setup//SETUP.EXE"));
    EXPECT_TRUE(work::sameFilePath(u"E:\\Setup\\setup.exe", u"\\\\?\\E:\\Setup\\.\\sub\\..\\setup.exe"));
    EXPECT_TRUE(work::sameFilePath(u"\\\\srv\\share\\a.cab", u"\\\\?\\UNC\\srv\\share\\a.cab"));
    EXPECT_FALSE(work::sameFilePath(u"E:\\Setup\\setup.exe", u"F:\\Setup\\setup.exe"));
    EXPECT_FALSE(work::sameFilePath(u"\\\\srv\\share\\a.cab", u"srv\\share\\a.cab"));
    EXPECT_FALSE(work::sameFilePath(u"E:\\a\\b.txt", u"E:\\a\\..\\..\\b.txt"));
}

}  // namespace
