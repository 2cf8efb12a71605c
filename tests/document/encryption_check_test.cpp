// SPDX-License-Identifier: Apache-2.0
// Encryption is found exactly in the corpus files the oracle marks encrypted (RC4 CryptoAPI .ppt
// files and password-protected packages, damaged ones included), and in no other compound file.
#include <gtest/gtest.h>

#include "document/document_edit.h"
#include "tests/support/corpus.h"

namespace quorvane::document {
namespace {

TEST(EncryptionCheck, AgreesWithTheOracleOnEveryCorpusCompoundFile)
{
    QUORVANE_REQUIRE_CORPUS();
    int encrypted = 0;
    for (const std::string& name : testing::corpusFiles("cfb")) {
        const auto edit = DocumentEdit::open((testing::corpusDir() / "files" / name).string(), false, nullptr);
        if (!edit.ok()) continue;  // a file too damaged to open shows that reason instead
        const bool marked = testing::oracleOf(name)["cfb"].value("encrypted", false);
        EXPECT_EQ(edit->isEncrypted(), marked) << name;
        encrypted += marked;
    }
    EXPECT_EQ(encrypted, 6) << "encrypted corpus files that open";
}

}  // namespace
}  // namespace quorvane::document
