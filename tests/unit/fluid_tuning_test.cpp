#include <gtest/gtest.h>

#include <string>

#include "testing/fluid_support.h"

namespace {

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

class Tuning : public ::testing::Test {
protected:
    fluidtest::SavedFluidState saved;

    void SetUp() override {
        for (TuningList* list : {&numList, &sizeList, &negativeList, &kszakList}) {
            list->count = 0;
            list->cursor = 0;
        }
    }

    static void load(TuningList& list, const std::string& body) {
        parseTuningText(list, "header line\n" + body, "test.dat");
    }
};

TEST_F(Tuning, CountIsCappedAndAppliesOnlyAfterItsTime) {
    load(numList, "30 250000\n");
    particleCount = 5;
    applyTuningSchedules(30.0f);
    EXPECT_EQ(particleCount, 5);  // strictly after the record's time
    applyTuningSchedules(30.01f);
    EXPECT_EQ(particleCount, kMaxParticles);
}

TEST_F(Tuning, SizeRecordSetsAllThree) {
    load(sizeList, "40 2 9 10\n");
    applyTuningSchedules(40.5f);
    EXPECT_EQ(MIN_PAR, 2.0f);
    EXPECT_EQ(MAX_PAR, 9.0f);
    EXPECT_EQ(sizeLayerCount, 10);
}

TEST_F(Tuning, SwitchesFollowTheirLists) {
    load(negativeList, "0 0\n12.5 1\n");
    load(kszakList, "3.25 1\n");
    negativeOn = 1;
    overlayOn = 0;
    applyTuningSchedules(0.0f);
    EXPECT_EQ(negativeOn, 1);  // a time-0 record waits for a time above 0
    applyTuningSchedules(0.02f);
    EXPECT_EQ(negativeOn, 0);
    EXPECT_EQ(overlayOn, 0);
    applyTuningSchedules(3.3f);
    EXPECT_EQ(overlayOn, 1);
    applyTuningSchedules(12.4f);
    EXPECT_EQ(negativeOn, 0);  // float times are kept as written
    applyTuningSchedules(12.6f);
    EXPECT_EQ(negativeOn, 1);
}

TEST_F(Tuning, AtMostOneRecordPerFrameInFileOrder) {
    load(numList, "1 100\n2 200\n50 300\n3 400\n");
    applyTuningSchedules(10.0f);
    EXPECT_EQ(particleCount, 100);
    applyTuningSchedules(10.0f);
    EXPECT_EQ(particleCount, 200);
    // The record for 50 s holds back the one for 3 s behind it.
    applyTuningSchedules(10.0f);
    EXPECT_EQ(particleCount, 200);
    applyTuningSchedules(51.0f);
    EXPECT_EQ(particleCount, 300);
    applyTuningSchedules(51.0f);
    EXPECT_EQ(particleCount, 400);
    EXPECT_EQ(numList.cursor, 4);
}

TEST_F(Tuning, ResetCursorsReplaysFromTheStart) {
    load(numList, "1 100\n2 200\n");
    load(kszakList, "1 1\n");
    applyTuningSchedules(5.0f);
    applyTuningSchedules(5.0f);
    EXPECT_EQ(particleCount, 200);
    overlayOn = 0;
    resetTuningCursors();
    EXPECT_EQ(numList.cursor, 0);
    EXPECT_EQ(kszakList.cursor, 0);
    applyTuningSchedules(5.0f);
    EXPECT_EQ(particleCount, 100);
    EXPECT_EQ(overlayOn, 1);
}

// A run that starts late applies everything due at once, holding back what is not due yet.
TEST_F(Tuning, CatchUpAppliesEveryDueRecordBeforeTheFirstFrame) {
    load(numList, "1 100\n2 200\n50 300\n3 400\n");
    load(negativeList, "10 1\n10.1 0\n20 1\n20.1 0\n60 1\n");
    negativeOn = 1;
    catchUpTuningSchedules(30.0f);
    EXPECT_EQ(particleCount, 200);
    EXPECT_EQ(numList.cursor, 2);
    EXPECT_EQ(negativeOn, 0);
    EXPECT_EQ(negativeList.cursor, 4);
    applyTuningSchedules(30.0f);  // later frames go on one record at a time
    EXPECT_EQ(negativeOn, 0);
}

TEST_F(Tuning, ConvertsLikeAtoiAndAtof) {
    load(numList, "12.9 3e2\nabc 77.9x\n# 5\n");
    ASSERT_EQ(numList.count, 3);
    EXPECT_EQ(numList.records[0].time, 12.0f);  // p-num times are whole seconds
    EXPECT_EQ(numList.records[0].first, 300);
    EXPECT_EQ(numList.records[1].time, 0.0f);   // not a number
    EXPECT_EQ(numList.records[1].first, 77);
    EXPECT_EQ(numList.records[2].time, 0.0f);   // '#' is just a 0 outside p-kszak
    EXPECT_EQ(numList.records[2].first, 5);
    load(sizeList, "7.8 -2 +4 99999999999\n");
    ASSERT_EQ(sizeList.count, 1);
    EXPECT_EQ(sizeList.records[0].time, 7.0f);
    EXPECT_EQ(sizeList.records[0].first, -2);
    EXPECT_EQ(sizeList.records[0].second, 4);
    EXPECT_EQ(sizeList.records[0].third, 2147483647);  // saturates instead of overflowing
    load(numList, "5 1e30\n6 -1e30\n7 nan\n");
    EXPECT_EQ(numList.records[0].first, 2147483647);
    EXPECT_EQ(numList.records[1].first, -2147483647 - 1);
    EXPECT_EQ(numList.records[2].first, 0);
}

TEST_F(Tuning, RecordsSpanLinesFreely) {
    load(sizeList, "1 2\n3\t4 5 6\r\n7 8");
    ASSERT_EQ(sizeList.count, 2);
    EXPECT_EQ(sizeList.records[1].time, 5.0f);
    EXPECT_EQ(sizeList.records[1].third, 8);
}

TEST_F(Tuning, KszakSkipsTwoWordComments) {
    load(kszakList, "# note\n10 1\n#tag x 20 0\n");
    ASSERT_EQ(kszakList.count, 2);
    EXPECT_EQ(kszakList.records[0].time, 10.0f);
    EXPECT_EQ(kszakList.records[1].time, 20.0f);
    EXPECT_EQ(kszakList.records[1].first, 0);
}

TEST_F(Tuning, KszakThreeWordCommentShiftsTheRest) {
    load(kszakList, "# a b\n10 1\n");
    // "b 10" becomes a record (time 0, value 10); the lone "1" is cut short.
    ASSERT_EQ(kszakList.count, 1);
    EXPECT_EQ(kszakList.records[0].time, 0.0f);
    EXPECT_EQ(kszakList.records[0].first, 10);
}

TEST_F(Tuning, LastRecordWithoutItsFinalWordIsDropped) {
    load(sizeList, "1 2 3 4\n5 6 7\n");
    EXPECT_EQ(sizeList.count, 1);
    load(negativeList, "1 0\n2");
    EXPECT_EQ(negativeList.count, 1);
}

TEST_F(Tuning, HeaderLongerThan254CharactersEmptiesTheList) {
    parseTuningText(numList, std::string(254, 'h') + "\n1 100\n", "test.dat");
    EXPECT_EQ(numList.count, 1);
    parseTuningText(numList, std::string(255, 'h') + "\n1 100\n", "test.dat");
    EXPECT_EQ(numList.count, 0);
    parseTuningText(numList, "only a header", "test.dat");
    EXPECT_EQ(numList.count, 0);
}

TEST_F(Tuning, ExtraRecordsAreIgnoredWithAMessage) {
    std::string body;
    for (int i = 0; i < 120; ++i) body += std::to_string(i) + " 1\n";
    testing::internal::CaptureStderr();
    parseTuningText(numList, "h\n" + body, "dat/p-num.dat");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(numList.count, 99);
    EXPECT_EQ(numList.records[98].time, 98.0f);
    EXPECT_TRUE(contains(err, "dat/p-num.dat")) << err;
    EXPECT_TRUE(contains(err, "ignored")) << err;

    // Exactly the maximum is no overflow; comments beyond it are no records either.
    std::string full;
    for (int i = 0; i < 100; ++i) full += std::to_string(i) + " 1\n";
    testing::internal::CaptureStderr();
    parseTuningText(kszakList, "h\n" + full + "# trailing\n", "dat/p-kszak.dat");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(kszakList.count, 100);
}

TEST_F(Tuning, OverlongWordsAreCutAt79Characters) {
    testing::internal::CaptureStderr();
    load(negativeList, "1 " + std::string(79, '0') + "7 2 1\n");
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_EQ(negativeList.count, 2);
    EXPECT_EQ(negativeList.records[0].first, 0);  // the 7 was the 80th character
    EXPECT_EQ(negativeList.records[1].time, 2.0f);
    EXPECT_TRUE(contains(err, "test.dat")) << err;
}

TEST_F(Tuning, MissingFileGivesAnEmptyListSilently) {
    load(numList, "1 100\n");
    numList.cursor = 1;
    testing::internal::CaptureStderr();
    loadTuningFile(numList, "/nonexistent/velkarn/p-num.dat");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(numList.count, 0);
    EXPECT_EQ(numList.cursor, 0);
}

TEST_F(Tuning, LoadsAFileFromDisk) {
    fluidtest::ScratchDir dir;
    const std::string path = dir.file("p-size.dat");
    fluidtest::writeFile(path, "time min max layers\n0 1 6 20\n30 2 8 16\n");
    loadTuningFile(sizeList, path.c_str());
    ASSERT_EQ(sizeList.count, 2);
    EXPECT_EQ(sizeList.records[1].second, 8);
}

}  // namespace

