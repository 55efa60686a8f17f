#pragma once

#include <stdexcept>
#include <string>

// Every failure of the access layer; carries only the message the error box
// shows.
class ESQLiteException : public std::runtime_error {
public:
    explicit ESQLiteException(const std::string& message) : std::runtime_error(message) {}
};
