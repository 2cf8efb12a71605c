// SPDX-License-Identifier: Apache-2.0
// Whether a compound file is an encrypted document, whose real properties no change of ours could
// reach: an encrypted package ([MS-OFFCRYPTO] 2.3.4: the "EncryptionInfo" and "EncryptedPackage"
// streams hold the whole package; it starts as a compound file and is read as one, whatever its
// name says), or a .ppt encrypted with RC4 CryptoAPI ([MS-PPT] 2.3.7: its CurrentUserAtom
// carries the encrypted headerToken; [MS-OFFCRYPTO] 2.3.5.4: an "EncryptedSummary" stream holds
// its property sets, and a DocumentSummaryInformation without properties may stay in the clear).
// The check reads the root storage's names and the short Current User stream only.
#pragma once

#include "base/failure.h"
#include "cfb/cfb_compound_file.h"

namespace quorvane::document {

// True when the root storage of `compoundFile` holds an "EncryptionInfo", "EncryptedPackage" or
// "EncryptedSummary" stream, or a "Current User" stream (read up to kMaxCurrentUserStreamBytes)
// whose headerToken marks encryption; false otherwise, also when that stream cannot be read.
bool compoundFileIsEncrypted(cfb::CompoundFile& compoundFile);

// The refusal of a change to, and the failure of a read of, an encrypted document: "encrypted
// document: its properties are inside the encryption" (Unsupported).
Failure encryptedDocumentRefusal();

}  // namespace quorvane::document
