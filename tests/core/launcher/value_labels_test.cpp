// Texts of the launcher's value labels.
#include "value_labels.h"

#include <gtest/gtest.h>

TEST(ValueLabels, CountAndVariationShowThePosition)
{
    EXPECT_EQ(count_label_text(1), "1");
    EXPECT_EQ(count_label_text(50), "50");
    EXPECT_EQ(variation_label_text(0), "0");
    EXPECT_EQ(variation_label_text(100), "100");
}

TEST(ValueLabels, TimeoutZeroReadsNoTimeout)
{
    EXPECT_EQ(timeout_label_text(0), "No timeout");
    EXPECT_EQ(timeout_label_text(1), "1");
    EXPECT_EQ(timeout_label_text(15), "15");
    EXPECT_EQ(timeout_label_text(600), "600");
}

TEST(ValueLabels, SizeShowsTheMultiplierWithOneDecimal)
{
    const char* texts[] = {"0.5", "0.6", "0.7", "0.8", "0.9", "1.0", "1.1", "1.2", "1.3",
                           "1.4", "1.5", "1.6", "1.7", "1.8", "1.9", "2.0", "2.1", "2.2",
                           "2.3", "2.4", "2.5", "2.6", "2.7", "2.8", "2.9", "3.0"};
    for (int position = 5; position <= 30; ++position)
        EXPECT_EQ(size_label_text(position), texts[position - 5]) << "position " << position;
}
