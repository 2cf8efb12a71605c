// A property write refuses a digitally signed file and leaves it byte for byte as it was, unless
// signed writes are allowed; reading it is unaffected. A signature part that is not there, or
// an origin without signatures, signs nothing.
#include <gtest/gtest.h>

#include <filesystem>

#include "document/document_rows.h"
#include "document/signature_check.h"
#include "tests/support/corpus.h"
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

TEST(SignedDocument, AWriteIsRefusedAndTheFileKeptUnlessAllowed)
{
    ScratchDir scratch;
    props::RowSelection titleOnly{};
    titleOnly[0] = true;
    props::RowTexts newTitle{};
    newTitle[0] = "New title";
    for (const SignedCase& c : signedCases()) {
        SCOPED_TRACE(c.name);
        const fs::path path = scratch.path() / c.name;
        writeFileBytes(path, c.bytes);
        EXPECT_EQ(hasDigitalSignature(path.string(), documentFormatOf(path.string())), c.isSigned);
        const auto before = readRows(path.string());
        ASSERT_TRUE(before.ok()) << before.failure().text();

        // Nothing selected is no change to refuse; a signed package is not even re-saved.
        EXPECT_FALSE(writeRows(path.string(), newTitle, props::RowSelection{}).failed());
        if (c.isSigned) {
            EXPECT_TRUE(readFileBytes(path) == c.bytes) << "the signed file changed";
        }
        const Failure refused = writeRows(path.string(), newTitle, titleOnly);
        EXPECT_EQ(writeDocumentRows(path.string(), newTitle, titleOnly), !c.isSigned);
        if (c.isSigned) {
            EXPECT_EQ(refused, signedDocumentRefusal());
            EXPECT_EQ(refused.text(), "signed document: changing it would invalidate its signature");
            EXPECT_TRUE(readFileBytes(path) == c.bytes) << "the signed file changed";
            EXPECT_EQ(readRows(path.string()).value(), *before);
        } else {
            EXPECT_FALSE(refused.failed()) << refused.text();
            EXPECT_EQ(readRows(path.string()).value()[0], "New title");
            continue;
        }
        {
            const SignedDocumentWrites allowed(true);
            const Failure forced = writeRows(path.string(), newTitle, titleOnly);
            EXPECT_FALSE(forced.failed()) << forced.text();
        }
        EXPECT_FALSE(SignedDocumentWrites::allowed()) << "the override outlived its scope";
        props::RowTexts expected = *before;
        expected[0] = "New title";
        EXPECT_EQ(readRows(path.string()).value(), expected);
    }
}

}  // namespace
}  // namespace quorvane::document
