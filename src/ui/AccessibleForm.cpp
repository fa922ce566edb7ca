#include "ui/AccessibleForm.h"

#include <oleacc.h>

#include <atomic>
#include <new>
#include <string>
#include <type_traits>

#include "ui/Form.h"
#include "ui/KeyboardFocus.h"
#include "ui/SystemLibrary.h"

namespace ui {

namespace {

// The accessibility and COM functions, from DLLs loaded at the first query:
// importing them would make every start load three more libraries.
struct TOleFunctions {
  decltype(&::LresultFromObject) lresultFromObject =
      SystemFunction<decltype(::LresultFromObject)>(L"oleacc.dll", "LresultFromObject");
  decltype(&::AccessibleObjectFromWindow) objectFromWindow =
      SystemFunction<decltype(::AccessibleObjectFromWindow)>(L"oleacc.dll",
                                                             "AccessibleObjectFromWindow");
  decltype(&::CoInitializeEx) coInitializeEx =
      SystemFunction<decltype(::CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
  decltype(&::CoUninitialize) coUninitialize =
      SystemFunction<decltype(::CoUninitialize)>(L"ole32.dll", "CoUninitialize");
  decltype(&::CoDisconnectObject) coDisconnectObject =
      SystemFunction<decltype(::CoDisconnectObject)>(L"ole32.dll", "CoDisconnectObject");
  decltype(&::SysAllocString) sysAllocString =
      SystemFunction<decltype(::SysAllocString)>(L"oleaut32.dll", "SysAllocString");

  bool Complete() const {
    return lresultFromObject && objectFromWindow && coInitializeEx && coUninitialize &&
           coDisconnectObject && sysAllocString;
  }
};

const TOleFunctions& Ole() {
  static const TOleFunctions functions;
  return functions;
}

// The message by which a reader's press reaches the message loop.
UINT DefaultActionMessage() {
  static const UINT message = RegisterWindowMessageW(L"BrkAccessibleDefaultAction");
  return message;
}

long SystemRole(TAccessibleRole role) {
  switch (role) {
    case arPushButton:
      return ROLE_SYSTEM_PUSHBUTTON;
    case arLink:
      return ROLE_SYSTEM_LINK;
    case arStaticText:
      return ROLE_SYSTEM_STATICTEXT;
    case arProgressBar:
      return ROLE_SYSTEM_PROGRESSBAR;
    default:
      return ROLE_SYSTEM_CLIENT;
  }
}

DWORD SystemEvent(TAccessibleChange change) {
  switch (change) {
    case TAccessibleChange::kName:
      return EVENT_OBJECT_NAMECHANGE;
    case TAccessibleChange::kValue:
      return EVENT_OBJECT_VALUECHANGE;
    case TAccessibleChange::kState:
      return EVENT_OBJECT_STATECHANGE;
    case TAccessibleChange::kShown:
      return EVENT_OBJECT_SHOW;
    case TAccessibleChange::kHidden:
      return EVENT_OBJECT_HIDE;
    case TAccessibleChange::kFocus:
      return EVENT_OBJECT_FOCUS;
  }
  return EVENT_OBJECT_STATECHANGE;
}

bool HasDefaultAction(TAccessibleRole role) {
  return role == arPushButton || role == arLink;
}

// Visible itself and in every container up to the form.
bool VisibleInForm(const TControl& control, const TForm& form) {
  for (const TControl* c = &control; c != &form; c = c->Parent()) {
    if (c == nullptr || !c->Visible()) return false;
  }
  return true;
}

void Collect(const TWinControl& host, std::vector<TControl*>& out) {
  for (TControl* c : host.ControlsInTabOrder()) {
    if (c->AccessibleRole() != arNone) out.push_back(c);
    if (c->IsWindowed()) Collect(static_cast<const TWinControl&>(*c), out);
  }
}

HRESULT SetText(BSTR* out, const std::wstring& text) {
  *out = nullptr;
  if (text.empty()) return S_FALSE;
  *out = Ole().sysAllocString(text.c_str());
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

void SetChild(VARIANT* out, long id) {
  out->vt = VT_I4;
  out->lVal = id;
}

}  // namespace

// The object a reader holds. Every call runs on the window's thread (COM
// hands calls from other processes to it through its messages); none lets
// an exception out.
class TAccessibleForm::TObject final : public IAccessible {
 public:
  explicit TObject(TAccessibleForm& owner) : owner_(&owner) {}
  void Disconnect() { owner_ = nullptr; }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IDispatch: readers call the methods directly; there is no type library.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return Guarded(parent, [&] {
      return Ole().objectFromWindow(Window(), static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                    reinterpret_cast<void**>(parent));
    });
  }

  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    return Guarded(count, [&] {
      *count = static_cast<long>(owner_->Children().size());
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** dispatch) override {
    return Guarded(dispatch, [&] {
      TControl* control = nullptr;
      const HRESULT hr = Resolve(child, control);
      if (FAILED(hr)) return hr;
      // The children are simple elements: the caller asks this object.
      return control != nullptr ? S_FALSE : E_INVALIDARG;
    });
  }

  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    return ForChild(child, name, [&](TControl* control) {
      return SetText(name, control != nullptr ? control->AccessibleName() : Form().Caption());
    });
  }

  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return ForChild(child, value, [&](TControl* control) {
      const std::wstring text = control != nullptr ? control->AccessibleValue() : std::wstring();
      if (text.empty()) return DISP_E_MEMBERNOTFOUND;
      return SetText(value, text);
    });
  }

  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* description) override {
    return NotSupported(description);
  }

  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    return ForChild(child, role, [&](TControl* control) {
      role->vt = VT_I4;
      role->lVal = control != nullptr ? SystemRole(control->AccessibleRole()) : ROLE_SYSTEM_CLIENT;
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    return ForChild(child, state, [&](TControl* control) {
      state->vt = VT_I4;
      state->lVal = static_cast<long>(control != nullptr ? ChildState(*control) : FormState());
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override { return NotSupported(help); }

  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
    if (topic != nullptr) *topic = 0;
    return NotSupported(file);
  }

  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return ForChild(child, shortcut, [&](TControl* control) {
      // Esc presses the form's cancel control.
      if (control != nullptr && control == Form().Keyboard().CancelControl()) {
        return SetText(shortcut, L"Esc");
      }
      return DISP_E_MEMBERNOTFOUND;
    });
  }

  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    return Guarded(focus, [&] {
      if (GetFocus() != Window()) return S_FALSE;
      TControl* focused = Form().Keyboard().Focused();
      const long id = focused != nullptr ? owner_->ChildId(*focused) : 0;
      SetChild(focus, id != 0 ? id : CHILDID_SELF);
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    return Guarded(selection, [] { return S_FALSE; });
  }

  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return ForChild(child, action, [&](TControl* control) {
      if (control == nullptr || !HasDefaultAction(control->AccessibleRole())) {
        return DISP_E_MEMBERNOTFOUND;
      }
      // The words the system's own buttons and links use.
      return SetText(action, control->AccessibleRole() == arLink ? L"Jump" : L"Press");
    });
  }

  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    return ForChild(child, [&](TControl* control) {
      if (control == nullptr || (flags & ~SELFLAG_TAKEFOCUS) != 0) return E_INVALIDARG;
      if ((flags & SELFLAG_TAKEFOCUS) == 0) return S_OK;
      return control->SetFocus() ? S_OK : S_FALSE;
    });
  }

  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                        VARIANT child) override {
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) {
      return E_POINTER;
    }
    *left = *top = *width = *height = 0;
    return ForChild(child, [&](TControl* control) {
      RECT r{};
      if (control == nullptr) {
        GetClientRect(Window(), &r);
        MapWindowPoints(Window(), nullptr, reinterpret_cast<POINT*>(&r), 2);
      } else if (!ScreenRect(*control, r)) {
        return S_FALSE;
      }
      *left = r.left;
      *top = r.top;
      *width = r.right - r.left;
      *height = r.bottom - r.top;
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    return Guarded(end, [&] {
      TControl* from = nullptr;
      const HRESULT hr = Resolve(start, from);
      if (FAILED(hr)) return hr;
      const long count = static_cast<long>(owner_->Children().size());
      long id = 0;
      if (from == nullptr) {
        if (direction == NAVDIR_FIRSTCHILD) id = count > 0 ? 1 : 0;
        if (direction == NAVDIR_LASTCHILD) id = count;
        if (direction != NAVDIR_FIRSTCHILD && direction != NAVDIR_LASTCHILD) {
          return DISP_E_MEMBERNOTFOUND;
        }
      } else {
        const long at = owner_->ChildId(*from);
        if (direction == NAVDIR_NEXT) id = at < count ? at + 1 : 0;
        if (direction == NAVDIR_PREVIOUS) id = at - 1;
        if (direction != NAVDIR_NEXT && direction != NAVDIR_PREVIOUS) return E_INVALIDARG;
      }
      if (id <= 0) return S_FALSE;
      SetChild(end, id);
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
    return Guarded(hit, [&] {
      RECT client{};
      GetClientRect(Window(), &client);
      MapWindowPoints(Window(), nullptr, reinterpret_cast<POINT*>(&client), 2);
      const POINT p{x, y};
      if (!PtInRect(&client, p)) return S_FALSE;
      SetChild(hit, HitChild(p));
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return ForChild(child, [&](TControl* control) {
      if (control == nullptr || !HasDefaultAction(control->AccessibleRole())) {
        return DISP_E_MEMBERNOTFOUND;
      }
      if (!control->Enabled() || !VisibleInForm(*control, Form())) return E_ACCESSDENIED;
      owner_->PostDefaultAction(owner_->ChildId(*control));
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  TForm& Form() const { return owner_->Form(); }
  HWND Window() const { return Form().Handle(); }

  // Answers "not connected" once the window is gone, and turns every
  // exception into a failure code.
  template <typename Body>
  HRESULT Checked(Body body) {
    if (owner_ == nullptr || !Form().HandleAllocated()) return CO_E_OBJNOTCONNECTED;
    try {
      return body();
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    } catch (...) {
      return E_FAIL;
    }
  }

  // The same for a call that answers through `out`, which is cleared first.
  template <typename Out, typename Body>
  HRESULT Guarded(Out* out, Body body) {
    if (out == nullptr) return E_POINTER;
    if constexpr (std::is_same_v<Out, VARIANT>) {
      out->vt = VT_EMPTY;
    } else {
      *out = {};
    }
    return Checked(body);
  }

  // A call about one child (null: the client area itself).
  template <typename Body>
  HRESULT ForChild(const VARIANT& child, Body body) {
    return Checked([&] {
      TControl* control = nullptr;
      const HRESULT hr = Resolve(child, control);
      return FAILED(hr) ? hr : body(control);
    });
  }

  template <typename Out, typename Body>
  HRESULT ForChild(const VARIANT& child, Out* out, Body body) {
    return Guarded(out, [&] { return ForChild(child, body); });
  }

  template <typename Out>
  HRESULT NotSupported(Out* out) {
    return Guarded(out, [] { return DISP_E_MEMBERNOTFOUND; });
  }

  // Null for the form's client area itself.
  HRESULT Resolve(const VARIANT& child, TControl*& control) const {
    if (child.vt != VT_I4) return E_INVALIDARG;
    if (child.lVal == CHILDID_SELF) return S_OK;
    control = owner_->ChildById(child.lVal);
    return control != nullptr ? S_OK : E_INVALIDARG;
  }

  DWORD FormState() const {
    DWORD state = STATE_SYSTEM_FOCUSABLE;
    if (GetFocus() == Window() && Form().Keyboard().Focused() == nullptr) {
      state |= STATE_SYSTEM_FOCUSED;
    }
    return state;
  }

  DWORD ChildState(const TControl& control) const {
    DWORD state = 0;
    if (!VisibleInForm(control, Form())) state |= STATE_SYSTEM_INVISIBLE;
    if (!control.Enabled()) state |= STATE_SYSTEM_UNAVAILABLE;
    if (control.CanFocus()) state |= STATE_SYSTEM_FOCUSABLE;
    if (control.Focused() && GetFocus() == Window()) state |= STATE_SYSTEM_FOCUSED;
    switch (control.AccessibleRole()) {
      case arLink:
        state |= STATE_SYSTEM_LINKED;
        break;
      case arStaticText:
      case arProgressBar:
        state |= STATE_SYSTEM_READONLY;
        break;
      default:
        break;
    }
    return state;
  }

  static bool ScreenRect(const TControl& control, RECT& r) {
    const TWinControl* host = control.Parent();
    if (host == nullptr || !host->HandleAllocated()) return false;
    r = {control.Left(), control.Top(), control.Left() + control.Width(),
         control.Top() + control.Height()};
    MapWindowPoints(host->Handle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    return true;
  }

  // The child on top at a point on the screen: windows lie above the
  // window-less controls, and among siblings the later in z-order is above.
  long HitChild(POINT p) const {
    long best = CHILDID_SELF;
    int bestRank = -1;
    const std::vector<TControl*> children = owner_->Children();
    for (std::size_t i = 0; i < children.size(); ++i) {
      const TControl& c = *children[i];
      RECT r{};
      if (!VisibleInForm(c, Form()) || !ScreenRect(c, r) || !PtInRect(&r, p)) continue;
      int rank = c.IsWindowed() ? 1 << 16 : 0;
      for (int z = 0; z < c.Parent()->ControlCount(); ++z) {
        if (c.Parent()->Controls(z) == &c) rank += z;
      }
      if (rank > bestRank) {
        bestRank = rank;
        best = static_cast<long>(i + 1);
      }
    }
    return best;
  }

  std::atomic<ULONG> references_{1};
  TAccessibleForm* owner_;
};

TAccessibleForm::TAccessibleForm(TForm& form) : form_(form) {}

TAccessibleForm::~TAccessibleForm() {
  Disconnect();
  // Only now, after the message loop: a reader's call that was on its way
  // when the window went still reaches the loop as a message to COM's own
  // window, and COM must still be there to answer it (under Wine, ending
  // COM at the window's end made that message crash the program).
  if (ownsApartment_) {
    ownsApartment_ = false;
    Ole().coUninitialize();
  }
}

std::vector<TControl*> TAccessibleForm::Children() const {
  std::vector<TControl*> children;
  Collect(form_, children);
  return children;
}

long TAccessibleForm::ChildId(const TControl& control) const {
  const std::vector<TControl*> children = Children();
  for (std::size_t i = 0; i < children.size(); ++i) {
    if (children[i] == &control) return static_cast<long>(i + 1);
  }
  return 0;
}

TControl* TAccessibleForm::ChildById(long id) const {
  const std::vector<TControl*> children = Children();
  if (id < 1 || static_cast<std::size_t>(id) > children.size()) return nullptr;
  return children[static_cast<std::size_t>(id) - 1];
}

void TAccessibleForm::Notify(const TControl& control, TAccessibleChange change) const {
  if (control.AccessibleRole() == arNone || !form_.HandleAllocated()) return;
  const long id = ChildId(control);
  if (id != 0) NotifyWinEvent(SystemEvent(change), form_.Handle(), OBJID_CLIENT, id);
}

void TAccessibleForm::PostDefaultAction(long childId) const {
  PostMessageW(form_.Handle(), DefaultActionMessage(), 0, static_cast<LPARAM>(childId));
}

bool TAccessibleForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
    if (object_ == nullptr) {
      if (!Ole().Complete()) return false;
      const HRESULT hr = Ole().coInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
      // S_FALSE: already initialised here, and it still counts once.
      if (hr == S_OK || hr == S_FALSE) {
        ownsApartment_ = true;
      } else if (hr != RPC_E_CHANGED_MODE) {
        return false;
      }
      object_ = new TObject(*this);
    }
    result = Ole().lresultFromObject(IID_IAccessible, wParam, object_);
    return true;
  }
  if (message == DefaultActionMessage() && message != 0) {
    TControl* control = ChildById(static_cast<long>(lParam));
    // The press waited in the queue: the control may have changed since.
    if (control != nullptr && HasDefaultAction(control->AccessibleRole()) && control->Enabled() &&
        VisibleInForm(*control, form_)) {
      control->Click();
    }
    result = 0;
    return true;
  }
  if (message == WM_DESTROY) Disconnect();
  return false;
}

void TAccessibleForm::Disconnect() {
  if (object_ == nullptr) return;
  object_->Disconnect();
  // Readers in other processes lose their link to it now, not when they
  // let it go.
  Ole().coDisconnectObject(object_, 0);
  object_->Release();
  object_ = nullptr;
}

}  // namespace ui
