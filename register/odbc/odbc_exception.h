#pragma once

#include <stdexcept>
#include <string>

// A failure reported by the ODBC driver manager or the driver; the message is
// the driver's own diagnostic text, which the error box shows.
class EOdbcException : public std::runtime_error {
public:
    EOdbcException(const std::string& message, std::string sqlState, bool connectionLost)
        : std::runtime_error(message), sqlState_(std::move(sqlState)), connectionLost_(connectionLost)
    {
    }
    const std::string& sqlState() const { return sqlState_; }
    // The link to the server is gone: the connection cannot be used again.
    bool connectionLost() const { return connectionLost_; }

private:
    std::string sqlState_;
    bool connectionLost_;
};
