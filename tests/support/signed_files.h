// SPDX-License-Identifier: Apache-2.0
// Digitally signed files made for tests, in the shapes Office leaves: a package whose
// relationships name a signature origin part, whose own relationships name XML signature parts
// (ECMA-376 Part 2, 13.2), and a compound file with a signature entry in its root storage
// ([MS-OFFCRYPTO] 2.5). The signatures are shaped like the real ones but sign nothing: their
// digests and signature values are placeholders, as no test here verifies a signature.
#pragma once

#include <string>
#include <vector>

namespace quorvane::testing {

// How a test package carries its signature.
struct PackageSignature {
    bool originRelationship = true;  // _rels/.rels names the origin part
    bool absoluteTargets = false;    // targets written "/_xmlsignatures/..." rather than relative
    bool signatureRelationship = true;  // the origin part's relationships name sig1.xml
    bool signaturePart = true;          // _xmlsignatures/sig1.xml is in the archive
};

// A package with every property element, content types for the signature parts, and the
// signature as `signature` says.
std::string signedPackageBytes(const PackageSignature& signature = {});

// A compound file holding a SummaryInformation stream with a title, a "PowerPoint Document"
// stream and a root entry named `signatureEntry` (a stream, or an empty storage when
// `asStorage`); no signature entry when the name is empty.
std::vector<std::byte> signedCompoundFileBytes(const std::u16string& signatureEntry, bool asStorage);

}  // namespace quorvane::testing
