#include "document/thumbnail_removal.h"

#include "document/document_format.h"
#include "document/signature_check.h"
#include "package/package_thumbnail.h"
#include "propset/thumbnail_property.h"

namespace quorvane::document {

Failure removeThumbnail(const std::string& path)
{
    const DocumentFormat format = documentFormatOf(path);
    if (!SignedDocumentWrites::allowed() && hasDigitalSignature(path, format)) return signedDocumentRefusal();
    if (format == DocumentFormat::Package) return package::removePackageThumbnail(path);
    return propset::removeThumbnailProperty(path);
}

}  // namespace quorvane::document
