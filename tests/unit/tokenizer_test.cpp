#include "config/tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> allTokens(Tokenizer& t) {
    std::vector<std::string> tokens;
    while (const char* token = t.nextToken()) tokens.emplace_back(token);
    return tokens;
}

}  // namespace

TEST(Tokenizer, SplitsAtWhitespaceAndSpecialBytesOnly) {
    Tokenizer xml(" \t\n\f\r", "&';</>=\"", 1);
    ASSERT_TRUE(xml.addString(" \t<a key=\"v w\"/>\r\n&lt;\xef\xbb\xbf'\xff"));
    EXPECT_EQ(allTokens(xml), (std::vector<std::string>{"<", "a", "key", "=", "\"", "v", "w", "\"", "/", ">", "&", "lt",
                                                        ";", "\xef\xbb\xbf", "'", "\xff"}));
    EXPECT_EQ(xml.nextToken(), nullptr);

    Tokenizer custom(",", "|", 0);
    ASSERT_TRUE(custom.addString("a b,,c|d\t"));
    EXPECT_EQ(allTokens(custom), (std::vector<std::string>{"a b", "c", "|", "d\t"}));
}

TEST(Tokenizer, CursorMovesAndStepsBack) {
    Tokenizer t(" ", "=<", 4);
    ASSERT_TRUE(t.addString("ab=c  de<"));
    t.ungetChar();  // at the start: no effect
    EXPECT_STREQ(t.nextToken(), "ab");
    EXPECT_EQ(t.nextChar(), '=');  // the zero written behind "ab" is gone again
    EXPECT_STREQ(t.nextToken(), "c");
    EXPECT_STREQ(t.nextToken(), "de");
    t.ungetToken();
    t.ungetToken();  // the token is forgotten; this one does nothing
    EXPECT_STREQ(t.nextToken(), "de");
    t.ungetChar();
    t.ungetToken();  // ungetChar forgot the token too
    EXPECT_EQ(t.nextChar(), 'e');
    EXPECT_EQ(t.nextChar(), '<');
    EXPECT_EQ(t.nextChar(), '\0');
    EXPECT_EQ(t.nextChar(), '\0');  // no advance at the end, so one step back is '<'
    t.ungetChar();
    EXPECT_STREQ(t.nextToken(), "<");
}

TEST(Tokenizer, AddStringAppendsOnlyWhileAtTheStart) {
    Tokenizer t(" ", "", 0);            // capacity raised to 1, then grown
    EXPECT_EQ(t.nextToken(), nullptr);  // nothing read yet, so appending still works
    ASSERT_TRUE(t.addString("first "));
    ASSERT_TRUE(t.addString(std::string(1000, 'z').c_str()));
    EXPECT_EQ(t.nextChar(), 'f');
    EXPECT_FALSE(t.addString("refused"));
    t.ungetChar();
    EXPECT_TRUE(t.addString(" end"));
    EXPECT_FALSE(t.addString(nullptr));
    EXPECT_EQ(allTokens(t), (std::vector<std::string>{"first", std::string(1000, 'z'), "end"}));
}
