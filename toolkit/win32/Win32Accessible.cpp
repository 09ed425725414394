// The accessibility library's identifiers are defined here, as the program links no import library for it.
#include <initguid.h>

#include "toolkit/win32/Win32Accessible.h"

#include "toolkit/Accessibility.h"
#include "toolkit/Application.h"
#include "toolkit/Native.h"
#include "toolkit/win32/Win32Control.h"
#include "toolkit/win32/Win32OnDemand.h"
#include "toolkit/win32/Win32Utf8.h"

namespace forms::win32 {

namespace {

bool self(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

HRESULT text(const std::wstring& value, BSTR* out) {
    *out = nullptr;
    if (value.empty()) return S_FALSE;
    // From the automation library, loaded with the accessibility library rather than with the program.
    const auto allocate =
        systemFunction<BSTR(WINAPI*)(const OLECHAR*, UINT)>(L"oleaut32.dll", "SysAllocStringLen");
    *out = allocate ? allocate(value.data(), static_cast<UINT>(value.size())) : nullptr;
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT text(const std::string& value, BSTR* out) {
    return text(widen(value), out);
}

// Named from the system's own folder, as every library loaded on demand is.
constexpr const wchar_t* kLibrary = L"oleacc.dll";
constexpr const wchar_t* kPressAction = L"Press";

} // namespace

LRESULT Win32Accessible::answer(HWND hwnd, WPARAM flags) {
    using Create = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
    using Result = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
    const auto create = systemFunction<Create>(kLibrary, "CreateStdAccessibleObject");
    const auto result = systemFunction<Result>(kLibrary, "LresultFromObject");
    if (!create || !result || !comStarted() || !Win32Control::of(hwnd)) return 0;
    IAccessible* system = nullptr;
    if (FAILED(create(hwnd, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&system))) || !system)
        return 0;
    auto* object = new Win32Accessible(hwnd, system);
    const LRESULT answer = result(IID_IAccessible, flags, object);
    object->Release();
    return answer;
}

Win32Accessible::Win32Accessible(HWND hwnd, IAccessible* system)
    : hwnd_(hwnd)
    , system_(system) {}

Win32Accessible::~Win32Accessible() {
    system_->Release();
}

HRESULT Win32Accessible::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IAccessible)) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    // The system object's other faces (its children as an enumeration, its window).
    return system_->QueryInterface(iid, object);
}

ULONG Win32Accessible::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG Win32Accessible::Release() {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT Win32Accessible::GetTypeInfoCount(UINT* count) {
    return system_->GetTypeInfoCount(count);
}

HRESULT Win32Accessible::GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) {
    return system_->GetTypeInfo(index, locale, info);
}

HRESULT Win32Accessible::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) {
    return system_->GetIDsOfNames(iid, names, count, locale, ids);
}

HRESULT Win32Accessible::Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
    return system_->Invoke(id, iid, locale, flags, parameters, result, exception, argumentError);
}

HRESULT Win32Accessible::get_accParent(IDispatch** parent) {
    return system_->get_accParent(parent);
}

HRESULT Win32Accessible::get_accChildCount(long* count) {
    return system_->get_accChildCount(count);
}

HRESULT Win32Accessible::get_accChild(VARIANT child, IDispatch** object) {
    return system_->get_accChild(child, object);
}

// A figure is named by the caption of its row, as a box is by its label; the figure is its value.
HRESULT Win32Accessible::get_accName(VARIANT child, BSTR* name) {
    const Win32Control* native = Win32Control::of(hwnd_);
    if (!name || !native || !self(child)) return system_->get_accName(child, name);
    const Control& control = native->control();
    const std::string given = accessibleName(control.labelledBy ? *control.labelledBy : control);
    return given.empty() ? system_->get_accName(child, name) : text(given, name);
}

HRESULT Win32Accessible::get_accValue(VARIANT child, BSTR* value) {
    const Win32Control* native = Win32Control::of(hwnd_);
    if (!value || !native || !self(child) || !native->control().labelledBy)
        return system_->get_accValue(child, value);
    return text(accessibleText(native->control().props().caption), value);
}

