// SPDX-License-Identifier: Apache-2.0
// `set` and `scrub` refuse to change the properties of a signed file, saying why and leaving it
// as it was and naming the option that overrides it; `set` changes its attributes all the same;
// both change it with --force-signed.
#include "tests/cli/cli_fixture.h"
#include "tests/support/signed_files.h"
#include "tests/support/zip_builder.h"

namespace quorvane::testing {
namespace {

TEST_F(Cli, SetRefusesSignedFilesUnlessForced)
{
    const std::string package = (scratch_.path() / "signed.pptx").string();
    const std::string compoundFile = (scratch_.path() / "signed.ppt").string();
    writeFileBytes(package, signedPackageBytes());
    writeFileBytes(compoundFile, textOf(signedCompoundFileBytes(u"\x05" u"DigitalSignature", false)));
    for (const std::string& path : {package, compoundFile}) {
        SCOPED_TRACE(path);
        const std::string before = readFileBytes(path);
        for (const std::vector<std::string>& change : std::vector<std::vector<std::string>>{
                 {"set", "--title", "Forced", path}, {"scrub", "--thumbnail", path}}) {
            const CliRun refused = run(change);
            EXPECT_EQ(refused.status, 1) << change[0];
            EXPECT_EQ(refused.err, "quorvane-cli: " + path +
                                       ": failed: signed document: changing it would invalidate its signature; "
                                       "--force-signed changes it anyway\n");
            EXPECT_TRUE(readFileBytes(path) == before) << change[0] << " changed the signed file";
        }

        const CliRun attributesOnly = run({"set", "--hidden", "on", path});
        EXPECT_EQ(attributesOnly.status, 0) << attributesOnly.err;
        EXPECT_TRUE(readFileBytes(path) == before) << "an attribute change rewrote the signed file";

        const CliRun forced = run({"set", "--force-signed", "--title", "Forced", path});
        EXPECT_EQ(forced.status, 0) << forced.err;
        EXPECT_NE(run({"show", path}).out.find("\nTitle: Forced\n"), std::string::npos);
        const CliRun scrubbed = run({"scrub", "--force-signed", path});
        EXPECT_EQ(scrubbed.status, 0) << scrubbed.err;
        EXPECT_NE(run({"show", path}).out.find("\nTitle: \n"), std::string::npos);
    }
}

}  // namespace
}  // namespace quorvane::testing
