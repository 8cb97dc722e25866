#include "config/xml_document.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#if __has_include(<pthread.h>)
#include <pthread.h>
#endif

namespace {

struct Parsed {
    XmlDocument document;
    std::string error;
    int result;
    explicit Parsed(const std::string& text) : result(document.parse(text.c_str(), error)) {}
    const XmlElement& child(std::size_t i) const { return *document.root().children.at(i); }
};

std::vector<std::string> childNames(const XmlElement& element) {
    std::vector<std::string> names;
    for (const auto& child : element.children) names.emplace_back(child->name);
    return names;
}

using Names = std::vector<std::string>;

}  // namespace

TEST(XmlParse, EmptyOrTagFreeTextGivesEmptyRoot) {
    for (const char* text : {"", " \r\n", "no markup", "\xef\xbb\xbf"}) {
        Parsed p(text);
        EXPECT_EQ(p.result, 0) << text;
        EXPECT_TRUE(p.document.root().children.empty()) << text;
    }
}

TEST(XmlParse, TreeAttributesAndLinks) {
    Parsed p(
        "\xef\xbb\xbf<?xml version=\"1.0\"?>\n<installer>\n <product demo=\"true\" x = \"a\n b\">"
        "<name>Demo</name><guid/></product>\n</installer><!DOCTYPE/>");
    ASSERT_EQ(p.result, 0) << p.error;
    EXPECT_EQ(childNames(p.document.root()), (Names{"installer", "!DOCTYPE"}));
    const XmlElement& product = *p.child(0).children.at(0);
    EXPECT_EQ(product.parent, &p.child(0));
    EXPECT_EQ(childNames(product), (Names{"name", "guid"}));
    ASSERT_EQ(product.attributes.size(), 2u);
    EXPECT_EQ(product.attributes[0]->owner, &product);
    EXPECT_EQ(product.attributes[1]->value, "a\n b");  // line ends kept as they are
    EXPECT_EQ(product.children[0]->text, "Demo");
}

TEST(XmlParse, TextGathersAllOwnCharacterData) {
    Parsed p("<a>  x <b/> y </a><c>\n\t<d>  inner\t</d>\r\n \f</c><e> &lt; </e>");
    ASSERT_EQ(p.result, 0) << p.error;
    EXPECT_EQ(p.child(0).text, "x  y ");  // leading blanks dropped, the rest kept
    EXPECT_EQ(p.child(1).text, "");       // still empty after a child, so still dropped
    EXPECT_EQ(p.child(1).children[0]->text, "inner\t");
    EXPECT_EQ(p.child(2).text, "< ");
}

TEST(XmlParse, EntitiesCommentsAndProcessingInstructions) {
    Parsed p(
        "<!--><!-- a -- b --><!-- x -- ><r v=\"&quot;&lt;&amp;&gt;\">1 &lt; 2"
        "<!-- <c/> -->&amp;<?pi x?>3</r><!---->");
    ASSERT_EQ(p.result, 0) << p.error;
    ASSERT_EQ(childNames(p.document.root()), Names{"r"});
    EXPECT_TRUE(p.child(0).children.empty());
    EXPECT_EQ(p.child(0).text, "1 < 2&3");
    EXPECT_EQ(p.child(0).attributes[0]->value, "\"<&>");
}

TEST(XmlLookup, InternedNamesFlagsAndDuplicateAttributes) {
    Parsed p("<r><x/><y b=\"true\" c=\"True\" b=\"2\"/><y/></r>");
    ASSERT_EQ(p.result, 0) << p.error;
    const XmlElement& r = p.child(0);
    const char* y = p.document.intern("y");
    ASSERT_EQ(r.findChild(y), r.children[1].get());  // the first of that name
    EXPECT_EQ(r.children[2]->name, y);
    const std::string sameBytes = "y";
    EXPECT_EQ(r.findChild(sameBytes.c_str()), nullptr);  // compared by pointer only
    EXPECT_EQ(r.findChild(p.document.intern("z")), nullptr);

    const XmlElement& first = *r.children[1];
    ASSERT_EQ(first.attributes.size(), 3u);  // duplicates are all kept
    const XmlAttribute* b = first.findAttribute(p.document.intern("b"));
    EXPECT_EQ(b, first.attributes[0].get());
    EXPECT_TRUE(isFlagSet(b));
    EXPECT_FALSE(isFlagSet(first.attributes[1].get()));
    EXPECT_FALSE(isFlagSet(first.attributes[2].get()));
    EXPECT_FALSE(isFlagSet(nullptr));
}