namespace {

// The four files shipped in dat/ read cleanly and keep their records in time order.
TEST(TuningShipped, FilesAreWellFormed) {
    fluidtest::SavedFluidState saved;
    const std::string dat = std::string(VELKARN_SOURCE_DIR) + "/dat/";
    struct Shipped {
        TuningList* list;
        const char* name;
    };
    for (const Shipped& file : {Shipped{&numList, "p-num.dat"}, Shipped{&sizeList, "p-size.dat"},
                                Shipped{&negativeList, "p-negative.dat"}, Shipped{&kszakList, "p-kszak.dat"}}) {
        testing::internal::CaptureStderr();
        loadTuningFile(*file.list, (dat + file.name).c_str());
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << file.name;
        ASSERT_GT(file.list->count, 0) << file.name;
        for (int i = 1; i < file.list->count; ++i) {
            EXPECT_LE(file.list->records[static_cast<std::size_t>(i - 1)].time,
                      file.list->records[static_cast<std::size_t>(i)].time)
                << file.name << " record " << i;
        }
    }
    // Every point size is one the driver can draw at 1080 lines: positive, and within
    // 64 pixels (what smooth points reach on common hardware) in the double-size
    // particle image; every count fits the particle array.
    for (int i = 0; i < sizeList.count; ++i) {
        const TuningRecord& r = sizeList.records[static_cast<std::size_t>(i)];
        const float scale = 1080.0f * 0.5f / 720.0f;
        EXPECT_GE(r.first, 1) << "p-size record " << i;
        EXPECT_LE(r.first, r.second) << "p-size record " << i;
        EXPECT_LE(r.second * scale, 64.0f) << "p-size record " << i;
        EXPECT_GE(r.third, 2) << "p-size record " << i << ": fewer than two bands draw nothing";
    }
    for (int i = 0; i < numList.count; ++i) {
        const int count = numList.records[static_cast<std::size_t>(i)].first;
        EXPECT_TRUE(count >= 0 && count <= kMaxParticles) << "p-num record " << i;
    }
    // The picture starts plain: the inversion is on until a record turns it off, and only a
    // record before 0 s is due in a first frame at exactly 0 s.
    EXPECT_LT(negativeList.records[0].time, 0.0f);
    EXPECT_EQ(negativeList.records[0].first, 0);
}

}  // namespace
