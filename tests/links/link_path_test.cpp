#include "links/link_path.h"

#include <gtest/gtest.h>

#include "base/settings_store.h"

namespace almx {
namespace {

TEST(LinkKinds, UrlsWindowsPathsAndRelativeLinks) {
    EXPECT_TRUE(IsUrl("https://example.com/a"));
    EXPECT_TRUE(IsUrl("file:///home/u/a.txt"));
    EXPECT_FALSE(IsUrl("/home/u/a.txt"));

    EXPECT_TRUE(IsWindowsLink("C:\\data\\x.txt"));
    EXPECT_TRUE(IsWindowsLink("c:/data/x.txt"));
    EXPECT_TRUE(IsWindowsLink("D:"));
    // Any other ":" belongs to a Linux name.
    EXPECT_FALSE(IsWindowsLink("notes/12:00.txt"));
    EXPECT_FALSE(IsWindowsLink("/run/user/1000/gvfs/smb-share:server=a/x.txt"));
    EXPECT_TRUE(IsRelativeLink("12:00.txt"));
    EXPECT_TRUE(IsRelativeLink("a:b.txt"));
    EXPECT_TRUE(IsWindowsLink("\\\\server\\share\\x.txt"));
    EXPECT_FALSE(IsWindowsLink("https://example.com"));
    EXPECT_FALSE(IsWindowsLink("/home/u/x.txt"));

    EXPECT_TRUE(IsRelativeLink("notes/x.txt"));
    EXPECT_TRUE(IsRelativeLink("notes\\x.txt"));
    EXPECT_FALSE(IsRelativeLink(""));
    EXPECT_FALSE(IsRelativeLink("/home/u/x.txt"));
    EXPECT_FALSE(IsRelativeLink("C:\\x.txt"));
    EXPECT_FALSE(IsRelativeLink("http://example.com"));
}

TEST(ResolveLink, RelativeLinksNeedTheDocumentFolder) {
    EXPECT_EQ(ResolveLink("notes/x.txt", "/home/u/plan.alx").path, "/home/u/notes/x.txt");
    // Links written on Windows separate folders with "\".
    EXPECT_EQ(ResolveLink("..\\other\\x.txt", "/home/u/data/plan.alx").path,
              "/home/u/data/../other/x.txt");
    const ResolvedLink unsaved = ResolveLink("x.txt", "");
    EXPECT_TRUE(unsaved.needsSavedDocument);
    EXPECT_EQ(unsaved.path, "x.txt");
    for (const char* kept : {"/tmp/x.txt", "C:\\x.txt", "\\\\s\\x", "https://a/b"}) {
        const ResolvedLink resolved = ResolveLink(kept, "/home/u/plan.alx");
        EXPECT_EQ(resolved.path, kept);
        EXPECT_FALSE(resolved.needsSavedDocument);
    }
}

TEST(RelativePath, DownUpAndAcross) {
    const std::string doc = "/data/plan.alx";
    EXPECT_EQ(RelativePath(doc, "/data/x.txt"), "x.txt");
    EXPECT_EQ(RelativePath(doc, "/data/notes/x.txt"), "notes/x.txt");
    EXPECT_EQ(RelativePath(doc, "/other/x.txt"), "../other/x.txt");
    EXPECT_EQ(RelativePath("/home/u/a/b/plan.alx", "/home/u/c/x.txt"), "../../c/x.txt");
    EXPECT_EQ(RelativePath("/home/u/a/plan.alx", "/x.txt"), "../../../x.txt");
    // Linux folder names differ by letter case.
    EXPECT_EQ(RelativePath("/home/U/plan.alx", "/home/u/x.txt"), "../u/x.txt");
    // Every relative result resolves back to the target's folder.
    EXPECT_EQ(
        ResolveLink(RelativePath("/home/u/a/b/plan.alx", "/home/u/c/x.txt"), "/home/u/a/b/plan.alx")
            .path,
        "/home/u/a/b/../../c/x.txt");
}

TEST(StoredLink, RelativeOnlyWhenAllowedAndPossible) {
    LinkSettings settings;
    EXPECT_EQ(StoredLink("/data/notes/x.txt", "/data/plan.alx", settings), "notes/x.txt");
    EXPECT_EQ(StoredLink("/data/notes/x.txt", "", settings), "/data/notes/x.txt");
    EXPECT_EQ(StoredLink("relative.txt", "/data/plan.alx", settings), "relative.txt");
    settings.absolutePath = true;
    EXPECT_EQ(StoredLink("/data/notes/x.txt", "/data/plan.alx", settings), "/data/notes/x.txt");
}

TEST(DefaultLinkName, SafeNameInTheChosenFolder) {
    LinkSettings settings;
    EXPECT_EQ(DefaultLinkName("a/b:c", settings, "/data/plan.alx", "/opt/almanix"),
              "/data/ab c.txt");
    // Characters whose Shift_JIS form holds 0x5C or 0x7C stay whole.
    EXPECT_EQ(DefaultLinkName("ソ表ポ", settings, "/data/plan.alx", ""), "/data/ソ表ポ.txt");
    // Nothing in a schedule text can leave the folder or hide control characters.
    EXPECT_EQ(DefaultLinkName("../../etc/passwd", settings, "/d/p.alx", ""),
              "/d/....etcpasswd.txt");
    EXPECT_EQ(DefaultLinkName("a\tb\nc*?<>|\\\x7f", settings, "/d/p.alx", ""), "/d/abc.txt");
    EXPECT_EQ(DefaultLinkName("会議", settings, "", ""), "会議.txt");
    // A file name holds 255 bytes: a long title is cut between characters.
    std::string longTitle;
    for (int i = 0; i < 100; ++i) longTitle += "会";
    std::string cut;
    for (int i = 0; i < 83; ++i) cut += "会";
    EXPECT_EQ(DefaultLinkName(longTitle, settings, "/d/p.alx", ""), "/d/" + cut + ".txt");

    settings.newDirMode = 1;
    EXPECT_EQ(DefaultLinkName("x", settings, "/d/p.alx", "/opt/almanix"), "/opt/almanix/x.txt");
    settings.newDirMode = 2;
    settings.newDir = "/home/u/links";
    EXPECT_EQ(DefaultLinkName("x", settings, "/d/p.alx", ""), "/home/u/links/x.txt");
    settings.newDir = "/home/u/links/";
    EXPECT_EQ(DefaultLinkName("x", settings, "/d/p.alx", ""), "/home/u/links/x.txt");
}

TEST(LinkSettings, LoadsDefaultsAndBoundsTheMode) {
    MemorySettingsStore store;
    LinkSettings settings = LinkSettings::Load(store);
    EXPECT_FALSE(settings.absolutePath);
    EXPECT_EQ(settings.linkExt, "*.TXT");
    EXPECT_EQ(settings.newDirMode, 0);
    store.SetInt("LinkFile", "NewDirMode", 7);
    store.SetInt("System", "AbsolutePath", 1);
    settings = LinkSettings::Load(store);
    EXPECT_EQ(settings.newDirMode, 0);
    EXPECT_TRUE(settings.absolutePath);

    settings.newDirMode = 2;
    settings.newDir = "/srv/links";
    settings.Store(store);
    EXPECT_EQ(store.GetInt("LinkFile", "NewDirMode", 0), 2);
    EXPECT_EQ(store.GetString("LinkFile", "NewDir", ""), "/srv/links");
}

TEST(LinkFilter, TextFilesOrTheUsersPattern) {
    LinkSettings settings;
    EXPECT_EQ(LinkFilter(settings).label, "ﾃｷｽﾄﾌｧｲﾙ(*.TXT)");
    settings.linkExt = "*.txt";  // the comparison is case-sensitive
    EXPECT_EQ(LinkFilter(settings).label, "ﾕｰｻﾞ設定ﾌｧｲﾙ");
    EXPECT_EQ(LinkFilter(settings).pattern, "*.txt");
}

TEST(BrowseStartFolder, LinkFolderThenNewDirThenDocument) {
    LinkSettings settings;
    EXPECT_EQ(BrowseStartFolder("notes/x.txt", "/data/plan.alx", settings), "/data/notes/");
    EXPECT_EQ(BrowseStartFolder("/srv/a/x.txt", "/data/plan.alx", settings), "/srv/a/");
    EXPECT_EQ(BrowseStartFolder("", "/data/plan.alx", settings), "/data/");
    settings.newDir = "/home/u/links";
    EXPECT_EQ(BrowseStartFolder("", "/data/plan.alx", settings), "/home/u/links");
}

}  // namespace
}  // namespace almx
