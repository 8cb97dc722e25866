// Version strings as version resources hold them.
#include <gtest/gtest.h>

#include "platform/version.h"

TEST(Version, ParsesBothSeparatorsAndKeepsPartialResults) {
    Version v{};
    EXPECT_TRUE(parseVersion(u"4, 0, 30319, 1", v));
    EXPECT_EQ(v, (Version{4, 0, 30319, 1}));
    EXPECT_TRUE(parseVersion(u"1..2.3.4", v));
    EXPECT_EQ(v, (Version{1, 2, 3, 4}));

    Version partial{9, 9, 9, 9};
    EXPECT_FALSE(parseVersion(u"2.0.50727", partial));
    EXPECT_EQ(partial, (Version{2, 0, 50727, 9}));
    EXPECT_FALSE(parseVersion(u"", partial));
}

TEST(Version, ComparesFieldByFieldUnsigned) {
    EXPECT_FALSE(versionLess({1, 2, 3, 4}, {1, 2, 3, 4}));
    EXPECT_TRUE(versionLess({1, 2, 3, 4}, {1, 2, 4, 0}));
    EXPECT_FALSE(versionLess({2, 0, 0, 0}, {1, 9, 9, 9}));
    EXPECT_TRUE(versionLess({1, 0, 0, 0}, {0xFFFFFFFFu, 0, 0, 0}));
}
