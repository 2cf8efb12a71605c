// SPDX-License-Identifier: Apache-2.0
#include "tests/support/signed_files.h"

#include <algorithm>
#include <cstring>

#include "props/catalogue.h"
#include "propset/propset_writer.h"
#include "tests/support/cfb_builder.h"
#include "tests/support/package_builder.h"

namespace quorvane::testing {
namespace {

constexpr const char* kOriginType = "http://schemas.openxmlformats.org/package/2006/relationships/digital-signature/origin";
constexpr const char* kSignatureType =
    "http://schemas.openxmlformats.org/package/2006/relationships/digital-signature/signature";

// An XML-DSig signature with Office's package object reference; digests and value are dummies.
constexpr const char* kSignaturePart =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Signature xmlns="http://www.w3.org/2000/09/xmldsig#" Id="idPackageSignature"><SignedInfo>)"
    R"(<CanonicalizationMethod Algorithm="http://www.w3.org/TR/2001/REC-xml-c14n-20010315"/>)"
    R"(<SignatureMethod Algorithm="http://www.w3.org/2001/04/xmldsig-more#rsa-sha256"/>)"
    R"(<Reference Type="http://www.w3.org/2000/09/xmldsig#Object" URI="#idPackageObject">)"
    R"(<DigestMethod Algorithm="http://www.w3.org/2001/04/xmlenc#sha256"/><DigestValue>AAAA</DigestValue>)"
    R"(</Reference></SignedInfo><SignatureValue>AAAA</SignatureValue><Object Id="idPackageObject">)"
    R"(<Manifest><Reference URI="/docProps/core.xml?ContentType=application/vnd.openxmlformats-package.core-properties+xml">)"
    R"(<DigestMethod Algorithm="http://www.w3.org/2001/04/xmlenc#sha256"/><DigestValue>AAAA</DigestValue>)"
    R"(</Reference></Manifest></Object></Signature>)";

constexpr const char* kContentTypes =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/>)"
    R"(<Default Extension="sigs" ContentType="application/vnd.openxmlformats-package.digital-signature-origin"/>)"
    R"(<Override PartName="/_xmlsignatures/sig1.xml" ContentType="application/vnd.openxmlformats-package.digital-signature-xmlsignature+xml"/>)"
    R"(</Types>)";

}  // namespace

std::string signedPackageBytes(const PackageSignature& signature)
{
    const std::string prefix = signature.absoluteTargets ? "/" : "";
    std::string relationships = relationshipsPart();
    if (signature.originRelationship)
        relationships.insert(relationships.rfind("</Relationships>"),
                             std::string(R"(<Relationship Id="rId4" Type=")") + kOriginType + R"(" Target=")" + prefix +
                                 R"(_xmlsignatures/origin.sigs"/>)");
    std::vector<ZipBuilderEntry> entries =
        packageEntries(relationships, extendedPart(fullExtendedChildren()), corePart(fullCoreChildren()));
    entries.front().content = kContentTypes;
    std::string originRelationships =
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)";
    if (signature.signatureRelationship)
        originRelationships += std::string(R"(<Relationship Id="rId1" Type=")") + kSignatureType + R"(" Target=")" +
                               (signature.absoluteTargets ? "/_xmlsignatures/" : "") + R"(sig1.xml"/>)";
    originRelationships += "</Relationships>";
    entries.push_back({.name = "_xmlsignatures/origin.sigs", .content = "", .deflate = false});
    entries.push_back({.name = "_xmlsignatures/_rels/origin.sigs.rels", .content = originRelationships});
    if (signature.signaturePart) entries.push_back({.name = "_xmlsignatures/sig1.xml", .content = kSignaturePart});
    return buildZip(entries);
}

std::vector<std::byte> signedCompoundFileBytes(const std::u16string& signatureEntry, bool asStorage)
{
    const std::string title = "Signed title";
    std::vector<std::byte> titleBytes(title.size());
    std::memcpy(titleBytes.data(), title.data(), title.size());
    CfbLayout layout;
    layout.streams = {{u"\x05SummaryInformation",
                       propset::newPropertySet(props::fmtidOfSelector(props::kSummaryInformation), 2,
                                               propset::typedCodePageString(titleBytes, 1252))},
                      {u"PowerPoint Document", patternBytes(3000, 5)}};
    // A signature stream of the binary form is a small serialized structure; its content is not read.
    if (!signatureEntry.empty()) layout.streams.push_back({signatureEntry, asStorage ? std::vector<std::byte>{} : patternBytes(700, 9)});
    std::vector<std::byte> bytes = buildCompoundFile(layout);
    if (asStorage) {
        // [MS-CFB] 2.6.1: the entry's name opens its 128 bytes; type byte at 66 (1 = storage),
        // starting sector at 116 and size at 120 are 0 for a storage.
        std::vector<std::byte> nameBytes;
        for (const char16_t unit : signatureEntry) nameBytes.insert(nameBytes.end(), {std::byte(unit & 0xFF), std::byte(unit >> 8)});
        const auto at = std::search(bytes.begin() + 512, bytes.end(), nameBytes.begin(), nameBytes.end());
        const std::size_t entry = std::size_t(at - bytes.begin());
        bytes[entry + 66] = std::byte{1};
        writeU32(bytes, entry + 116, 0);
        writeU32(bytes, entry + 120, 0);
        writeU32(bytes, entry + 124, 0);
    }
    return bytes;
}

}  // namespace quorvane::testing
