// The failure code a call ends with, and whether a result warned of one, for
// tests of the Qt-free kernels.
#pragma once

#include "core/failure.h"

namespace radmtf::testing {

// kNotMeasured when the call does not fail.
inline FailureCode CodeOf(auto&& call)
{
    try {
        call();
    } catch (const Failure& failure) {
        return failure.code();
    }
    return FailureCode::kNotMeasured;
}

inline bool HasWarning(const auto& result, FailureCode code)
{
    for (const Failure& warning : result.warnings)
        if (warning.code() == code) return true;
    return false;
}

}  // namespace radmtf::testing
