#include <gtest/gtest.h>

#include <maya/MTime.h>

#include <cmath>

static_assert(MTime::kInvalid == 0 && MTime::kHours == 1 && MTime::kMinutes == 2 &&
                  MTime::kSeconds == 3 && MTime::kMilliseconds == 4 && MTime::kGames == 5 &&
                  MTime::kFilm == 6 && MTime::kPALFrame == 7 && MTime::kNTSCFrame == 8 &&
                  MTime::kShowScan == 9 && MTime::kPALField == 10 && MTime::kNTSCField == 11,
              "the first twelve units keep Maya's numbers");

namespace {

struct UnitCase {
    MTime::Unit unit;
    double perSecond;
};

class TimeUnitTest : public ::testing::TestWithParam<UnitCase> {};

TEST_P(TimeUnitTest, ConvertsExactlyToAndFromSeconds) {
    const UnitCase c = GetParam();
    EXPECT_EQ(MTime(c.perSecond, c.unit).as(MTime::kSeconds), 1.0);
    EXPECT_EQ(MTime(1.0, MTime::kSeconds).as(c.unit), c.perSecond);
    EXPECT_EQ(MTime(2.5, MTime::kSeconds).as(c.unit), 2.5 * c.perSecond);
    // One unit is the double nearest its true length in seconds.
    EXPECT_EQ(MTime(1.0, c.unit).as(MTime::kSeconds), 1.0 / c.perSecond);
    EXPECT_EQ(MTime(c.perSecond, c.unit), MTime(1.0, MTime::kSeconds));
    EXPECT_EQ(MTime(-3.0 * c.perSecond, c.unit).as(MTime::kMilliseconds), -3000.0);
}

INSTANTIATE_TEST_SUITE_P(
    Units, TimeUnitTest,
    ::testing::Values(UnitCase{MTime::kFilm, 24}, UnitCase{MTime::kPALFrame, 25},
                      UnitCase{MTime::kNTSCFrame, 30}, UnitCase{MTime::kShowScan, 48},
                      UnitCase{MTime::kPALField, 50}, UnitCase{MTime::kNTSCField, 60},
                      UnitCase{MTime::kGames, 15}, UnitCase{MTime::kSeconds, 1},
                      UnitCase{MTime::kMilliseconds, 1000}, UnitCase{MTime::k120FPS, 120},
                      UnitCase{MTime::k6000FPS, 6000}));

TEST(TimeTest, ConvertsBetweenFrameRatesAndClockUnits) {
    EXPECT_EQ(MTime(12.0).unit(), MTime::kFilm);
    EXPECT_EQ(MTime(12.0, MTime::kFilm).as(MTime::kNTSCFrame), 15.0);
    EXPECT_EQ(MTime(12.0, MTime::kFilm).as(MTime::kPALFrame), 12.5);
    EXPECT_EQ(MTime(1.5, MTime::kHours).as(MTime::kMinutes), 90.0);
    EXPECT_EQ(MTime(90.0, MTime::kMinutes).as(MTime::kHours), 1.5);
    EXPECT_EQ(MTime(1.0, MTime::kHours).as(MTime::kFilm), 86400.0);
    EXPECT_EQ(MTime(7.0, MTime::kGames).as(MTime::kGames), 7.0);
}

// Maya 2022's broadcast and audio rates; a frame of each is a whole number of ticks, so they
// convert and compare exactly.
TEST(TimeTest, FractionalAndAudioRates) {
    static_assert(MTime::k23_976FPS == MTime::k6000FPS + 1 && MTime::k90FPS + 1 == MTime::kUserDef,
                  "Maya 2022's order");
    EXPECT_EQ(MTime(12.0, MTime::k29_97FPS).as(MTime::kSeconds), 12.0 * 1001 / 30000);
    EXPECT_EQ(MTime(12.0 * 1001 / 30000, MTime::kSeconds).as(MTime::k29_97FPS), 12.0);
    EXPECT_DOUBLE_EQ(MTime(24.0, MTime::k23_976FPS).as(MTime::kFilm), 24.0 * 1.001);
    EXPECT_EQ(MTime(120.0, MTime::k59_94FPS), MTime(60.0, MTime::k29_97DF));
    EXPECT_EQ(MTime(60.0, MTime::k59_94FPS), MTime(60.0, MTime::k29_97FPS) * 0.5);
    EXPECT_EQ(MTime(30.0, MTime::k29_97FPS), MTime(1.001, MTime::kSeconds));
    EXPECT_GT(MTime(30.0, MTime::k29_97FPS), MTime(1.0, MTime::kSeconds));
    EXPECT_EQ(MTime(44100.0, MTime::k44100FPS), MTime(48000.0, MTime::k48000FPS));
    EXPECT_DOUBLE_EQ(MTime(3.0, MTime::k90FPS).as(MTime::k47_952FPS), 3.0 / 90 * 48000 / 1001);
}

TEST(TimeTest, SetUnitKeepsTheTime) {
    MTime t(12.0, MTime::kFilm);
    ASSERT_TRUE(t.setUnit(MTime::kNTSCFrame));
    EXPECT_EQ(t.unit(), MTime::kNTSCFrame);
    EXPECT_EQ(t.value(), 15.0);
    EXPECT_EQ(t.as(MTime::kSeconds), 0.5);

    ASSERT_TRUE(t.setValue(60.0));
    EXPECT_EQ(t.as(MTime::kSeconds), 2.0);
}

TEST(TimeTest, UnitsWithoutARateAreRefusedAndConvertToZero) {
    MTime t(12.0, MTime::kFilm);
    EXPECT_EQ(t.setUnit(MTime::kInvalid), MStatus::kInvalidParameter);
    EXPECT_EQ(t.setUnit(MTime::kUserDef), MStatus::kInvalidParameter);
    EXPECT_EQ(t.setUnit(MTime::kLast), MStatus::kInvalidParameter);
    EXPECT_EQ(t.unit(), MTime::kFilm);
    EXPECT_EQ(t.value(), 12.0);
    EXPECT_EQ(t.as(MTime::kUserDef), 0.0);
    EXPECT_EQ(MTime(5.0, MTime::kInvalid).as(MTime::kSeconds), 0.0);
    EXPECT_EQ(MTime(5.0, static_cast<MTime::Unit>(MTime::kLast + 3)).as(MTime::kSeconds), 0.0);
    EXPECT_EQ(MTime::setUIUnit(MTime::kInvalid), MStatus::kInvalidParameter);
}

TEST(TimeTest, ArithmeticKeepsTheLeftUnit) {
    const MTime film(12.0, MTime::kFilm);
    const MTime sum = film + MTime(0.5, MTime::kSeconds);
    EXPECT_EQ(sum.unit(), MTime::kFilm);
    EXPECT_EQ(sum.value(), 24.0);
    EXPECT_EQ((film - MTime(15.0, MTime::kNTSCFrame)).value(), 0.0);
    EXPECT_EQ((film + 1.0).value(), 13.0);
    EXPECT_EQ((film * 2.0).value(), 24.0);
    EXPECT_EQ((film / 4.0).value(), 3.0);

    MTime t = film;
    EXPECT_EQ((t++).value(), 12.0);
    EXPECT_EQ(t.value(), 13.0);
    EXPECT_EQ((--t).value(), 12.0);
}

TEST(TimeTest, ComparesTimesAcrossUnits) {
    EXPECT_EQ(MTime(24.0, MTime::kFilm), MTime(1000.0, MTime::kMilliseconds));
    EXPECT_EQ(MTime(1.0, MTime::kFilm), MTime(250.0, MTime::k6000FPS));
    EXPECT_NE(MTime(24.0, MTime::kFilm), MTime(24.0, MTime::kNTSCFrame));
    EXPECT_GT(MTime(24.0, MTime::kFilm), MTime(24.0, MTime::kPALFrame));
    EXPECT_GT(MTime(1.0, MTime::kMinutes), MTime(59.0, MTime::kSeconds));
    EXPECT_LE(MTime(2.0, MTime::kSeconds), MTime(60.0, MTime::kNTSCFrame));
    EXPECT_GE(MTime(2.0, MTime::kSeconds), MTime(60.0, MTime::kNTSCFrame));
}

TEST(TimeTest, DefaultTimeIsZeroInTheSceneUnit) {
    EXPECT_EQ(MTime::uiUnit(), MTime::kFilm);
    EXPECT_EQ(MTime().unit(), MTime::kFilm);
    EXPECT_EQ(MTime().value(), 0.0);

    ASSERT_TRUE(MTime::setUIUnit(MTime::kNTSCField));
    EXPECT_EQ(MTime::uiUnit(), MTime::kNTSCField);
    EXPECT_EQ(MTime().unit(), MTime::kNTSCField);
    // An explicit value without a unit is still in film frames, as in Maya.
    EXPECT_EQ(MTime(24.0).unit(), MTime::kFilm);
    ASSERT_TRUE(MTime::setUIUnit(MTime::kFilm));
}

}  // namespace
