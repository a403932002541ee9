#include "freeimagebitmap.h"

namespace tovin {

void ensureFreeImage()
{
    static const bool initialised = [] {
        FreeImage_Initialise(FALSE);
        return true;
    }();
    (void)initialised;
}

} // namespace tovin
