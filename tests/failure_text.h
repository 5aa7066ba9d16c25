// The message a call fails with, for tests that check the exact text the
// user sees.
#pragma once

#include <string>

#include "core/failure.h"

namespace radmtf::testing {

inline std::string FailureText(auto&& call)
{
    try {
        call();
    } catch (const Failure& failure) {
        return failure.what();
    }
    return "<no failure>";
}

}  // namespace radmtf::testing
