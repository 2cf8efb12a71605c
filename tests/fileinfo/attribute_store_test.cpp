// SPDX-License-Identifier: Apache-2.0
// The attribute word on Linux: read-only in the permission bits, the other bits in
// user.DOSATTRIB, and what a file system without extended attributes gives.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "fileinfo/attribute_store.h"
#include "fileinfo/dos_attrib.h"
#include "tests/support/fileinfo_fixtures.h"

namespace quorvane::fileinfo {
namespace {

using testing::rawDosAttrib;
using testing::statOf;

std::optional<DosAttrib> storedValue(const std::filesystem::path& file)
{
    const auto raw = rawDosAttrib(file);
    if (!raw) return std::nullopt;
    return parseDosAttrib(std::as_bytes(std::span(raw->data(), raw->size())));
}

class UmaskGuard {
public:
    explicit UmaskGuard(mode_t mask) : previous_(::umask(mask)) {}
    ~UmaskGuard() { ::umask(previous_); }

private:
    mode_t previous_;
};

TEST(AttributeStore, WordsRoundTripThroughModeAndDosAttrib)
{
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    const struct {
        AttributeWord word;
        bool stored;  // whether user.DOSATTRIB must exist afterwards on a fresh file
    } cases[] = {
        {0x00, false}, {kReadOnly, false}, {kHidden, true}, {kSystem, true}, {kArchive, true},
        {kReadOnly | kHidden | kSystem | kArchive, true}, {0x2000, true}, {0x2000 | kArchive | kReadOnly, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "word 0x" << std::hex << c.word);
        const auto file = dir.file("deck.ppt");
        ASSERT_TRUE(writeAttributeWord(file, c.word));
        const auto state = readAttributeState(file);
        ASSERT_TRUE(state.has_value());
        EXPECT_EQ(state->word, c.word);
        EXPECT_EQ((statOf(file).st_mode & 0222) == 0, bool(c.word & kReadOnly));
        const auto stored = storedValue(file);
        EXPECT_EQ(rawDosAttrib(file).has_value(), c.stored);
        if (c.stored) {
            ASSERT_TRUE(stored.has_value());
            EXPECT_EQ(stored->attributes, c.word);
        }
        ::chmod(file.c_str(), 0644);
    }
}

TEST(AttributeStore, ClearingReadOnlyGivesWriteBitsBackWithinTheUmask)
{
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    const struct {
        mode_t mask, before, readOnly, after;
    } cases[] = {
        {022, 0644, 0444, 0644}, {022, 0600, 0400, 0600}, {022, 0640, 0440, 0640},
        {002, 0664, 0444, 0664}, {077, 0644, 0444, 0644}, {022, 0755, 0555, 0755},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::oct << "umask " << c.mask << " mode " << c.before);
        UmaskGuard mask(c.mask);
        const auto file = dir.file("deck.ppt");
        ASSERT_EQ(::chmod(file.c_str(), c.before), 0);
        ASSERT_TRUE(writeAttributeWord(file, kReadOnly | kHidden));
        EXPECT_EQ(statOf(file).st_mode & 07777, c.readOnly);
        ASSERT_TRUE(writeAttributeWord(file, kHidden));
        EXPECT_EQ(statOf(file).st_mode & 07777, c.after);
        EXPECT_EQ(readAttributeState(file)->word, kHidden);
    }
}

TEST(AttributeStore, KeepsWhatSambaStoredBesideTheWord)
{
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    const auto file = dir.file("deck.ppt");
    // Samba 4.17's own v5 value: archive, creation time 0x0123456789ABCDEF.
    ASSERT_TRUE(testing::setRawDosAttrib(
        file, testing::bytesFromHex("00 00 05 00 05 00 00 00 11 00 00 00 20 20 00 00 EF CD AB 89 67 45 23 01")));
    auto state = readAttributeState(file);
    ASSERT_TRUE(state.has_value());
    EXPECT_EQ(state->word, 0x2020u);
    EXPECT_EQ(state->storedCreationTime, convert::FileTime(0x0123456789ABCDEF));

    ASSERT_TRUE(writeAttributeWord(file, 0x2020 | kHidden | kReadOnly));
    const auto stored = storedValue(file);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->attributes, 0x2020u | kHidden | kReadOnly);
    EXPECT_EQ(stored->creationTime, convert::FileTime(0x0123456789ABCDEF));
    EXPECT_EQ(rawDosAttrib(file)->substr(0, 7), std::string("0x2023\0", 7));  // version 3 text first
}

