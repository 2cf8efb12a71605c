// SPDX-License-Identifier: Apache-2.0
#include "document/encryption_check.h"

#include <array>
#include <string_view>

#include "document/last_user_name.h"

namespace quorvane::document {
namespace {

constexpr std::array<std::u16string_view, 3> kEncryptedStreamNames{u"EncryptionInfo", u"EncryptedPackage", u"EncryptedSummary"};

}  // namespace

bool compoundFileIsEncrypted(cfb::CompoundFile& compoundFile)
{
    for (const std::u16string_view name : kEncryptedStreamNames)
        if (compoundFile.findRootStream(name)) return true;
    const auto currentUser = compoundFile.findRootStream(kCurrentUserStreamName);
    if (!currentUser) return false;
    const auto stream = compoundFile.readStream(*currentUser, kMaxCurrentUserStreamBytes);
    return stream.ok() && currentUserHeaderToken(*stream) == kEncryptedDocumentHeaderToken;
}

Failure encryptedDocumentRefusal()
{
    return Failure(FailureKind::Unsupported, "encrypted document: its properties are inside the encryption");
}

}  // namespace quorvane::document
