#include "toolkit/win32/Win32OnDemand.h"

#include <objbase.h>

#include <map>
#include <string>

namespace forms::win32 {

FARPROC systemFunction(const wchar_t* library, const char* name) {
    static std::map<std::wstring, HMODULE> loaded;
    auto it = loaded.find(library);
    if (it == loaded.end())
        it = loaded.emplace(library, LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)).first;
    return it->second ? GetProcAddress(it->second, name) : nullptr;
}

bool comStarted() {
    static const bool started = [] {
        const auto initialise =
            systemFunction<HRESULT(WINAPI*)(void*, DWORD)>(L"ole32.dll", "CoInitializeEx");
        if (!initialise) return false;
        // Already started differently on this thread is started all the same.
        const HRESULT result = initialise(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        return SUCCEEDED(result) || result == RPC_E_CHANGED_MODE;
    }();
    return started;
}

HRESULT createComObject(REFCLSID type, REFIID iid, void** object) {
    *object = nullptr;
    const auto create = systemFunction<HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**)>(
        L"ole32.dll", "CoCreateInstance");
    if (!create || !comStarted()) return E_FAIL;
    return create(type, nullptr, CLSCTX_INPROC_SERVER, iid, object);
}

} // namespace forms::win32
