#pragma once

#include <mutex>

namespace tovin {

// Exiv2 set up once for the whole program: its log muted, since an odd
// metadata block is the program's to report (as a skipped photo, or a photo
// without a date), never Exiv2's on the terminal; and its XMP toolkit
// initialised, which must happen before any thread parses XMP.
void prepareExiv2();

// Exiv2's XMP toolkit keeps state that is not safe to share between
// threads: every use of XMP holds this lock. Reading an EXIF block alone
// needs only prepareExiv2().
class Exiv2XmpLock
{
public:
    Exiv2XmpLock();

private:
    std::lock_guard<std::mutex> m_lock;
};

} // namespace tovin
