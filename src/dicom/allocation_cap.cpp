#include "dicom/allocation_cap.h"

#include <atomic>
#include <limits>

namespace radmtf {

namespace {
std::atomic<std::size_t> cap{std::numeric_limits<std::size_t>::max()};
}  // namespace

std::size_t AllocationCap()
{
    return cap.load(std::memory_order_relaxed);
}

AllocationCapScope::AllocationCapScope(std::size_t bytes) : previous_(cap.exchange(bytes)) {}

AllocationCapScope::~AllocationCapScope()
{
    cap.store(previous_);
}

}  // namespace radmtf
