// SPDX-License-Identifier: Apache-2.0
// Whether a file carries a digital signature that a change of its document properties would
// break, so that such a change can be refused unless the user insists. A package is signed when
// its package relationships name a digital-signature origin part (ECMA-376 Part 2, 13.2.1) whose
// own relationships name at least one signature part that the archive holds; a compound file is
// signed when its root storage holds an "_xmlsignatures" or "_signatures" storage, or a
// "\x05DigitalSignature" or "MsoDigitalSignature" stream ([MS-OFFCRYPTO] 2.5).
#pragma once

#include <string>

#include "base/failure.h"
#include "base/random_access_file.h"
#include "cfb/cfb_compound_file.h"
#include "zip/zip_central_dir.h"

namespace quorvane::document {

// True when the package whose archive directory `directory` is, read from `file`, carries a
// signature as above; false when it carries none or its relationships cannot be read (a write of
// it then fails on its own, with its own reason). Changes nothing.
bool packageHasSignature(RandomAccessFile& file, const zip::ZipDirectory& directory);

// True when the root storage of `compoundFile` holds a signature storage or stream as above.
bool compoundFileHasSignature(cfb::CompoundFile& compoundFile);

// The refusal of a change to a signed file: "signed document: changing it would invalidate its
// signature" (Permission).
Failure signedDocumentRefusal();

}  // namespace quorvane::document
