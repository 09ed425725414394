// Reads what another program shows and asks of its windows what other programs can, as an outside program
// would:
//   kelvara-probe windows       every shown calculator window and its controls, one line each
//   kelvara-probe version FILE  the version record of an executable
//   kelvara-probe manifest FILE the application manifest built into an executable
//   kelvara-probe modules       the libraries loaded in the process of the shown main window
//   kelvara-probe close OWNED   asks the shown calculator window that is owned (1) or not (0) to close
//   kelvara-probe enlarge OWNED asks that window to maximise and to take a larger size, in every way a
//   program can
//   kelvara-probe access        what a screen reader reads of each control of the shown windows
//   kelvara-probe press TEXT    a screen reader's default action on the control showing that text

#include <windows.h>

// The interface identifiers defined here: the import library would give the address of a jump instead.
#include <initguid.h>

#include <oleacc.h>
#include <tlhelp32.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string narrow(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string result(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), n, nullptr,
                        nullptr);
    return result;
}

// One line per window: line breaks in a text are written as \n. Asked of the window itself, since
// GetWindowText of another program's control gives its creation text, not what a text box holds now.
std::string windowText(HWND window) {
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 2000, &copied);
    text.resize(static_cast<std::size_t>(copied));
    std::string result;
    for (char c : narrow(text)) {
        if (c == '\r') continue;
        result += c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    return result;
}

std::string className(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return narrow(name);
}

std::vector<HWND> shownForms() {
    std::vector<HWND> windows;
    EnumWindows(
        [](HWND window, LPARAM list) -> BOOL {
            if (IsWindowVisible(window) && className(window) == "KelvaraForm")
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

int listWindows() {
    for (HWND window : shownForms()) {
        RECT area{};
        GetWindowRect(window, &area);
        std::printf("window\t%d\t%d\t%d\t%d\t%d\t%s\n", GetWindow(window, GW_OWNER) ? 1 : 0,
                    static_cast<int>(area.left), static_cast<int>(area.top),
                    static_cast<int>(area.right - area.left), static_cast<int>(area.bottom - area.top),
                    windowText(window).c_str());
        EnumChildWindows(
            window,
            [](HWND child, LPARAM) -> BOOL {
                RECT area{};
                GetWindowRect(child, &area);
                std::printf("control\t%s\t%d\t%d\t%d\t%s", className(child).c_str(),
                            IsWindowVisible(child) ? 1 : 0, static_cast<int>((area.left + area.right) / 2),
                            static_cast<int>((area.top + area.bottom) / 2), windowText(child).c_str());
                // A text box's first character, in pixels of its client area: negative once the box has
                // scrolled it out of sight.
                DWORD_PTR first = 0;
                if (className(child) == "Edit" &&
                    SendMessageTimeoutW(child, EM_POSFROMCHAR, 0, 0, SMTO_ABORTIFHUNG, 2000, &first))
                    std::printf("\t%d", static_cast<int>(static_cast<short>(LOWORD(first))));
                std::printf("\n");
                return TRUE;
            },
            0);
        // The control that takes typed keys, by its centre, as the controls above list it.
        GUITHREADINFO thread{};
        thread.cbSize = sizeof(thread);
        if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread) && thread.hwndFocus &&
            IsChild(window, thread.hwndFocus)) {
            GetWindowRect(thread.hwndFocus, &area);
            std::printf("focus\t%s\t%d\t%d\n", className(thread.hwndFocus).c_str(),
                        static_cast<int>((area.left + area.right) / 2),
                        static_cast<int>((area.top + area.bottom) / 2));
        }
    }
    return 0;
}

HWND shownForm(const wchar_t* owned) {
    const bool wantOwned = std::wstring(owned) == L"1";
    for (HWND window : shownForms())
        if ((GetWindow(window, GW_OWNER) != nullptr) == wantOwned) return window;
    return nullptr;
}

int closeWindow(HWND window) {
    return window && PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
}

int enlarge(HWND window) {
    if (!window) return 1;
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0, SMTO_ABORTIFHUNG, 2000, &result);
    ShowWindow(window, SW_MAXIMIZE);
    RECT area{};
    GetWindowRect(window, &area);
    SetWindowPos(window, nullptr, 0, 0, area.right - area.left + 400, area.bottom - area.top + 300,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

int showVersion(const wchar_t* file) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(file, &handle);
    if (!size) return 1;
    std::vector<char> record(size);
    if (!GetFileVersionInfoW(file, 0, size, record.data())) return 1;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed)
        std::printf("FILEVERSION=%u,%u,%u,%u\n", HIWORD(fixed->dwFileVersionMS),
                    LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                    LOWORD(fixed->dwFileVersionLS));
    WORD* translation = nullptr;
    if (VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                       &length) &&
        length >= 4)
        std::printf("Translation=%04X,%u\n", translation[0], translation[1]);
    for (const wchar_t* key : {L"ProductName", L"InternalName", L"FileDescription", L"FileVersion",
                               L"ProductVersion", L"CompanyName", L"LegalCopyright"}) {
        wchar_t* value = nullptr;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
        if (VerQueryValueW(record.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) && value)
            std::printf("%s=%s\n", narrow(key).c_str(), narrow(value).c_str());
    }
    return 0;
}

