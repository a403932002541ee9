#pragma once

#include <csetjmp>
#include <cstdio>

extern "C" {
#include <jpeglib.h>
}

namespace tovin {

// libjpeg reports a fatal error by calling error_exit, which must not
// return: ours jumps back into guarded(), the only frame that runs libjpeg
// code. No object with a destructor may live between that jump and its
// target. The trap's manager is the libjpeg object's error manager.
struct LibjpegTrap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;

    template<typename Steps> bool guarded(Steps steps)
    {
        if (setjmp(jump))
            return false;
        steps();
        return true;
    }
};

[[noreturn]] inline void leaveLibjpeg(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<LibjpegTrap *>(info->err)->jump, 1);
}

// Warnings and errors are reported by what the caller returns, never printed.
inline void printNothing(j_common_ptr) { }

} // namespace tovin
