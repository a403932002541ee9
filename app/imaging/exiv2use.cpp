#include "exiv2use.h"

#include <exiv2/exiv2.hpp>

namespace tovin {
namespace {

std::mutex &xmpMutex()
{
    static std::mutex shared;
    return shared;
}

} // namespace

void prepareExiv2()
{
    static const bool prepared = [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        return Exiv2::XmpParser::initialize();
    }();
    (void)prepared;
}

Exiv2XmpLock::Exiv2XmpLock()
    : m_lock(xmpMutex())
{
    prepareExiv2();
}

} // namespace tovin
