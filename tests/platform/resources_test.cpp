// The test program's own CUSTOM resources, read as setup.exe reads its payload.
#include <gtest/gtest.h>

#include "config/scramble.h"
#include "test_support.h"

namespace {

std::string asString(const std::vector<unsigned char>& bytes) { return std::string(bytes.begin(), bytes.end()); }

TEST(Resources, FoundScrambledAndMissing) {
    Win32System system;
    int error = 99;
    const std::vector<unsigned char> probe = system.loadCustomResource(u"PROBE", error);
    EXPECT_EQ(platform::kResourceOk, error);
    const std::string expected = readFileBytes(programFolder() + u"\\probe.bin");
    ASSERT_EQ(782u, expected.size());  // every byte value three times, then a text line
    EXPECT_EQ(expected, asString(probe));

    const std::string settings = readFileBytes(programFolder() + u"\\settings_like.xml");
    ASSERT_FALSE(settings.empty());
    error = 99;
    EXPECT_EQ(settings, asString(loadCustomResource(system, u"SCRAMBLED_SETTINGS", error, true)));
    EXPECT_EQ(platform::kResourceOk, error);
    EXPECT_EQ(readFileBytes(programFolder() + u"\\settings_like.scrambled"),
              asString(loadCustomResource(system, u"SCRAMBLED_SETTINGS", error, false)));

    error = 99;
    EXPECT_TRUE(system.loadCustomResource(u"NO_SUCH_RESOURCE", error).empty());
    EXPECT_EQ(platform::kResourceNotFound, error);
    error = 99;
    EXPECT_TRUE(loadCustomResource(system, u"NO_SUCH_RESOURCE", error, true).empty());
    EXPECT_EQ(platform::kResourceNotFound, error);
}

}  // namespace
