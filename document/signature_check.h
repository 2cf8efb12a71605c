// Whether a file carries a digital signature that a change of its document properties would
// break, so that such a change can be refused unless the user insists. A package is signed when
// its package relationships name a digital-signature origin part (ECMA-376 Part 2, 13.2.1) whose
// own relationships name at least one signature part that the archive holds; a compound file is
// signed when its root storage holds an "_xmlsignatures" or "_signatures" storage, or a
// "\x05DigitalSignature" or "MsoDigitalSignature" stream ([MS-OFFCRYPTO] 2.5).
#pragma once

#include <string>

#include "base/failure.h"
#include "document/document_format.h"

namespace quorvane::document {

// True when the file at `path`, read as `format`, carries a signature as above. False when it
// carries none, and also when the file cannot be opened or its structure read (a write of it
// then fails on its own, with its own reason). Opens the file under a shared lock, reads the
// package relationships (or the compound file's directory) and changes nothing.
bool hasDigitalSignature(const std::string& path, DocumentFormat format);

// The refusal of a change to a signed file: "signed document: changing it would invalidate its
// signature" (Permission).
Failure signedDocumentRefusal();

// While an object of this type lives on a thread, property writes on that thread
// (document_rows.h) change signed files as they change any other, when `allowed` is true; by
// default they refuse them with signedDocumentRefusal(). The previous choice comes back when the
// object goes. For the command line's --force-signed.
class SignedDocumentWrites {
public:
    explicit SignedDocumentWrites(bool allowed);
    ~SignedDocumentWrites();
    SignedDocumentWrites(const SignedDocumentWrites&) = delete;
    SignedDocumentWrites& operator=(const SignedDocumentWrites&) = delete;

    // Whether writes on this thread may change a signed file now.
    static bool allowed();

private:
    bool previous_;
};

}  // namespace quorvane::document
