#pragma once

#include <optional>

#include "examdb/error.h"

// The Error a call throws, if any.
template <class F>
std::optional<examdb::Error> caught(F&& call) {
    try {
        call();
    } catch (const examdb::Error& e) {
        return e;
    }
    return std::nullopt;
}

// The number of the Error a call throws, 0 when it throws none.
template <class F>
int errorNumber(F&& call) {
    const auto e = caught(std::forward<F>(call));
    return e ? e->number : 0;
}
