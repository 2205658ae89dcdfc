#include "platform/win32/Accessibility.h"

#include <cmath>
#include "platform/win32/SystemLibraries.h"

namespace revivix::win32 {

namespace {

bool IsSelf(const VARIANT& child) {
  return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The system's object with the facts put over it; every other question goes to the system's.
class AccessibleOverride final : public IAccessible {
 public:
  AccessibleOverride(IAccessible* inner, AccessibleFacts facts)
      : inner_(inner), facts_(std::move(facts)) {}
  AccessibleOverride(const AccessibleOverride&) = delete;
  AccessibleOverride& operator=(const AccessibleOverride&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    // The window behind the object (WindowFromAccessibleObject) is the system object's.
    if (iid == IID_IOleWindow) return inner_->QueryInterface(iid, out);
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return inner_->GetTypeInfoCount(count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
    return inner_->GetTypeInfo(index, lcid, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) override {
    return inner_->GetIDsOfNames(iid, names, count, lcid, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argError) override {
    return inner_->Invoke(id, iid, lcid, flags, params, result, exception, argError);
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return inner_->get_accParent(parent);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    if (!facts_.noChildren) return inner_->get_accChildCount(count);
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    if (!facts_.noChildren) return inner_->get_accChild(child, out);
    if (out) *out = nullptr;
    return E_INVALIDARG;
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (!facts_.name || !IsSelf(child)) return inner_->get_accName(child, name);
    return Text(*facts_.name, name);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    if (!facts_.value || !IsSelf(child)) return inner_->get_accValue(child, value);
    return Text(*facts_.value, value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    return inner_->get_accDescription(child, text);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!facts_.role || !IsSelf(child)) return inner_->get_accRole(child, role);
    if (!role) return E_POINTER;
    role->vt = VT_EMPTY;
    role->vt = VT_I4;
    role->lVal = *facts_.role;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    const HRESULT hr = inner_->get_accState(child, state);
    if (SUCCEEDED(hr) && facts_.invisible && IsSelf(child) && state && state->vt == VT_I4)
      state->lVal |= STATE_SYSTEM_INVISIBLE;
    return hr;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return inner_->get_accHelp(child, help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
    return inner_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return inner_->get_accKeyboardShortcut(child, shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    return inner_->get_accFocus(focus);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    return inner_->get_accSelection(selection);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return inner_->get_accDefaultAction(child, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    return inner_->accSelect(flags, child);
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                        VARIANT child) override {
    return inner_->accLocation(left, top, width, height, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    if (facts_.noChildren && (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD)) {
      if (end) end->vt = VT_EMPTY;
      return S_FALSE;
    }
    return inner_->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT* child) override {
    const HRESULT hr = inner_->accHitTest(left, top, child);
    // A point over the ring is a point over the button itself.
    if (facts_.noChildren && hr == S_OK && child && child->vt == VT_DISPATCH) {
      if (child->pdispVal) child->pdispVal->Release();
      child->vt = VT_I4;
      child->lVal = CHILDID_SELF;
    }
    return hr;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return inner_->accDoDefaultAction(child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
    return inner_->put_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return inner_->put_accValue(child, value);
  }

 private:
  ~AccessibleOverride() { inner_->Release(); }

  static HRESULT Text(const std::wstring& text, BSTR* out) {
    if (!out) return E_POINTER;
    // No name at all is told as "none", not as an empty one.
    if (text.empty()) {
      *out = nullptr;
      return S_FALSE;
    }
    // The reader frees the text with SysFreeString: it is made by the same library.
    auto* allocate = REVIVIX_SYSTEM_FUNCTION(OleAut32, SysAllocStringLen);
    *out = allocate ? allocate(text.data(), static_cast<UINT>(text.size())) : nullptr;
    return *out ? S_OK : E_OUTOFMEMORY;
  }

  LONG refs_ = 1;
  IAccessible* inner_;
  AccessibleFacts facts_;
};

}  // namespace

LRESULT AnswerGetObject(HWND hwnd, WPARAM wParam, LPARAM lParam, const AccessibleFacts& facts) {
  if (static_cast<LONG>(lParam) != OBJID_CLIENT) return 0;
  // The system's object of the window is made from its class; for our classes that is the plain
  // client object, whose position, state, focus and parent stay the system's.
  auto* createStandard = REVIVIX_SYSTEM_FUNCTION(OleAcc, CreateStdAccessibleObject);
  auto* toResult = REVIVIX_SYSTEM_FUNCTION(OleAcc, LresultFromObject);
  if (!createStandard || !toResult) return 0;
  IAccessible* standard = nullptr;
  const HRESULT hr = createStandard(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                    reinterpret_cast<void**>(&standard));
  if (FAILED(hr) || !standard) return 0;
  auto* object = new AccessibleOverride(standard, facts);
  const LRESULT result = toResult(__uuidof(IAccessible), wParam, object);
  object->Release();  // LresultFromObject holds its own reference when it succeeded
  return result > 0 ? result : 0;
}

std::wstring PercentText(long value, long max) {
  if (max <= 0) return L"0%";
  const long percent = std::lround(static_cast<double>(value) * 100.0 / static_cast<double>(max));
  return std::to_wstring(percent) + L"%";
}

}  // namespace revivix::win32
