// Folder names as the folder pages take them: typed, checked and browsed.
#include <gtest/gtest.h>

#include "ui/folder_input.h"

namespace {

TEST(FolderInput, NamesUpTo248CharactersWithoutForbiddenCharacters) {
    const std::u16string base = u"C:\\";
    EXPECT_TRUE(acceptableFolderName(base + std::u16string(245, u'a')));  // 248 in all
    EXPECT_FALSE(acceptableFolderName(base + std::u16string(246, u'a')));
    EXPECT_TRUE(acceptableFolderName(u"\\\\server\\share\\Circuita 5 (x86) & co"));
    EXPECT_TRUE(acceptableFolderName(u"D:\\Kurs=5 100% %OS% (A&B) !^"));
    for (const char16_t* bad : {u"C:\\a\"b", u"C:\\a<b", u"C:\\a>b", u"C:\\a|b", u"C:\\a*", u"C:\\a?", u"C:\\a\tb",
                                u"Apps", u"..\\medium", u".", u"C:", u"C:Apps", u"\\Apps", u"\\\\server",
                                u"\\\\server\\", u"\\\\?\\C:\\a", u"\\\\.\\C:\\a", u"C:\\a:b", u""})
        EXPECT_FALSE(acceptableFolderName(bad)) << std::u16string(bad).size();
    EXPECT_EQ(typedFolder(u"  D:\\Apps \r\n"), u"D:\\Apps");
    EXPECT_EQ(typedFolder(u" \r\n "), u"");
}

TEST(FolderInput, ResolvedFolderNamesOneFolderOneWay) {
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u"C:\\a\\.\\b\\..\\c\\", u"C:\\a\\c"},  {u"C:\\..\\..", u"C:\\"},
        {u"c:/x//y/", u"c:\\x\\y"},              {u"\\\\srv\\share\\..\\..\\x", u"\\\\srv\\share\\x"},
        {u"\\\\srv\\share", u"\\\\srv\\share"},       {u"E:\\", u"E:\\"},
    };
    for (const auto& [folder, resolved] : cases) EXPECT_EQ(resolvedFolder(folder), resolved);
}

TEST(FolderInput, BrowsedFolderGetsTheSubFolderOnce) {
    EXPECT_EQ(withSubFolder(u"D:\\Apps", u"Circuita 5"), u"D:\\Apps\\Circuita 5");
    EXPECT_EQ(withSubFolder(u"D:\\Apps\\Circuita 5", u"Circuita 5"), u"D:\\Apps\\Circuita 5");
    EXPECT_EQ(withSubFolder(u"E:\\", u"Circuita 5"), u"E:\\Circuita 5");
    EXPECT_EQ(withSubFolder(u"D:\\MyCircuita 5", u"Circuita 5"), u"D:\\MyCircuita 5\\Circuita 5");
    EXPECT_EQ(withSubFolder(u"D:\\Apps", u""), u"D:\\Apps");
}

}  // namespace
