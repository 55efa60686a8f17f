// Small models of a word processor and a spreadsheet behind IDispatch: what
// the register tells them is logged (puts and method calls, in order) and
// acted on, so tests can read the document text and the grid afterwards.
#include "tests/win32/automation/standins/standin_objects.h"

#include <oleauto.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace standins {

namespace {

constexpr long kMaxColumn = 16384;
// Well beyond the register's own bound of 1000 replacements a placeholder.
constexpr int kRunawayTyping = 2000;
constexpr DISPID kFirstNamedArgument = 1000;

// The desk both applications work on; one per process, as the tests need.
struct Desk {
    std::vector<std::wstring> log;
    long invokes = 0;
    long nameLookups = 0;
    // Word processor
    std::wstring document;
    bool hasDocument = false;
    long selectionStart = 0;
    long selectionEnd = 0;
    bool replaceSelection = false;
    bool positionsReported = true;  // false: Start and End always say 0
    std::wstring findText;
    long findWrap = 0;
    int typedSinceFind = 0;
    // Spreadsheet
    bool hasWorkbook = false;
    std::map<std::pair<long, long>, std::wstring> cells;
};
Desk desk;
long liveObjects = 0;

void Retain() { ++liveObjects; }
void Let() { --liveObjects; }

std::wstring Describe(const VARIANT& value)
{
    switch (value.vt) {
    case VT_BSTR: return std::wstring(value.bstrVal, SysStringLen(value.bstrVal));
    case VT_BOOL:
        if (value.boolVal == VARIANT_TRUE) return L"true";
        if (value.boolVal == VARIANT_FALSE) return L"false";
        return L"bool(" + std::to_wstring(value.boolVal) + L")";
    case VT_I4: return std::to_wstring(value.lVal);
    case VT_I2: return std::to_wstring(value.iVal);
    default: return L"vt" + std::to_wstring(value.vt);
    }
}

// One call as the object sees it; arguments in reading order.
struct Request {
    const std::wstring& member;
    WORD flags;
    DISPPARAMS& params;
    VARIANT* result;
    const std::vector<std::wstring>& namedArguments;

    bool IsPut() const { return (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0; }
    bool IsMethod() const { return (flags & DISPATCH_METHOD) != 0; }
    UINT PositionalCount() const { return params.cArgs - params.cNamedArgs; }
    const VARIANT& Positional(UINT i) const
    {
        if (i >= PositionalCount()) throw std::wstring(L"argument missing for ") + member;
        return params.rgvarg[params.cArgs - 1 - i];
    }
    long Long(UINT i) const
    {
        VARIANT converted;
        VariantInit(&converted);
        if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(&Positional(i)), 0, VT_I4))) {
            throw std::wstring(L"not a number");
        }
        return converted.lVal;
    }
    const VARIANT& PutValue() const
    {
        if (params.cNamedArgs != 1 || params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
            throw std::wstring(L"a put without DISPID_PROPERTYPUT: ") + member;
        }
        return params.rgvarg[0];
    }
    std::wstring Arguments() const
    {
        std::wstring text;
        for (UINT i = 0; i < params.cNamedArgs; ++i) {
            const DISPID id = params.rgdispidNamedArgs[i];
            const std::size_t index = static_cast<std::size_t>(id - kFirstNamedArgument);
            text += (index < namedArguments.size() ? namedArguments[index] : L"?") + L"=" + Describe(params.rgvarg[i]);
        }
        for (UINT i = 0; i < PositionalCount(); ++i) text += (text.empty() ? L"" : L",") + Describe(Positional(i));
        return text;
    }
    void Return(IDispatch* object) const
    {
        if (!result) {
            object->Release();
            return;
        }
        result->vt = VT_DISPATCH;
        result->pdispVal = object;
    }
    void Return(bool value) const
    {
        if (result) {
            result->vt = VT_BOOL;
            result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
        }
    }
    void Return(long value) const
    {
        if (result) {
            result->vt = VT_I4;
            result->lVal = value;
        }
    }
    void Return(const std::wstring& text) const
    {
        if (result) {
            result->vt = VT_BSTR;
            result->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        }
    }
};

