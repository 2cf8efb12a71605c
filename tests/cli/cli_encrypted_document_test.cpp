// SPDX-License-Identifier: Apache-2.0
// Encrypted documents: the corpus .ppt files under RC4 CryptoAPI (EncryptedSummary), its
// password-protected package (a compound file, named .ppt or .pptx), and built ones that show
// a title in the clear (a package's EncryptionInfo, a .ppt marked only by its Current User
// headerToken). `show` and `export` print what is in the clear and fail with the reason; `set` and
// `scrub`, dry run or not, refuse in the plan and leave the file byte for byte as it was, and
// olefile sees the same streams, the encrypted one among them, and no SummaryInformation added.
#include <algorithm>
#include <filesystem>

#include "base/byte_writer.h"
#include "props/catalogue.h"
#include "propset/propset_writer.h"
#include "tests/cli/cli_fixture.h"
#include "tests/support/cfb_builder.h"
#include "tests/support/cfb_olefile.h"

namespace quorvane::testing {
namespace {

namespace fs = std::filesystem;

const std::string kEncryptedPackage = "clusterfuzz-testcase-minimized-POIFuzzer-5429732352851968.ppt";

// A CurrentUserAtom ([MS-PPT] 2.3.2) without a user name.
std::vector<std::byte> currentUserAtom(std::uint32_t headerToken)
{
    std::vector<std::byte> bytes;
    ByteWriter w(bytes);
    for (const std::uint32_t field : {0x0FF6'0000u, 0x18u, 0x14u, headerToken, 0u}) w.u32(field);  // rh, size, token, offset
    for (const std::uint16_t field : {0, 0x03F4, 0x0003, 0}) w.u16(field);  // lenUserName, docFileVersion, versions, unused
    w.u32(8);  // relVersion
    return bytes;
}

// A compound file with a clear-text SummaryInformation titled "Clear title" and `streams`.
std::string compoundFileWithClearTitle(std::vector<CfbStreamSpec> streams)
{
    std::vector<std::byte> titleUtf16;  // the new set's code page is 1200
    for (const char c : std::string("Clear title")) titleUtf16.insert(titleUtf16.end(), {std::byte(c), std::byte{0}});
    streams.push_back({u"\x05SummaryInformation", propset::newPropertySet(props::fmtidOfSelector(props::kSummaryInformation), 2,
                                                                         propset::typedCodePageString(titleUtf16, 1200))});
    const std::vector<std::byte> bytes = buildCompoundFile({.streams = std::move(streams), .storages = {}});
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

TEST_F(Cli, EncryptedDocumentsAreShownAsSuchAndNeverChanged)
{
    QUORVANE_REQUIRE_CORPUS();
    const struct {
        std::string name;
        std::string corpusName;       // "": built from `built`
        std::vector<CfbStreamSpec> built;
        std::string encryptedStream;  // as olefile lists it
        std::string title;            // shown from the clear
    } cases[] = {
        {"hello.ppt", "Password_Protected-hello.ppt", {}, "EncryptedSummary", ""},
        {"hello-56.ppt", "Password_Protected-56-hello.ppt", {}, "EncryptedSummary", ""},
        {"png.ppt", "ppt_with_png_encrypted.ppt", {}, "EncryptedSummary", ""},
        {"package.ppt", kEncryptedPackage, {}, "EncryptedPackage", ""},
        {"package.pptx", kEncryptedPackage, {}, "EncryptionInfo", ""},
        {"built.pptx", "", {{u"EncryptionInfo", patternBytes(200, 1)}, {u"EncryptedPackage", patternBytes(5000, 2)}},
         "EncryptedPackage", "Clear title"},
        {"token.ppt", "", {{u"Current User", currentUserAtom(0xF3D1C4DF)}, {u"PowerPoint Document", patternBytes(5000, 3)}},
         "Current User", "Clear title"},
    };
    const std::string reason = "encrypted document: its properties are inside the encryption";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = (scratch_.path() / c.name).string();
        if (c.corpusName.empty()) writeFileBytes(path, compoundFileWithClearTitle(c.built));
        else fs::rename(copyOf(c.corpusName), path);
        const std::string before = readFileBytes(path);

        const CliRun shown = run({"show", path});
        EXPECT_EQ(shown.status, 1);
        EXPECT_EQ(shown.err, "quorvane-cli: " + path + ": " + reason + "\n");
        EXPECT_NE(shown.out.find("\nTitle: " + c.title + "\n"), std::string::npos) << shown.out;
        const CliRun exported = run({"export", path});
        EXPECT_EQ(exported.status, 1);
        EXPECT_EQ(exported.err, shown.err);
        EXPECT_NE(exported.out.find("\r\n\"" + path + "\",\"" + c.name + "\",\"" + c.title + "\","), std::string::npos)
            << exported.out;

        for (const std::vector<std::string>& change : std::vector<std::vector<std::string>>{
                 {"set", "--dry-run", "--title", "T", path}, {"set", "--title", "T", path},
                 {"scrub", "--dry-run", path}, {"scrub", path}}) {
            const CliRun refused = run(change);
            EXPECT_EQ(refused.status, 1) << change[0] << " " << change[1];
            EXPECT_EQ(refused.err, "quorvane-cli: " + path + ": failed: " + reason + "\n") << change[0] << " " << change[1];
        }
        EXPECT_TRUE(readFileBytes(path) == before) << "a refused change wrote the file";

        const fs::path original = c.corpusName.empty() ? fs::path(path) : corpusDir() / "files" / c.corpusName;
        const nlohmann::json seen = olefileCompare(original, path);
        ASSERT_TRUE(seen.is_object());
        EXPECT_TRUE(seen["new_opens"].get<bool>());
        EXPECT_TRUE(seen["changed"].empty() && seen["missing"].empty() && seen["added"].empty()) << seen.dump();
        if (c.title.empty()) {
            EXPECT_FALSE(seen["props"].contains("SummaryInformation")) << seen.dump();
        }
        // Compared with no file, every stream of the copy is one olefile adds.
        const nlohmann::json streams = olefileCompare("/dev/null", path)["added"];
        EXPECT_NE(std::find(streams.begin(), streams.end(), c.encryptedStream), streams.end()) << streams.dump();
    }
}

}  // namespace
}  // namespace quorvane::testing
