#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>
#include <utility>

// Owners of COM resources: every interface pointer, BSTR and VARIANT is
// released by its owner on every path.

// COM for this thread, apartment-threaded, for the owner's lifetime.
class ComApartment {
public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment()
    {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT result_;
};

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference the caller already holds.
    explicit ComPtr(T* adopted) : p_(adopted) {}
    ComPtr(const ComPtr& other) : p_(other.p_)
    {
        if (p_) p_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(p_, other.p_);
        return *this;
    }
    ~ComPtr() { Reset(); }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For out-parameters: releases what is held first.
    T** Receive()
    {
        Reset();
        return &p_;
    }
    void Reset()
    {
        if (p_) std::exchange(p_, nullptr)->Release();
    }

private:
    T* p_ = nullptr;
};

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(std::wstring_view text);
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(b_); }

    BSTR get() const { return b_; }
    // Hands the string over to a VARIANT or a callee that frees it.
    BSTR Release() { return std::exchange(b_, nullptr); }

private:
    BSTR b_ = nullptr;
};

class Dispatch;

// One VARIANT, cleared when it goes. Boolean true is VARIANT_TRUE (all bits
// set), as automation servers expect.
class Variant {
public:
    Variant() { VariantInit(&v_); }
    Variant(int value);
    Variant(bool value);
    Variant(std::wstring_view text);
    // Not left to the pointer-to-bool conversion.
    Variant(const wchar_t* text) : Variant(std::wstring_view(text)) {}
    Variant(const std::string& utf8);
    Variant(const char* utf8) : Variant(std::string(utf8)) {}
    Variant(const Dispatch& object);
    Variant(Variant&& other) noexcept;
    Variant& operator=(Variant&& other) noexcept;
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(&v_); }

    const VARIANT& get() const { return v_; }
    VARIANT* Receive()
    {
        VariantClear(&v_);
        return &v_;
    }

    bool AsBool() const;
    long AsLong() const;
    std::wstring AsText() const;

private:
    VARIANT v_;
};
