// Shortcuts written through the shell and read back through the shell.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "test_support.h"

namespace {

struct LinkContents {
    std::wstring target, arguments, description, workingFolder, iconPath;
    int iconIndex = -1;
};

bool readLink(const std::u16string& path, LinkContents& out) {
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(link.out()))))
        return false;
    ComPtr<IPersistFile> file;
    if (FAILED(link.get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.out()))) ||
        FAILED(file.get()->Load(toWide(path).c_str(), STGM_READ)))
        return false;
    wchar_t text[MAX_PATH * 2] = {};
    // The target through its item list: GetPath goes through the ANSI code page under Wine.
    CoTaskMemory<ITEMIDLIST> items;
    if (SUCCEEDED(link.get()->GetIDList(items.out())) && items && SHGetPathFromIDListW(items.get(), text))
        out.target = text;
    link.get()->GetArguments(text, MAX_PATH * 2);
    out.arguments = text;
    link.get()->GetDescription(text, MAX_PATH * 2);
    out.description = text;
    link.get()->GetWorkingDirectory(text, MAX_PATH * 2);
    out.workingFolder = text;
    link.get()->GetIconLocation(text, MAX_PATH * 2, &out.iconIndex);
    out.iconPath = text;
    return true;
}

class ShellLinks : public testing::Test {
protected:
    void SetUp() override { system.initCom(); }
    void TearDown() override { system.uninitCom(); }
    Win32System system;
    ScratchFolder scratch{u"links"};
};

TEST_F(ShellLinks, EveryPartReadsBack) {
    const std::u16string target = scratch / u"Circuita 5 (x86).exe";
    ASSERT_TRUE(writeFileBytes(target, "MZ"));
    const std::u16string arguments = u"/lang de \"C:\\a b\"", description = u"Circuita 5 \u00fcben";
    const std::u16string working = scratch.path(), icon = scratch / u"icon file.ico";
    platform::ShellLink link;
    link.target = target;
    link.arguments = &arguments;
    link.description = &description;
    link.showCommand = SW_SHOWMINNOACTIVE;
    link.workingFolder = &working;
    link.iconPath = &icon;
    link.iconIndex = 3;
    const std::u16string linkPath = scratch / u"Circuita.lnk";
    ASSERT_TRUE(system.createShellLink(linkPath, link));

    LinkContents read;
    ASSERT_TRUE(readLink(linkPath, read));
    EXPECT_EQ(toWide(target), read.target);
    EXPECT_EQ(toWide(arguments), read.arguments);
    EXPECT_EQ(toWide(description), read.description);
    EXPECT_EQ(toWide(working), read.workingFolder);
    EXPECT_EQ(toWide(icon), read.iconPath);
    EXPECT_EQ(3, read.iconIndex);
}

TEST_F(ShellLinks, PartsNotGivenStayEmptyAndAnUnwritablePlaceFails) {
    const std::u16string target = scratch / u"program.exe";
    ASSERT_TRUE(writeFileBytes(target, "MZ"));
    platform::ShellLink link;
    link.target = target;
    const std::u16string icon = scratch / u"unused.ico";
    link.iconPath = &icon;  // without an index: not set
    const std::u16string linkPath = scratch / u"plain.lnk";
    ASSERT_TRUE(system.createShellLink(linkPath, link));
    LinkContents read;
    ASSERT_TRUE(readLink(linkPath, read));
    EXPECT_EQ(toWide(target), read.target);
    EXPECT_EQ(L"", read.arguments);
    EXPECT_EQ(L"", read.description);
    EXPECT_NE(toWide(icon), read.iconPath);

    EXPECT_FALSE(system.createShellLink(scratch / u"missing folder\\x.lnk", link));
    EXPECT_FALSE(exists(scratch / u"missing folder\\x.lnk"));
}

TEST_F(ShellLinks, CommonStartMenuExists) {
    const std::u16string folder = system.commonStartMenuFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(isFolder(folder)) << toWide(folder).c_str();
    EXPECT_NE(u'\\', folder.back());
}

}  // namespace
