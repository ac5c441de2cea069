#include "privacy/CookieTimeText.h"

#include <gtest/gtest.h>

namespace {

// 27 May 2001 17:33:36 and the midnight that begins that day.
const platform::TDateTime Afternoon = platform::encodeDateTime({2001, 5, 27, 17, 33, 36, 0});
const platform::TDateTime Midnight = platform::encodeDateTime({2001, 5, 27, 0, 0, 0, 0});

TEST(CookieTimeText, ShortDateAndTimeToTheMinute)
{
    EXPECT_EQ(CookieTimeText(Afternoon, QLocale(QLocale::German, QLocale::Germany)),
              "27.05.2001 17:33");
    // Twelve-hour clocks keep their day period once the seconds are gone.
    // (the space before the day period differs between Qt's locale data versions)
    const QString american =
        CookieTimeText(Afternoon, QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_TRUE(american.startsWith("5/27/2001 5:33")) << american.toStdString();
    EXPECT_TRUE(american.endsWith("PM")) << american.toStdString();
    EXPECT_EQ(american.size(), 17);
    // The C locale's time format still shows seconds; they go with their separator.
    EXPECT_EQ(CookieTimeText(Afternoon, QLocale::c()), "27 May 2001 17:33");
    // Seconds are cut, not rounded.
    EXPECT_EQ(
        CookieTimeText(platform::encodeDateTime({2001, 5, 27, 17, 33, 59, 999}), QLocale::c()),
        "27 May 2001 17:33");
}

TEST(CookieTimeText, DateAloneAtMidnight)
{
    EXPECT_EQ(CookieTimeText(Midnight, QLocale(QLocale::German, QLocale::Germany)), "27.05.2001");
    EXPECT_EQ(CookieTimeText(Midnight + 1.0 / 86'400'000, QLocale::c()), "27 May 2001 00:00");
}

TEST(CookieTimeText, NoTimeGivesTheEmptyText)
{
    // A zero file time: a day in 1601, or 0 where the shift to local time fails.
    EXPECT_EQ(CookieTimeText(-109205.0), QString());
    EXPECT_EQ(CookieTimeText(0.0), QString());
    EXPECT_EQ(CookieTimeText(-0.5), QString());
}

} // namespace
