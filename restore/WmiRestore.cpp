// Listing restore points and requesting a roll-back through WMI.
#include "restore/WmiRestore.h"

#include "restore/CreationTime.h"

#include <wbemcli.h>
#include <wrl/client.h>

#include <string>

using Microsoft::WRL::ComPtr;

namespace zyr::restore {
namespace {

// {CB8555CC-9128-11D1-AD9B-00C04FD8FDFF}: the administrative locator.
constexpr CLSID kWbemAdministrativeLocator = {
    0xcb8555cc, 0x9128, 0x11d1, {0xad, 0x9b, 0x00, 0xc0, 0x4f, 0xd8, 0xfd, 0xff}};
// {4590F811-1D3A-11D0-891F-00AA004B2E24}: the locator every WMI installation registers.
constexpr CLSID kWbemLocator = {0x4590f811, 0x1d3a, 0x11d0, {0x89, 0x1f, 0x00, 0xaa, 0x00, 0x4b, 0x2e, 0x24}};
// {DC12A687-737F-11CF-884D-00AA004B2E24}
constexpr IID kIWbemLocator = {0xdc12a687, 0x737f, 0x11cf, {0x88, 0x4d, 0x00, 0xaa, 0x00, 0x4b, 0x2e, 0x24}};

// COM for one worker thread: initialised on entry, uninitialised on exit when it worked.
class ComThread {
public:
    ComThread() : initialised_(SUCCEEDED(CoInitialize(nullptr))) {
        // Already initialised security is no obstacle: the result is not needed.
        if (initialised_)
            CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_PKT, RPC_C_IMP_LEVEL_IMPERSONATE,
                                 nullptr, EOAC_NONE, nullptr);
    }
    ~ComThread() {
        if (initialised_) CoUninitialize();
    }
    ComThread(const ComThread&) = delete;
    ComThread& operator=(const ComThread&) = delete;

private:
    bool initialised_;
};

class Variant {
public:
    Variant() { VariantInit(&value_); }
    ~Variant() { VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT* operator&() { return &value_; }
    VARIANT& get() { return value_; }

private:
    VARIANT value_;
};

class Bstr {
public:
    explicit Bstr(const wchar_t* text) : value_(SysAllocString(text)) {}
    ~Bstr() { SysFreeString(value_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    operator BSTR() const { return value_; }

private:
    BSTR value_;
};

HRESULT Connect(ComPtr<IWbemServices>& services) {
    ComPtr<IWbemLocator> locator;
    HRESULT hr = CoCreateInstance(kWbemAdministrativeLocator, nullptr, CLSCTX_INPROC_SERVER, kIWbemLocator,
                                  reinterpret_cast<void**>(locator.GetAddressOf()));
    if (hr == REGDB_E_CLASSNOTREG)  // installations without the administrative locator
        hr = CoCreateInstance(kWbemLocator, nullptr, CLSCTX_INPROC_SERVER, kIWbemLocator,
                              reinterpret_cast<void**>(locator.GetAddressOf()));
    if (FAILED(hr)) return hr;
    Bstr space(L"root\\default");
    return locator->ConnectServer(space, nullptr, nullptr, nullptr, WBEM_FLAG_CONNECT_USE_MAX_WAIT, nullptr,
                                  nullptr, services.GetAddressOf());
}

bool ReadText(VARIANT& value, std::wstring& text) {
    if (V_VT(&value) != VT_BSTR && FAILED(VariantChangeType(&value, &value, 0, VT_BSTR))) return false;
    text.assign(V_BSTR(&value) ? V_BSTR(&value) : L"", V_BSTR(&value) ? SysStringLen(V_BSTR(&value)) : 0);
    return true;
}

bool ReadNumber(VARIANT& value, uint32_t& number) {
    if (V_VT(&value) != VT_UI4 && FAILED(VariantChangeType(&value, &value, 0, VT_UI4))) {
        // Negative 32-bit values keep their bits.
        if (FAILED(VariantChangeType(&value, &value, 0, VT_I4))) return false;
        number = static_cast<uint32_t>(V_I4(&value));
        return true;
    }
    number = V_UI4(&value);
    return true;
}

}  // namespace

bool RecordFromProperties(const PropertyReader& get, const TIME_ZONE_INFORMATION& zone, LCID locale,
                          RestorePointRecord& record) {
    auto read = [&](const wchar_t* name, auto&& use) {
        Variant value;
        if (get(name, value.get()) && V_VT(&value.get()) != VT_NULL && V_VT(&value.get()) != VT_EMPTY)
            use(value.get());
    };
    read(L"Description", [&](VARIANT& v) { ReadText(v, record.description); });
    bool numbered = false;
    read(L"SequenceNumber", [&](VARIANT& v) { numbered = ReadNumber(v, record.sequenceNumber) && record.sequenceNumber != 0; });
    read(L"CreationTime", [&](VARIANT& v) {
        std::wstring text;
        if (ReadText(v, text)) record.dateText = CreationTimeText(text, zone, locale);
    });
    read(L"RestorePointType", [&](VARIANT& v) { ReadNumber(v, record.restorePointType); });
    read(L"EventType", [&](VARIANT& v) { ReadNumber(v, record.eventType); });
    return numbered && record.restorePointType != kCancelledOperation;
}

bool RestoreAccepted(HRESULT execResult, const VARIANT* returnValue) {
    if (FAILED(execResult)) return false;
    if (!returnValue || V_VT(returnValue) == VT_EMPTY || V_VT(returnValue) == VT_NULL) return true;
    VARIANT number;
    VariantInit(&number);
    const bool zero = SUCCEEDED(VariantChangeType(&number, const_cast<VARIANT*>(returnValue), 0, VT_I4)) && V_I4(&number) == 0;
    VariantClear(&number);
    return zero;
}

bool ListRestorePointsOnThisThread(RestorePointList& points) {
    ComThread com;
    ComPtr<IWbemServices> services;
    if (FAILED(Connect(services))) return false;
    ComPtr<IEnumWbemClassObject> objects;
    Bstr language(L"WQL");
    Bstr query(L"select * from SystemRestore");
    if (FAILED(services->ExecQuery(language, query, WBEM_FLAG_FORWARD_ONLY, nullptr, objects.GetAddressOf())))
        return false;

    TIME_ZONE_INFORMATION zone{};
    GetTimeZoneInformation(&zone);
    for (;;) {
        ComPtr<IWbemClassObject> object;
        ULONG returned = 0;
        if (FAILED(objects->Next(WBEM_INFINITE, 1, object.GetAddressOf(), &returned)) || returned == 0 || !object)
            break;
        RestorePointRecord record;
        PropertyReader get = [&](const wchar_t* name, VARIANT& value) {
            return SUCCEEDED(object->Get(name, 0, &value, nullptr, nullptr));
        };
        if (RecordFromProperties(get, zone, LOCALE_USER_DEFAULT, record)) points.push_back(std::move(record));
    }
    return true;
}

bool RestoreSystemOnThisThread(uint32_t sequenceNumber) {
    ComThread com;
    ComPtr<IWbemServices> services;
    if (FAILED(Connect(services))) return false;
    Bstr className(L"SystemRestore");
    ComPtr<IWbemClassObject> systemRestore, parameters, input;
    if (FAILED(services->GetObject(className, 0, nullptr, systemRestore.GetAddressOf(), nullptr)) ||
        FAILED(systemRestore->GetMethod(L"Restore", 0, parameters.GetAddressOf(), nullptr)) || !parameters ||
        FAILED(parameters->SpawnInstance(0, input.GetAddressOf())))
        return false;
    Variant number;
    V_VT(&number.get()) = VT_BSTR;
    V_BSTR(&number.get()) = SysAllocString(std::to_wstring(sequenceNumber).c_str());
    if (!V_BSTR(&number.get()) || FAILED(input->Put(L"SequenceNumber", 0, &number, 0))) return false;

    Bstr method(L"Restore");
    ComPtr<IWbemClassObject> output;
    HRESULT hr = services->ExecMethod(className, method, 0, nullptr, input.Get(), output.GetAddressOf(), nullptr);
    Variant returnValue;
    if (SUCCEEDED(hr) && output) output->Get(L"ReturnValue", 0, &returnValue, nullptr, nullptr);
    return RestoreAccepted(hr, &returnValue.get());
}

}  // namespace zyr::restore
