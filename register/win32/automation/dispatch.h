#pragma once

#include <initializer_list>

#include "register/win32/automation/com_resources.h"

// Late-bound calls on an automation object by member name: a property get,
// a property put, a method call. Arguments are given in reading order.
// Failures raise EOleException.
class Dispatch {
public:
    using Arguments = std::initializer_list<Variant>;

    Dispatch() = default;
    explicit Dispatch(ComPtr<IDispatch> object) : object_(std::move(object)) {}
    explicit operator bool() const { return static_cast<bool>(object_); }
    IDispatch* get() const { return object_.get(); }

    Variant Value(const wchar_t* name, Arguments arguments = {}) const;
    // A property that holds an object.
    Dispatch Property(const wchar_t* name, Arguments arguments = {}) const;
    void Put(const wchar_t* name, const Variant& value) const;
    Variant Call(const wchar_t* name, Arguments arguments = {}) const;
    // A method with one named argument.
    Variant CallNamed(const wchar_t* name, const wchar_t* argumentName, const Variant& value) const;

    // The object an automation value holds.
    static Dispatch FromVariant(const Variant& value);

private:
    Variant Invoke(const wchar_t* name, WORD flags, Arguments positional, const wchar_t* namedArgument = nullptr,
                   const Variant* namedValue = nullptr) const;

    ComPtr<IDispatch> object_;
};
