#pragma once

#include <string>

#include "register/store/sqlite_exception.h"

// The message of the access-layer exception `call` raises, or a note that it
// raised none.
template <typename Call>
std::string MessageOf(Call&& call)
{
    try {
        call();
    } catch (const ESQLiteException& e) {
        return e.what();
    }
    return "<no exception>";
}
