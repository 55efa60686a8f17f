#include "register/win32/automation/com_resources.h"

#include <new>

#include "register/core/text/text_encoding.h"
#include "register/win32/automation/dispatch.h"
#include "register/win32/automation/ole_exception.h"

Bstr::Bstr(std::wstring_view text) : b_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())))
{
    if (!b_) throw std::bad_alloc();
}

Variant::Variant(int value) : Variant()
{
    v_.vt = VT_I4;
    v_.lVal = value;
}

Variant::Variant(bool value) : Variant()
{
    v_.vt = VT_BOOL;
    v_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

Variant::Variant(std::wstring_view text) : Variant()
{
    v_.bstrVal = Bstr(text).Release();
    v_.vt = VT_BSTR;
}

Variant::Variant(const std::string& utf8) : Variant(std::wstring_view(Widen(utf8))) {}

Variant::Variant(const Dispatch& object) : Variant()
{
    v_.pdispVal = object.get();
    if (v_.pdispVal) v_.pdispVal->AddRef();
    v_.vt = VT_DISPATCH;
}

Variant::Variant(Variant&& other) noexcept : v_(other.v_)
{
    VariantInit(&other.v_);
}

Variant& Variant::operator=(Variant&& other) noexcept
{
    if (this != &other) {
        VariantClear(&v_);
        v_ = other.v_;
        VariantInit(&other.v_);
    }
    return *this;
}

namespace {

Variant Converted(const VARIANT& from, VARTYPE type)
{
    Variant to;
    const HRESULT result = VariantChangeType(to.Receive(), const_cast<VARIANT*>(&from), 0, type);
    if (FAILED(result)) ThrowOleError(result);
    return to;
}

}  // namespace

bool Variant::AsBool() const
{
    return Converted(v_, VT_BOOL).get().boolVal != VARIANT_FALSE;
}

long Variant::AsLong() const
{
    return Converted(v_, VT_I4).get().lVal;
}

std::wstring Variant::AsText() const
{
    const Variant text = Converted(v_, VT_BSTR);
    return std::wstring(text.get().bstrVal, SysStringLen(text.get().bstrVal));
}
