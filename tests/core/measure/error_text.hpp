// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include "core/common/error.hpp"

#include <string>

namespace dimora::testing {

// The message of the Error that the call throws, or "no error".
template <class Call> std::string errorOf(Call&& call)
{
    try {
        call();
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

inline const std::string kInvalidOperation(msg::kInvalidFloatOperation);
inline const std::string kDivideByZero(msg::kFloatDivideByZero);

}  // namespace dimora::testing
