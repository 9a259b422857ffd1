#include <gtest/gtest.h>

#include <QStringList>

#include "link/values.h"
#include "transfer/progresscounter.h"

TEST(ProgressCounter, StepsInSinglePrecisionAndRoundHalvesToEven)
{
    ProgressCounter counter;
    counter.start(-0.5); // 100 / 8 = 12.5 a step: halves go to the even neighbour
    QStringList shown;
    for (int i = 0; i < 5; ++i)
        shown << ProgressCounter::percentText(counter.step());
    EXPECT_EQ(shown, (QStringList { "12%", "25%", "38%", "50%", "62%" }));
    counter.start(10); // ten points without the Specific Gravity: 28 of 29 steps
    for (int i = 0; i < 27; ++i)
        counter.step();
    EXPECT_EQ(counter.step(), 97);
    counter.start(-4.5); // 2n + 9 = 0: a failure, not a nonsense percentage
    EXPECT_THROW(counter.step(), Values::OverflowError);
}