HRESULT Win32Accessible::get_accDescription(VARIANT child, BSTR* description) {
    return system_->get_accDescription(child, description);
}

HRESULT Win32Accessible::get_accRole(VARIANT child, VARIANT* role) {
    const Win32Control* native = Win32Control::of(hwnd_);
    if (!role || !native || !self(child)) return system_->get_accRole(child, role);
    switch (native->control().kind()) {
    case ControlKind::Label:
        role->vt = VT_I4;
        role->lVal = ROLE_SYSTEM_STATICTEXT;
        return S_OK;
    case ControlKind::Image:
    case ControlKind::PictureBox:
        role->vt = VT_I4;
        role->lVal = ROLE_SYSTEM_GRAPHIC;
        return S_OK;
    case ControlKind::PictureButton:
        role->vt = VT_I4;
        role->lVal = ROLE_SYSTEM_PUSHBUTTON;
        return S_OK;
    default:
        return system_->get_accRole(child, role);
    }
}

HRESULT Win32Accessible::get_accState(VARIANT child, VARIANT* state) {
    const HRESULT answer = system_->get_accState(child, state);
    const Win32Control* native = Win32Control::of(hwnd_);
    if (SUCCEEDED(answer) && state && state->vt == VT_I4 && native && self(child) &&
        offscreen(native->control()))
        state->lVal |= STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN;
    return answer;
}

HRESULT Win32Accessible::get_accHelp(VARIANT child, BSTR* help) {
    return system_->get_accHelp(child, help);
}

HRESULT Win32Accessible::get_accHelpTopic(BSTR* file, VARIANT child, long* topic) {
    return system_->get_accHelpTopic(file, child, topic);
}

HRESULT Win32Accessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    return system_->get_accKeyboardShortcut(child, shortcut);
}

HRESULT Win32Accessible::get_accFocus(VARIANT* child) {
    return system_->get_accFocus(child);
}

HRESULT Win32Accessible::get_accSelection(VARIANT* children) {
    return system_->get_accSelection(children);
}

HRESULT Win32Accessible::get_accDefaultAction(VARIANT child, BSTR* action) {
    const Win32Control* native = Win32Control::of(hwnd_);
    if (!action || !native || !self(child) || !offersPress(native->control()))
        return system_->get_accDefaultAction(child, action);
    return text(kPressAction, action);
}

// Clicks as the pointer does, after the call has returned: a click may open a window or unload this one.
// A window that takes no pointer input (one a modal window blocks) takes none this way either.
HRESULT Win32Accessible::accDoDefaultAction(VARIANT child) {
    const Win32Control* native = Win32Control::of(hwnd_);
    if (!native || !self(child) || !offersPress(native->control())) return system_->accDoDefaultAction(child);
    if (!IsWindowVisible(hwnd_) || !IsWindowEnabled(GetAncestor(hwnd_, GA_ROOT))) return E_FAIL;
    const HWND hwnd = hwnd_;
    platform::post([hwnd] {
        if (const Win32Control* clicked = Win32Control::of(hwnd); clicked && clicked->control().onClick)
            deliver(clicked->control().onClick);
    });
    return S_OK;
}

HRESULT Win32Accessible::accSelect(long flags, VARIANT child) {
    return system_->accSelect(flags, child);
}

HRESULT Win32Accessible::accLocation(long* left, long* top, long* width, long* height, VARIANT child) {
    return system_->accLocation(left, top, width, height, child);
}

HRESULT Win32Accessible::accNavigate(long direction, VARIANT start, VARIANT* end) {
    return system_->accNavigate(direction, start, end);
}

HRESULT Win32Accessible::accHitTest(long left, long top, VARIANT* child) {
    return system_->accHitTest(left, top, child);
}

HRESULT Win32Accessible::put_accName(VARIANT child, BSTR name) {
    return system_->put_accName(child, name);
}

HRESULT Win32Accessible::put_accValue(VARIANT child, BSTR value) {
    return system_->put_accValue(child, value);
}

} // namespace forms::win32
