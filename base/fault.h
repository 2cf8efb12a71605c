// Why a core operation failed, for callers that need the reason (tool exit codes, tests).
// Functions at the outer surface still answer with "" or false; this travels below it.
#pragma once

namespace quorvane {

enum class Fault {
    None,
    NotFound,     // no such file, stream, entry or property
    Corrupt,      // the bytes of the file break its format
    Io,           // the operating system refused a read, write, sync or rename
    Locked,       // another process holds a conflicting lock, or the file is read-only
    Unsupported,  // a valid file that uses something we do not handle
};

}  // namespace quorvane