// IDispatch by member name; members are told apart by name in Act.
class Object : public IDispatch {
public:
    explicit Object(std::wstring label, std::vector<std::wstring> members, bool counted = true)
        : label_(std::move(label)), members_(std::move(members)), counted_(counted)
    {
        Retain();
    }
    virtual ~Object() { Let(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        if (counted_) ++desk.nameLookups;
        HRESULT outcome = S_OK;
        for (UINT i = 0; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
            if (i == 0) {
                const auto found = std::find_if(members_.begin(), members_.end(),
                                                [&](const std::wstring& m) { return lstrcmpiW(m.c_str(), names[0]) == 0; });
                if (found != members_.end()) ids[0] = static_cast<DISPID>(found - members_.begin()) + 1;
            } else {
                namedArguments_.push_back(names[i]);
                ids[i] = kFirstNamedArgument + static_cast<DISPID>(namedArguments_.size()) - 1;
            }
            if (ids[i] == DISPID_UNKNOWN) outcome = DISP_E_UNKNOWNNAME;
        }
        return outcome;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* info, UINT*) override
    {
        if (counted_) ++desk.invokes;
        if (id < 1 || id > static_cast<DISPID>(members_.size())) return DISP_E_MEMBERNOTFOUND;
        if (result) VariantInit(result);
        const Request request{members_[static_cast<std::size_t>(id - 1)], flags, *params, result, namedArguments_};
        try {
            if (request.IsPut()) {
                desk.log.push_back(label_ + L"." + request.member + L"=" + Describe(request.PutValue()));
            } else if (request.IsMethod() && !(flags & DISPATCH_PROPERTYGET)) {
                desk.log.push_back(label_ + L"." + request.member + L"(" + request.Arguments() + L")");
            }
            Act(request);
            return S_OK;
        } catch (const std::wstring& message) {
            if (info) {
                *info = EXCEPINFO{};
                info->bstrSource = SysAllocString(label_.c_str());
                info->bstrDescription = SysAllocString(message.c_str());
                info->scode = DISP_E_EXCEPTION;
            }
            return DISP_E_EXCEPTION;
        }
    }

protected:
    virtual void Act(const Request& request) = 0;
    const std::wstring& label() const { return label_; }

private:
    ULONG references_ = 1;
    std::wstring label_;
    std::vector<std::wstring> members_;
    std::vector<std::wstring> namedArguments_;
    bool counted_;
};

// Puts and calls that only need logging.
class Recorder final : public Object {
public:
    using Object::Object;
    void Act(const Request&) override {}
};

std::wstring ReadTemplate(const std::wstring& path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    if (!file) throw std::wstring(L"文档打开失败：") + path;
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
    return text;
}

class Find final : public Object {
public:
    Find()
        : Object(L"Find", {L"ClearFormatting", L"Text", L"Replacement", L"Forward", L"Wrap", L"Format", L"MatchCase",
                           L"MatchWholeWord", L"MatchByte", L"MatchWildcards", L"MatchSoundsLike",
                           L"MatchAllWordForms", L"Execute"})
    {
    }
    void Act(const Request& r) override
    {
        if (r.member == L"Replacement") return r.Return(new Recorder(L"Replacement", {L"Text"}));
        if (r.member == L"Text" && r.IsPut()) {
            desk.findText = Describe(r.PutValue());
            desk.typedSinceFind = 0;
        }
        if (r.member == L"Wrap" && r.IsPut()) desk.findWrap = r.PutValue().lVal;
        if (r.member == L"Execute") r.Return(Execute());
    }

private:
    // The next occurrence after the selection; with Wrap 1, from the start.
    static bool Execute()
    {
        if (!desk.hasDocument) throw std::wstring(L"没有打开的文档");
        if (desk.findText.empty()) return false;
        std::size_t at = desk.document.find(desk.findText, static_cast<std::size_t>(desk.selectionEnd));
        if (at == std::wstring::npos && desk.findWrap == 1) at = desk.document.find(desk.findText);
        if (at == std::wstring::npos) return false;
        desk.selectionStart = static_cast<long>(at);
        desk.selectionEnd = static_cast<long>(at + desk.findText.size());
        return true;
    }
};

class Selection final : public Object {
public:
    Selection() : Object(L"Selection", {L"Find", L"TypeText", L"homekey", L"Start", L"End"}) {}
    void Act(const Request& r) override
    {
        if (r.member == L"Find") return r.Return(new Find());
        if (r.member == L"Start") return r.Return(desk.positionsReported ? desk.selectionStart : 0L);
        if (r.member == L"End") return r.Return(desk.positionsReported ? desk.selectionEnd : 0L);
        if (r.member == L"homekey") {
            desk.selectionStart = desk.selectionEnd = 0;
            return;
        }
        if (r.member == L"TypeText") {
            if (++desk.typedSinceFind > kRunawayTyping) throw std::wstring(L"runaway typing");
            const std::wstring text = Describe(r.Positional(0));
            const long replaced = desk.replaceSelection ? desk.selectionEnd - desk.selectionStart : 0;
            desk.document.replace(static_cast<std::size_t>(desk.selectionStart), static_cast<std::size_t>(replaced), text);
            desk.selectionStart = desk.selectionEnd = desk.selectionStart + static_cast<long>(text.size());
        }
    }
};

class WordApplication final : public Object {
public:
    WordApplication() : Object(L"Application", {L"Application", L"Visible", L"Documents", L"Options", L"Selection"}) {}
    void Act(const Request& r) override
    {
        if (r.member == L"Application") {
            AddRef();
            return r.Return(static_cast<IDispatch*>(this));
        }
        if (r.member == L"Documents") return r.Return(new Documents());
        if (r.member == L"Options") return r.Return(new Options());
        if (r.member == L"Selection") return r.Return(new Selection());
    }

private:
    class Documents final : public Object {
    public:
        Documents() : Object(L"Documents", {L"Add"}) {}
        void Act(const Request& r) override
        {
            desk.document = ReadTemplate(Describe(r.Positional(0)));
            desk.hasDocument = true;
            desk.selectionStart = desk.selectionEnd = 0;
        }
    };
    class Options final : public Object {
    public:
        Options() : Object(L"Options", {L"ReplaceSelection"}) {}
        void Act(const Request& r) override { desk.replaceSelection = r.PutValue().boolVal == VARIANT_TRUE; }
    };
};

// A cell, a row or a rectangle of the active sheet.
class Range final : public Object {
public:
    Range(std::wstring label, long top, long left, long bottom, long right)
        : Object(std::move(label), {L"Value", L"HorizontalAlignment", L"VerticalAlignment", L"Font", L"Merge"}),
          top(top), left(left), bottom(bottom), right(right)
    {
    }
    static Range* Cell(long row, long column)
    {
        return new Range(L"Cells(" + std::to_wstring(row) + L"," + std::to_wstring(column) + L")", row, column, row,
                         column);
    }
    void Act(const Request& r) override
    {
        if (r.member == L"Font") return r.Return(new Recorder(label() + L".Font", {L"size", L"Bold"}));
        if (r.member == L"Value" && r.IsPut()) {
            if (r.PutValue().vt != VT_BSTR) throw std::wstring(L"a value that is not text");
            desk.cells[{top, left}] = Describe(r.PutValue());
        }
    }
    const long top, left, bottom, right;
};

void RequireWorkbook()
{
    if (!desk.hasWorkbook) throw std::wstring(L"没有活动的工作表");
}

Range* CellOf(const Request& r)
{
    RequireWorkbook();
    return Range::Cell(r.Long(0), r.Long(1));
}

class Sheet final : public Object {
public:
    Sheet() : Object(L"ActiveSheet", {L"Cells", L"Range"}) {}
    void Act(const Request& r) override
    {
        if (r.member == L"Cells") return r.Return(CellOf(r));
        const auto* first = dynamic_cast<const Range*>(r.Positional(0).pdispVal);
        const auto* last = dynamic_cast<const Range*>(r.Positional(1).pdispVal);
        if (!first || !last) throw std::wstring(L"Range takes two cells");
        const std::wstring label = L"Range(" + std::to_wstring(first->top) + L"," + std::to_wstring(first->left) +
                                   L":" + std::to_wstring(last->bottom) + L"," + std::to_wstring(last->right) + L")";
        r.Return(new Range(label, first->top, first->left, last->bottom, last->right));
    }
};

class SheetApplication final : public Object {
public:
    SheetApplication()
        : Object(L"Application", {L"Application", L"Visible", L"WorkBooks", L"Cells", L"Rows", L"ActiveSheet"})
    {
    }
    void Act(const Request& r) override
    {
        if (r.member == L"Application") {
            AddRef();
            return r.Return(static_cast<IDispatch*>(this));
        }
        if (r.member == L"WorkBooks") return r.Return(new Workbooks());
        if (r.member == L"Cells") return r.Return(CellOf(r));
        if (r.member == L"ActiveSheet") {
            RequireWorkbook();
            return r.Return(new Sheet());
        }
        if (r.member == L"Rows") {
            RequireWorkbook();
            const long row = r.Long(0);
            return r.Return(new Range(L"Rows(" + std::to_wstring(row) + L")", row, 1, row, kMaxColumn));
        }
    }

private:
    class Workbooks final : public Object {
    public:
        Workbooks() : Object(L"Workbooks", {L"Add"}) {}
        void Act(const Request&) override
        {
            desk.hasWorkbook = true;
            desk.cells.clear();
        }
    };
};

// What tests read: the log, the document, the grid and the call counts.
class Inspector final : public Object {
public:
    Inspector()
        : Object(L"Inspector", {L"Log", L"Document", L"Cell", L"UsedColumns", L"UsedRows", L"Invokes", L"NameLookups",
                                L"Reset", L"PositionsReported"},
                 /*counted=*/false)
    {
    }
    void Act(const Request& r) override
    {
        if (r.member == L"Log") {
            std::wstring text;
            for (const std::wstring& line : desk.log) text += line + L"\n";
            return r.Return(text);
        }
        if (r.member == L"Document") return r.Return(desk.document);
        if (r.member == L"Cell") {
            const auto found = desk.cells.find({r.Long(0), r.Long(1)});
            return r.Return(found == desk.cells.end() ? std::wstring() : found->second);
        }
        if (r.member == L"UsedColumns" || r.member == L"UsedRows") {
            long used = 0;
            for (const auto& [at, text] : desk.cells) used = std::max(used, r.member == L"UsedRows" ? at.first : at.second);
            return r.Return(used);
        }
        if (r.member == L"Invokes") return r.Return(desk.invokes);
        if (r.member == L"NameLookups") return r.Return(desk.nameLookups);
        if (r.member == L"Reset") desk = Desk();
        if (r.member == L"PositionsReported") desk.positionsReported = r.PutValue().boolVal == VARIANT_TRUE;
    }
};

class Factory final : public IClassFactory {
public:
    explicit Factory(const StandInClass& type) : type_(type) { Retain(); }
    ~Factory() { Let(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        Object* made = nullptr;
        switch (type_.kind) {
        case Kind::WordProcessor: made = new WordApplication(); break;
        case Kind::Spreadsheet: made = new SheetApplication(); break;
        case Kind::Inspector: made = new Inspector(); break;
        }
        if (type_.kind != Kind::Inspector) desk.log.push_back(std::wstring(L"start ") + type_.progId);
        const HRESULT result = made->QueryInterface(iid, out);
        made->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        if (lock) {
            Retain();
        } else {
            Let();
        }
        return S_OK;
    }

private:
    ULONG references_ = 1;
    const StandInClass& type_;
};

}  // namespace

IClassFactory* NewFactory(const StandInClass& type)
{
    return new Factory(type);
}

long LiveObjects()
{
    return liveObjects;
}

}  // namespace standins