TEST(XmlErrors, EachMessage) {
    const std::string missingClose = "Error. Missing closing '>' in element.";
    const std::string mismatch = "Error. End tag name does not match start tag name.";
    const std::vector<std::pair<const char*, std::string>> cases{
        {"<a/>junk", "Error. Missing start tag."},
        {"<a/> <", "Error. Missing element name."},
        {"<a><", "Error. Missing element name."},  // not a child named "<"
        {"<a><?pi", "Error. Illegal special element beginning with '?'."},
        {"<?pi <d/> ?><e/>", "Error. Missing start tag."},  // the first '>' ends the PI
        {"<!-- x --", "Error. Illegal comment."},
        {"<!-- a - -><c/>", "Error. Illegal comment."},
        {"<a x=\"1\"", missingClose},
        {"<a/b>", missingClose},
        {"<a></a x>", missingClose},
        {"<a b/>", "Error. Missing '=' behind attribute name."},
        {"<a x='1'/>", "Error. Missing start '\"' of attribute value."},
        {"<a x=", "Error. Missing start '\"' of attribute value."},
        {"<a x=\"1/>", "Error. Missing end '\"' of attribute value."},
        {"<a x=\"&lt\"/>", "Error. Missing end '\"' of attribute value."},
        {"<a>text", "Error. Missing end tag."},
        {"<a>&lt", "Error. Missing end tag."},
        {"<a>x > y</a>", "Error. Missing end tag."},
        {"<a></b>", mismatch},
        {"<a></>", mismatch},
        {"<a></", mismatch},
        {"<a>&apos;</a>", "Error. Unsupported entity &apos;."},
        {"<a>&;</a>", "Error. Unsupported entity &;."},
        {"<a>&#60;</a>", "Error. Unsupported entity &#60;."},
        {"<a x=\"&L\"t;\"/>", "Error. Unsupported entity &L\"t;."},  // runs to the next ';'
    };
    for (const auto& c : cases) {
        Parsed p(c.first);
        EXPECT_EQ(p.result, -1) << c.first;
        EXPECT_EQ(p.error, c.second) << c.first;
    }
    XmlDocument document;
    std::string error;
    EXPECT_EQ(document.parse(nullptr, error), -1);
    EXPECT_EQ(error, "Error in function 'addString'.");
}

TEST(XmlErrors, TreeBuiltBeforeTheErrorIsKept) {
    Parsed p("<a/><r>kept<b x=\"1\" y=\"oops/></r>");
    EXPECT_EQ(p.error, "Error. Missing end '\"' of attribute value.");
    ASSERT_EQ(childNames(p.document.root()), (Names{"a", "r"}));
    EXPECT_EQ(p.child(1).text, "kept");
    const XmlElement& b = *p.child(1).children.at(0);
    ASSERT_EQ(b.attributes.size(), 2u);
    EXPECT_EQ(b.attributes[1]->value, "oops/></r>");
}

namespace {

// Runs body on a thread with a small stack, so that recursion per nesting level fails
// at any optimisation level instead of only in unoptimised builds.
void runWithSmallStack(void (*body)()) {
#if __has_include(<pthread.h>)
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 512 * 1024);
    pthread_t thread;
    auto trampoline = [](void* f) -> void* {
        reinterpret_cast<void (*)()>(f)();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attributes, trampoline, reinterpret_cast<void*>(body)), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
#else
    body();
#endif
}

void parseDeepDocuments() {
    std::string open, close;
    for (int i = 0; i < 100000; ++i) open += "<e>", close += "</e>";
    Parsed closed(open + "x" + close);
    EXPECT_EQ(closed.result, 0) << closed.error;
    Parsed unclosed(open);
    EXPECT_EQ(unclosed.error, "Error. Missing end tag.");
}

}  // namespace

TEST(XmlNesting, DeepInputNeitherOverflowsTheStackNorFails) { runWithSmallStack(parseDeepDocuments); }
