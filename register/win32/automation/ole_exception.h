#pragma once

#include <windows.h>
#include <oaidl.h>

#include <stdexcept>
#include <string>

// An automation failure, carrying the application's own error text when it
// gave one and the system's text for the result code otherwise.
class EOleException : public std::runtime_error {
public:
    EOleException(const std::string& message, HRESULT code) : std::runtime_error(message), code_(code) {}
    HRESULT code() const { return code_; }

private:
    HRESULT code_;
};

// The system's text for a result code or a Win32 error code.
std::string SystemText(HRESULT code);

// `info` is read when the call reported DISP_E_EXCEPTION; its strings are
// freed here.
[[noreturn]] void ThrowOleError(HRESULT code, EXCEPINFO* info = nullptr);