int listModules(HWND window) {
    DWORD process = 0;
    if (!window || !GetWindowThreadProcessId(window, &process)) return 1;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process);
    if (snapshot == INVALID_HANDLE_VALUE) return 1;
    MODULEENTRY32W module{};
    module.dwSize = sizeof(module);
    for (BOOL more = Module32FirstW(snapshot, &module); more; more = Module32NextW(snapshot, &module)) {
        std::wstring name = module.szModule;
        for (wchar_t& c : name)
            c = static_cast<wchar_t>(towlower(c));
        std::printf("%s\n", narrow(name).c_str());
    }
    CloseHandle(snapshot);
    return 0;
}

int showManifest(const wchar_t* file) {
    HMODULE module = LoadLibraryExW(file, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) return 1;
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)); // RT_MANIFEST
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (bytes) std::fwrite(bytes, 1, SizeofResource(module, found), stdout);
    FreeLibrary(module);
    return bytes ? 0 : 1;
}

std::string bstr(BSTR text) {
    std::string result = text ? narrow(std::wstring(text, SysStringLen(text))) : std::string();
    SysFreeString(text);
    std::string line;
    for (char c : result)
        line += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
    return line;
}

IAccessible* accessibleOf(HWND window) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                          reinterpret_cast<void**>(&object))))
        return nullptr;
    return object;
}

// Tab-separated: the window's text, then the accessible name, value, role, whether it reports itself
// invisible and off screen, and its default action.
int listAccessible() {
    for (HWND window : shownForms())
        EnumChildWindows(
            window,
            [](HWND child, LPARAM) -> BOOL {
                IAccessible* object = accessibleOf(child);
                if (!object) return TRUE;
                VARIANT self;
                VariantInit(&self);
                self.vt = VT_I4;
                self.lVal = CHILDID_SELF;
                BSTR name = nullptr, value = nullptr, action = nullptr;
                VARIANT role, state;
                VariantInit(&role);
                VariantInit(&state);
                object->get_accName(self, &name);
                object->get_accValue(self, &value);
                object->get_accDefaultAction(self, &action);
                object->get_accRole(self, &role);
                object->get_accState(self, &state);
                const long flags = state.vt == VT_I4 ? state.lVal : 0;
                std::printf("access\t%s\t%s\t%s\t%ld\t%d\t%d\t%s\n", windowText(child).c_str(),
                            bstr(name).c_str(), bstr(value).c_str(), role.vt == VT_I4 ? role.lVal : 0L,
                            flags & STATE_SYSTEM_INVISIBLE ? 1 : 0, flags & STATE_SYSTEM_OFFSCREEN ? 1 : 0,
                            bstr(action).c_str());
                object->Release();
                return TRUE;
            },
            0);
    return 0;
}

int press(const std::string& text) {
    struct Search {
        std::string text;
        HWND found = nullptr;
    } search{text, nullptr};
    for (HWND window : shownForms())
        EnumChildWindows(
            window,
            [](HWND child, LPARAM data) -> BOOL {
                auto& search = *reinterpret_cast<Search*>(data);
                if (windowText(child) != search.text) return TRUE;
                search.found = child;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
    IAccessible* object = search.found ? accessibleOf(search.found) : nullptr;
    if (!object) return 1;
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    const HRESULT done = object->accDoDefaultAction(self);
    object->Release();
    return SUCCEEDED(done) ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"windows") return listWindows();
    if (command == L"version" && argc > 2) return showVersion(argv[2]);
    if (command == L"manifest" && argc > 2) return showManifest(argv[2]);
    if (command == L"modules") return listModules(shownForm(L"0"));
    if (command == L"close" && argc > 2) return closeWindow(shownForm(argv[2]));
    if (command == L"enlarge" && argc > 2) return enlarge(shownForm(argv[2]));
    if (command == L"access" || command == L"press") {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        const int status = command == L"access" ? listAccessible() : argc > 2 ? press(narrow(argv[2])) : 2;
        CoUninitialize();
        return status;
    }
    std::fprintf(stderr, "usage: kelvara-probe windows | version FILE | manifest FILE | modules | close "
                         "OWNED | enlarge OWNED | access | press TEXT\n");
    return 2;
}
