#pragma once

#include "register/odbc/odbc_api.h"

// One ODBC handle, freed with its owner.
template <SQLSMALLINT Type>
class OdbcHandle {
public:
    OdbcHandle() = default;
    explicit OdbcHandle(SQLHANDLE handle) : handle_(handle) {}
    OdbcHandle(OdbcHandle&& other) noexcept : handle_(other.release()) {}
    OdbcHandle& operator=(OdbcHandle&& other) noexcept
    {
        reset(other.release());
        return *this;
    }
    OdbcHandle(const OdbcHandle&) = delete;
    OdbcHandle& operator=(const OdbcHandle&) = delete;
    ~OdbcHandle() { reset(); }

    SQLHANDLE get() const { return handle_; }
    SQLHANDLE* receive()
    {
        reset();
        return &handle_;
    }
    SQLHANDLE release()
    {
        SQLHANDLE handle = handle_;
        handle_ = SQL_NULL_HANDLE;
        return handle;
    }
    void reset(SQLHANDLE handle = SQL_NULL_HANDLE)
    {
        if (handle_ != SQL_NULL_HANDLE) SQLFreeHandle(Type, handle_);
        handle_ = handle;
    }

private:
    SQLHANDLE handle_ = SQL_NULL_HANDLE;
};

using OdbcEnvironmentHandle = OdbcHandle<SQL_HANDLE_ENV>;
using OdbcConnectionHandle = OdbcHandle<SQL_HANDLE_DBC>;
using OdbcStatementHandle = OdbcHandle<SQL_HANDLE_STMT>;