TEST(AttributeStore, ReadOnlyComesFromTheModeAlone)
{
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    const auto file = dir.file("deck.ppt");
    ASSERT_TRUE(testing::setRawDosAttrib(file, "0x21"));  // read-only stored, but the mode has write bits
    EXPECT_EQ(readAttributeState(file)->word, kArchive);
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    ASSERT_TRUE(testing::setRawDosAttrib(file, "0x20"));
    EXPECT_EQ(readAttributeState(file)->word, kArchive | kReadOnly);
    // Writing the word it reads brings the stored value in line with the mode.
    ASSERT_TRUE(writeAttributeWord(file, kArchive | kReadOnly));
    EXPECT_EQ(storedValue(file)->attributes, kArchive | kReadOnly);
}

TEST(AttributeStore, DamagedValueReadsAsNoBitsAndIsReplaced)
{
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    const auto file = dir.file("deck.ppt");
    for (const std::string& damaged : {std::string("garbage"), std::string("0x20\0\x05\x00\x06\x00", 8),
                                       std::string(1500, 'x')}) {
        ASSERT_TRUE(testing::setRawDosAttrib(file, damaged));
        const auto state = readAttributeState(file);
        ASSERT_TRUE(state.has_value());
        EXPECT_EQ(state->word, 0u);
        EXPECT_FALSE(state->storedCreationTime.has_value());
        ASSERT_TRUE(writeAttributeWord(file, 0));
        EXPECT_EQ(storedValue(file)->attributes, 0u);
    }
}

TEST(AttributeStore, OnlyRegularFilesHaveAWord)
{
    testing::XattrScratchDir dir(QUORVANE_BINARY_DIR);
    QUORVANE_REQUIRE_XATTR_SCRATCH(dir);
    std::filesystem::create_directory(dir.path() / "folder.ppt");
    for (const auto& path : {dir.path() / "folder.ppt", dir.path() / "missing.ppt"}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(readAttributeState(path).has_value());
        EXPECT_FALSE(writeAttributeWord(path, kHidden));
        EXPECT_FALSE(storeCreationTime(path, 1));
    }
    EXPECT_FALSE(rawDosAttrib(dir.path() / "folder.ppt").has_value());
}

TEST(AttributeStore, FileSystemWithoutExtendedAttributes)
{
    const auto failure = testing::runOnFileSystemWithoutXattrs([](const std::filesystem::path& folder) -> std::string {
        const auto file = folder / "deck.ppt";
        if (!testing::createEmptyFile(file)) return "cannot create a file";
        if (testing::setRawDosAttrib(file, "0x2")) return "the mount keeps extended attributes";
        ::chmod(file.c_str(), 0644);
        if (writeAttributeWord(file, kHidden)) return "storing hidden reported success";
        if ((statOf(file).st_mode & 07777) != 0644) return "a refused store changed the mode";
        if (!readAttributeState(file) || readAttributeState(file)->word != 0) return "bits read as other than 0";
        // Read-only goes on even where the rest of the word finds no place.
        if (writeAttributeWord(file, kReadOnly | kArchive)) return "storing archive reported success";
        if ((statOf(file).st_mode & 07777) != 0444) return "read-only was not applied with a refused store";
        if (readAttributeState(file)->word != kReadOnly) return "read-only did not read back";
        if (!writeAttributeWord(file, 0)) return "clearing read-only was refused";
        if ((statOf(file).st_mode & 07777) != 0644) return "clearing read-only did not restore the write bits";
        if (!writeAttributeWord(file, kReadOnly)) return "read-only alone was refused";
        if (storeCreationTime(file, 0x01D0000000000000)) return "storing a creation time reported success";
        return "";
    });
    if (!failure) GTEST_SKIP() << "cannot mount a file system without extended attributes here";
    EXPECT_EQ(*failure, "");
}

}  // namespace
}  // namespace quorvane::fileinfo
