#include "foundation/bulkrelease.h"

#include <cstddef>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

#ifdef __GLIBC__
// The library's own default for blocks kept aside.
const int defaultFastLimit = 64 * int(sizeof(std::size_t)) / 4;
#endif

}

BulkRelease::BulkRelease()
{
#ifdef __GLIBC__
    mallopt(M_MXFAST, 0);
#endif
}

BulkRelease::~BulkRelease()
{
#ifdef __GLIBC__
    mallopt(M_MXFAST, defaultFastLimit);
#endif
}
