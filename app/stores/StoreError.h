#pragma once

#include "threads/ThreadLastError.h"

// Why a store operation failed.
enum class StoreErrorCode {
    None, // no failure recorded on this thread
    Missing, // the store file does not exist
    NoRecord, // no record at that position, or no record of that name
    Duplicate, // a saved message of that name exists already
    BadField, // a field is empty where it must not be, or holds a delimiter or line break
    TooLong, // a field or the whole record is longer than the store can read back
    RecordChanged, // the record at that position is no longer the one the caller read
    Io, // the file could not be read, written, locked or replaced
};

// The last failure of a store operation on the calling thread. The stores are shared by the
// user-interface and the scheduler threads, so an object-wide last error would be overwritten
// by the other thread between a failure and its report.
using StoreError = ThreadLastError<StoreErrorCode>;
