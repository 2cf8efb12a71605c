// SPDX-License-Identifier: Apache-2.0
// A change refuses a digitally signed file, in its plan and in its apply, and leaves it byte for
// byte as it was, unless the change allows signed files; reading it is unaffected, and a request
// that changes nothing is no change to refuse. A signature part that is not there, or an origin
// without signatures, signs nothing.
#include <gtest/gtest.h>

#include <filesystem>

#include "change/file_plan.h"
#include "document/signature_check.h"
#include "tests/support/content_change.h"
#include "tests/support/corpus.h"
#include "tests/support/document_reads.h"
#include "tests/support/signed_files.h"
#include "tests/support/zip_builder.h"

namespace quorvane::document {
namespace {

namespace fs = std::filesystem;
using namespace quorvane::testing;

struct SignedCase {
    const char* name;
    std::string bytes;
    bool isSigned;
};

std::vector<SignedCase> signedCases()
{
    const auto compoundFile = [](const std::u16string& entry, bool asStorage) {
        return textOf(signedCompoundFileBytes(entry, asStorage));
    };
    return {
        {"signed.pptx", signedPackageBytes(), true},
        {"absolute-targets.pptm", signedPackageBytes({.absoluteTargets = true}), true},
        {"no-origin-relationship.pptx", signedPackageBytes({.originRelationship = false}), false},
        {"origin-without-signatures.pptx", signedPackageBytes({.signatureRelationship = false}), false},
        {"signature-part-missing.pptx", signedPackageBytes({.signaturePart = false}), false},
        {"digital-signature.ppt", compoundFile(u"\x05" u"DigitalSignature", false), true},
        {"mso-signature.ppt", compoundFile(u"MsoDigitalSignature", false), true},
        {"xml-signatures.ppt", compoundFile(u"_xmlsignatures", true), true},
        {"binary-signatures.pps", compoundFile(u"_signatures", true), true},
        {"unsigned.ppt", compoundFile(u"", false), false},
        {"other-stream.ppt", compoundFile(u"DigitalSignatureNot", false), false},
    };
}

bool isSigned(const fs::path& path)
{
    auto edit = DocumentEdit::open(path.string(), false, nullptr);
    EXPECT_TRUE(edit.ok()) << edit.failure().text();
    return edit.ok() && edit->isSigned();
}

TEST(SignedDocument, AChangeIsRefusedAndTheFileKeptUnlessAllowed)
{
    ScratchDir scratch;
    ContentRequest newTitle;
    newTitle.rows[0] = props::RowValue::textValue("New title");
    for (const SignedCase& c : signedCases()) {
        SCOPED_TRACE(c.name);
        const fs::path path = scratch.path() / c.name;
        writeFileBytes(path, c.bytes);
        EXPECT_EQ(isSigned(path), c.isSigned);
        const auto before = documentRowsOrFailure(path.string());
        ASSERT_TRUE(before.ok()) << before.failure().text();

        // Nothing asked is no change to refuse, and no file is re-saved for it.
        EXPECT_EQ(changeContent(path.string(), {}).kind, change::FileOutcome::Kind::Unchanged);
        EXPECT_TRUE(readFileBytes(path) == c.bytes) << "a request without work changed the file";

        const change::FilePlan plan = change::planFileChange(path.string(), {newTitle, {}}, {});
        const change::FileOutcome refused = changeContent(path.string(), newTitle);
        if (!c.isSigned) {
            EXPECT_FALSE(plan.refused()) << plan.refusal.text();
            EXPECT_EQ(refused.kind, change::FileOutcome::Kind::Changed) << refused.failure.text();
            EXPECT_EQ(documentRows(path.string()).value_or(props::RowTexts{})[0], "New title");
            continue;
        }
        EXPECT_EQ(plan.refusal, signedDocumentRefusal());
        EXPECT_EQ(refused.failure, signedDocumentRefusal());
        EXPECT_EQ(refused.failure.text(), "signed document: changing it would invalidate its signature");
        EXPECT_TRUE(readFileBytes(path) == c.bytes) << "the signed file changed";
        EXPECT_EQ(documentRows(path.string()), *before);

        const change::FileOutcome forced = changeContent(path.string(), newTitle, {.allowSigned = true});
        EXPECT_EQ(forced.kind, change::FileOutcome::Kind::Changed) << forced.failure.text();
        props::RowTexts expected = *before;
        expected[0] = "New title";
        EXPECT_EQ(documentRows(path.string()), expected);
    }
}

}  // namespace
}  // namespace quorvane::document
