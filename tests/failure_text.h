// The message a call fails with, for tests that check the exact text the
// user sees (made by the program's message catalogue).
#pragma once

#include <string>

#include "app/messages.h"
#include "core/failure.h"

namespace radmtf::testing {

inline std::string Text(const Failure& failure)
{
    return FailureText(failure).toStdString();
}

inline std::string FailureText(auto&& call)
{
    try {
        call();
    } catch (const Failure& failure) {
        return Text(failure);
    }
    return "<no failure>";
}

}  // namespace radmtf::testing
