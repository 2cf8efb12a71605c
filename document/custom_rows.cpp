#include "document/custom_rows.h"

#include "document/document_format.h"
#include "document/signature_check.h"
#include "package/custom_part.h"
#include "package/custom_part_write.h"
#include "propset/custom_properties.h"

namespace quorvane::document {

Result<std::vector<props::CustomProperty>> readCustomRows(const std::string& path)
{
    if (documentFormatOf(path) == DocumentFormat::Package) return package::readPackageCustomProperties(path);
    return propset::readCustomProperties(path);
}

Failure writeCustomRows(const std::string& path, std::span<const props::CustomEdit> edits)
{
    if (edits.empty()) return {};
    const DocumentFormat format = documentFormatOf(path);
    if (!SignedDocumentWrites::allowed() && hasDigitalSignature(path, format)) return signedDocumentRefusal();
    if (format == DocumentFormat::Package) return package::writePackageCustomProperties(path, edits);
    return propset::writeCustomProperties(path, edits);
}

}  // namespace quorvane::document
