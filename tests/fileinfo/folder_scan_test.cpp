// SPDX-License-Identifier: Apache-2.0
// Which names a folder listing or a drop takes, and the listing of one folder: one level deep,
// regular files only, hidden and dot-files included, owner files skipped, in name order.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "fileinfo/attribute_store.h"
#include "fileinfo/folder_scan.h"
#include "tests/support/fileinfo_fixtures.h"

namespace quorvane::fileinfo {
namespace {

namespace fs = std::filesystem;

TEST(FolderScan, ExtensionOfTheFileNameUpperCasedComparedExactly)
{
    const struct {
        const char* path;
        bool taken;
    } cases[] = {
        {"a.ppt", true},          {"A.PpTx", true},         {"/talks/b.PPT", true},  {"/talks/b.pptx", true},
        {".ppt", true},           {"/x/.hidden.Ppt", true}, {"a.pptm", true},        {"a.pps", true},
        {"a.POT", true},          {"a.PpSx", true},         {"a.ppsm", true},        {"a.potx", true},
        {"a.POTM", true},         {"a.ppa", false},         {"a.pptmx", false},      {"a.docx", false},
        {"a.ppt.bak", false},     {"a.pptx ", false},       {"ppt", false},          {"a.", false},
        {"/dir.ppt/file", false}, {"/dir.ppt/", false},     {"a.p pt", false},       {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(hasPresentationExtension(c.path), c.taken) << c.path;
}

TEST(FolderScan, OwnerFileMarkAnywhereInThePath)
{
    EXPECT_TRUE(hasOwnerFileMark("/talks/~$x.ppt"));
    EXPECT_TRUE(hasOwnerFileMark("/talks/~$old/x.ppt"));
    EXPECT_TRUE(hasOwnerFileMark("x~$.ppt"));
    EXPECT_FALSE(hasOwnerFileMark("/talks/~x$.ppt"));
    EXPECT_FALSE(hasOwnerFileMark("/talks/$~x.ppt"));
}

class FolderScanListing : public ::testing::Test {
protected:
    testing::XattrScratchDir scratch{QUORVANE_BINARY_DIR};

    std::string folder() const { return scratch.path().string(); }
    std::string pathOf(const std::string& name) const { return (scratch.path() / name).string(); }
};

TEST_F(FolderScanListing, TakesPresentationFilesOneLevelDeepInNameOrder)
{
    QUORVANE_REQUIRE_XATTR_SCRATCH(scratch);
    for (const char* name : {"x.ppt", "~$x.ppt", "y.PPTX", "z.doc", ".hidden.ppt", "H.PPT", "a.pptm", "t.Potx", "notes"})
        scratch.file(name);
    ASSERT_TRUE(writeAttributeWord(pathOf("H.PPT"), kHidden | kSystem | kArchive));
    ASSERT_TRUE(writeAttributeWord(pathOf("x.ppt"), kReadOnly));
    fs::create_directory(scratch.path() / "s");
    scratch.file("s/w.ppt");
    fs::create_directory(scratch.path() / "folder.ppt");
    fs::create_symlink(scratch.path() / "x.ppt", scratch.path() / "link.ppt");
    fs::create_symlink(scratch.path() / "gone.ppt", scratch.path() / "dangling.ppt");
    fs::create_symlink(scratch.path() / "s", scratch.path() / "folderlink.ppt");
    ASSERT_EQ(::mkfifo(pathOf("pipe.ppt").c_str(), 0600), 0);

    const std::vector<std::string> expected = {pathOf(".hidden.ppt"), pathOf("H.PPT"), pathOf("a.pptm"),
                                               pathOf("link.ppt"), pathOf("t.Potx"), pathOf("x.ppt"),
                                               pathOf("y.PPTX")};
    EXPECT_EQ(listPresentationFiles(folder()), expected);
    // A trailing delimiter is dropped, not doubled.
    EXPECT_EQ(listPresentationFiles(folder() + "/"), expected);
}

TEST_F(FolderScanListing, NothingFromAnOwnerFolderAMissingFolderOrAFile)
{
    QUORVANE_REQUIRE_XATTR_SCRATCH(scratch);
    fs::create_directory(scratch.path() / "~$old");
    scratch.file("~$old/a.ppt");
    const fs::path plainFile = scratch.file("b.ppt");
    EXPECT_TRUE(listPresentationFiles(pathOf("~$old")).empty());
    EXPECT_TRUE(listPresentationFiles(pathOf("missing")).empty());
    EXPECT_TRUE(listPresentationFiles(plainFile.string()).empty());
    EXPECT_TRUE(listPresentationFiles("").empty());
}

TEST_F(FolderScanListing, DropTestTakesOnlyExistingRegularPresentationFiles)
{
    QUORVANE_REQUIRE_XATTR_SCRATCH(scratch);
    scratch.file("a.ppt");
    scratch.file("b.doc");
    fs::create_directory(scratch.path() / "c.pptx");
    EXPECT_TRUE(isTakenPresentationFile(pathOf("a.ppt")));
    EXPECT_FALSE(isTakenPresentationFile(pathOf("b.doc")));
    EXPECT_FALSE(isTakenPresentationFile(pathOf("c.pptx")));
    EXPECT_FALSE(isTakenPresentationFile(pathOf("missing.ppt")));
}

}  // namespace
}  // namespace quorvane::fileinfo
