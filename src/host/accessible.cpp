#include "accessible.h"

#include <oleacc.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "messages.h"
#include "site.h"
#include "controls.h"
#include "app.h"
#include "error.h"
#include "system_library.h"

namespace host {

namespace {

// oleacc is loaded on the first request from a screen reader, not at
// start-up: most runs never meet one.
// So are OLE and its strings.
struct Oleacc {
    decltype(&::LresultFromObject) lresultFromObject = nullptr;
    decltype(&::CreateStdAccessibleObject) createStd = nullptr;
    decltype(&::AccessibleObjectFromWindow) fromWindow = nullptr;
    decltype(&::CoDisconnectObject) disconnect = nullptr;
    decltype(&::SysAllocStringLen) allocString = nullptr;
};

// Wine's COM, when the last stub of an interface goes (a client let go of
// an object), unregisters that interface from its RPC server and waits, on
// this thread, for calls to it that are queued for this very thread: with
// a second client calling at that moment the program froze (3 runs in 29
// with a screen reader and another client at once). One stub of each
// interface a client can ask of our objects or the system's, kept for the
// whole run, means the last one never goes. Windows needs none of it, and
// it costs there a few stubs.
void KeepInterfacesServed(const Oleacc& a) {
    auto newStream =
        SystemFunction<decltype(&::CreateStreamOnHGlobal)>(L"ole32.dll", "CreateStreamOnHGlobal");
    auto marshal = SystemFunction<decltype(&::CoMarshalInterface)>(L"ole32.dll", "CoMarshalInterface");
    IAccessible* keeper = nullptr;  // the desktop's: no window of ours it could outlive
    if (!newStream || !marshal ||
        FAILED(a.createStd(GetDesktopWindow(), OBJID_CLIENT, __uuidof(IAccessible),
                           reinterpret_cast<void**>(&keeper))))
        return;
    for (const IID* iid : {&IID_IUnknown, &IID_IDispatch, &__uuidof(IAccessible), &IID_IEnumVARIANT,
                           &IID_IOleWindow, &IID_IServiceProvider}) {
        IStream* data = nullptr;
        if (FAILED(newStream(nullptr, TRUE, &data))) continue;
        // Table-strong: the stub stays until the apartment ends, whatever
        // becomes of the marshalled data.
        marshal(data, *iid, keeper, MSHCTX_LOCAL, nullptr, MSHLFLAGS_TABLESTRONG);
        data->Release();
    }
    keeper->Release();
}

const Oleacc* LoadOleacc() {
    static const Oleacc api = [] {
        Oleacc a;
        if (!App::EnsureOle()) return a;
        using O = Oleacc;
        a.disconnect = SystemFunction<decltype(O::disconnect)>(L"ole32.dll", "CoDisconnectObject");
        a.allocString = SystemFunction<decltype(O::allocString)>(L"oleaut32.dll", "SysAllocStringLen");
        a.lresultFromObject =
            SystemFunction<decltype(O::lresultFromObject)>(L"oleacc.dll", "LresultFromObject");
        a.createStd =
            SystemFunction<decltype(O::createStd)>(L"oleacc.dll", "CreateStdAccessibleObject");
        a.fromWindow =
            SystemFunction<decltype(O::fromWindow)>(L"oleacc.dll", "AccessibleObjectFromWindow");
        if (a.createStd) KeepInterfacesServed(a);
        return a;
    }();
    return api.lresultFromObject && api.createStd && api.fromWindow && api.disconnect &&
                   api.allocString
               ? &api
               : nullptr;
}

BSTR Bstr(const std::wstring& s) {
    return LoadOleacc()->allocString(s.data(), static_cast<UINT>(s.size()));
}

// A string property: S_OK with the text, S_FALSE with none.
HRESULT Text(const std::wstring& s, BSTR* out) {
    if (!out) return E_POINTER;
    *out = s.empty() ? nullptr : Bstr(s);
    return s.empty() ? S_FALSE : S_OK;
}

VARIANT Int(long v) {
    VARIANT r = {};
    r.vt = VT_I4;
    r.lVal = v;
    return r;
}

const VARIANT kSelf = Int(CHILDID_SELF);

}  // namespace

// The one owner of a COM reference: released once, whichever way the scope
// is left.
template <class T>
class ComRef {
public:
    ComRef() = default;
    explicit ComRef(T* adopted) : p_(adopted) {}
    ~ComRef() { reset(); }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For a call that hands over a reference.
    T** put() {
        reset();
        return &p_;
    }
    void** put_void() { return reinterpret_cast<void**>(put()); }
    // Gives the reference away.
    T* release() {
        T* p = p_;
        p_ = nullptr;
        return p;
    }
    void reset() {
        if (p_) p_->Release();
        p_ = nullptr;
    }

private:
    T* p_ = nullptr;
};

// The system's object for the window, with every call passed on to it; the
// objects below answer what the system cannot know.
class AccessibleObject : public IAccessible {
public:
    explicit AccessibleObject(IAccessible* system) : system_(system) {}
    virtual ~AccessibleObject() = default;
    // The window is going: every later call fails, as for a window that no
    // longer exists.
    void Detach() {
        Forget();
        system_.reset();
        LoadOleacc()->disconnect(static_cast<IAccessible*>(this), 0);
    }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }

    // IDispatch: screen readers call the interface directly.
    STDMETHODIMP GetTypeInfoCount(UINT* n) override {
        if (n) *n = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                        UINT*) override {
        return E_NOTIMPL;
    }

#define QF_PASS(call) \
    if (!system_) return CO_E_OBJNOTCONNECTED; \
    return system_->call
    // IAccessible: the system's answers.
    STDMETHODIMP get_accParent(IDispatch** p) override { QF_PASS(get_accParent(p)); }
    STDMETHODIMP get_accChildCount(long* n) override { QF_PASS(get_accChildCount(n)); }
    STDMETHODIMP get_accChild(VARIANT id, IDispatch** p) override { QF_PASS(get_accChild(id, p)); }
    STDMETHODIMP get_accName(VARIANT id, BSTR* s) override { QF_PASS(get_accName(id, s)); }
    STDMETHODIMP get_accValue(VARIANT id, BSTR* s) override { QF_PASS(get_accValue(id, s)); }
    STDMETHODIMP get_accDescription(VARIANT id, BSTR* s) override {
        QF_PASS(get_accDescription(id, s));
    }
    STDMETHODIMP get_accRole(VARIANT id, VARIANT* r) override { QF_PASS(get_accRole(id, r)); }
    STDMETHODIMP get_accState(VARIANT id, VARIANT* r) override { QF_PASS(get_accState(id, r)); }
    STDMETHODIMP get_accHelp(VARIANT id, BSTR* s) override { QF_PASS(get_accHelp(id, s)); }
    STDMETHODIMP get_accHelpTopic(BSTR* f, VARIANT id, long* t) override {
        QF_PASS(get_accHelpTopic(f, id, t));
    }
    STDMETHODIMP get_accKeyboardShortcut(VARIANT id, BSTR* s) override {
        QF_PASS(get_accKeyboardShortcut(id, s));
    }
    STDMETHODIMP get_accFocus(VARIANT* r) override { QF_PASS(get_accFocus(r)); }
    STDMETHODIMP get_accSelection(VARIANT* r) override { QF_PASS(get_accSelection(r)); }
    STDMETHODIMP get_accDefaultAction(VARIANT id, BSTR* s) override {
        QF_PASS(get_accDefaultAction(id, s));
    }
    STDMETHODIMP accSelect(long flags, VARIANT id) override { QF_PASS(accSelect(flags, id)); }
    STDMETHODIMP accLocation(long* l, long* t, long* w, long* h, VARIANT id) override {
        QF_PASS(accLocation(l, t, w, h, id));
    }
    STDMETHODIMP accNavigate(long dir, VARIANT start, VARIANT* r) override {
        QF_PASS(accNavigate(dir, start, r));
    }
    STDMETHODIMP accHitTest(long x, long y, VARIANT* r) override { QF_PASS(accHitTest(x, y, r)); }
    STDMETHODIMP accDoDefaultAction(VARIANT id) override { QF_PASS(accDoDefaultAction(id)); }
    STDMETHODIMP put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }
#undef QF_PASS

protected:
    // Lets go of the host object it describes.
    virtual void Forget() {}
    // QueryInterface of an object with one more interface: `as` answers for
    // `extra`.
    HRESULT QueryWith(REFIID riid, void** out, REFIID extra, IUnknown* as) {
        if (out && riid == extra) {
            *out = as;
            AddRef();
            return S_OK;
        }
        return AccessibleObject::QueryInterface(riid, out);
    }
    ComRef<IAccessible> system_;

private:
    LONG refs_ = 1;
};

namespace {

bool IsSelf(const VARIANT& id) { return id.vt == VT_I4 && id.lVal == CHILDID_SELF; }

// An edit box: the system's object, named after its caption label.
class EditObject final : public AccessibleObject {
public:
    EditObject(IAccessible* system, TextBox* box) : AccessibleObject(system), box_(box) {}
    void Forget() override { box_ = nullptr; }

    STDMETHODIMP get_accName(VARIANT id, BSTR* s) override {
        if (box_ && IsSelf(id) && box_->CaptionLabel()) return Text(box_->CaptionLabel()->Caption(), s);
        return AccessibleObject::get_accName(id, s);
    }
    STDMETHODIMP get_accValue(VARIANT id, BSTR* s) override {
        // The box's text, whether or not the system's object tells it.
        if (box_ && IsSelf(id)) return Text(box_->Text(), s);
        return AccessibleObject::get_accValue(id, s);
    }

private:
    TextBox* box_;
};

// One windowless control of a container as an object of its own, for a
// client that steps to it from a neighbouring window's object: a simple
// child is otherwise named only by its id in its container's client area.
// Every question about it is asked of that client, by the control's id.
class ElementObject final : public AccessibleObject {
public:
    ElementObject(IAccessible* client, long id) : AccessibleObject(client), id_(id) {}

    // A result of the client that is a simple child becomes such an object.
    static void Wrap(IAccessible* client, VARIANT* r) {
        if (r->vt != VT_I4 || r->lVal == CHILDID_SELF) return;
        client->AddRef();
        auto* element = new ElementObject(client, r->lVal);
        r->vt = VT_DISPATCH;
        r->pdispVal = static_cast<IDispatch*>(element);
    }

#define QF_AS_CHILD(call)                          \
    if (!system_) return CO_E_OBJNOTCONNECTED;     \
    if (!IsSelf(id)) return E_INVALIDARG;          \
    const VARIANT child = Int(id_);                \
    return system_->call
    STDMETHODIMP get_accParent(IDispatch** p) override {
        if (!p) return E_POINTER;
        if (!system_) return CO_E_OBJNOTCONNECTED;
        return system_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(p));
    }
    STDMETHODIMP get_accChildCount(long* n) override {
        if (!n) return E_POINTER;
        *n = 0;
        return S_OK;
    }
    STDMETHODIMP get_accChild(VARIANT, IDispatch** p) override {
        if (p) *p = nullptr;
        return E_INVALIDARG;
    }
    STDMETHODIMP get_accName(VARIANT id, BSTR* s) override { QF_AS_CHILD(get_accName(child, s)); }
    STDMETHODIMP get_accValue(VARIANT id, BSTR* s) override { QF_AS_CHILD(get_accValue(child, s)); }
    STDMETHODIMP get_accDescription(VARIANT id, BSTR* s) override {
        QF_AS_CHILD(get_accDescription(child, s));
    }
    STDMETHODIMP get_accRole(VARIANT id, VARIANT* r) override { QF_AS_CHILD(get_accRole(child, r)); }
    STDMETHODIMP get_accState(VARIANT id, VARIANT* r) override { QF_AS_CHILD(get_accState(child, r)); }
    STDMETHODIMP get_accHelp(VARIANT id, BSTR* s) override { QF_AS_CHILD(get_accHelp(child, s)); }
    STDMETHODIMP get_accKeyboardShortcut(VARIANT id, BSTR* s) override {
        QF_AS_CHILD(get_accKeyboardShortcut(child, s));
    }
    STDMETHODIMP get_accDefaultAction(VARIANT id, BSTR* s) override {
        QF_AS_CHILD(get_accDefaultAction(child, s));
    }
    STDMETHODIMP accSelect(long flags, VARIANT id) override { QF_AS_CHILD(accSelect(flags, child)); }
    STDMETHODIMP accLocation(long* l, long* t, long* w, long* h, VARIANT id) override {
        QF_AS_CHILD(accLocation(l, t, w, h, child));
    }
    STDMETHODIMP accDoDefaultAction(VARIANT id) override { QF_AS_CHILD(accDoDefaultAction(child)); }
#undef QF_AS_CHILD
    STDMETHODIMP get_accFocus(VARIANT* r) override {
        if (!r) return E_POINTER;
        *r = VARIANT{};
        if (!system_) return CO_E_OBJNOTCONNECTED;
        VARIANT state = {};
        if (SUCCEEDED(system_->get_accState(Int(id_), &state)) && state.vt == VT_I4 &&
            (state.lVal & STATE_SYSTEM_FOCUSED)) {
            *r = Int(CHILDID_SELF);
            return S_OK;
        }
        return S_FALSE;
    }
    STDMETHODIMP get_accSelection(VARIANT* r) override {
        if (r) *r = VARIANT{};
        return S_FALSE;
    }
    STDMETHODIMP get_accHelpTopic(BSTR* f, VARIANT, long*) override {
        if (f) *f = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP accNavigate(long dir, VARIANT start, VARIANT* r) override {
        if (!r) return E_POINTER;
        *r = VARIANT{};
        if (!system_) return CO_E_OBJNOTCONNECTED;
        if (!IsSelf(start)) return E_INVALIDARG;
        if (dir == NAVDIR_FIRSTCHILD || dir == NAVDIR_LASTCHILD) return S_FALSE;
        HRESULT hr = system_->accNavigate(dir, Int(id_), r);
        if (hr == S_OK) Wrap(system_.get(), r);
        return hr;
    }
    STDMETHODIMP accHitTest(long x, long y, VARIANT* r) override {
        if (!r) return E_POINTER;
        long l = 0, t = 0, w = 0, h = 0;
        *r = VARIANT{};
        if (FAILED(accLocation(&l, &t, &w, &h, Int(CHILDID_SELF)))) return S_FALSE;
        if (x < l || y < t || x >= l + w || y >= t + h) return S_FALSE;
        *r = Int(CHILDID_SELF);
        return S_OK;
    }

private:
    long id_;
};

// A window as a whole, as the system describes it, except that its focus
// leads into its client area while the keys are with the window or with a
// control of it (Wine's own object cannot tell, and a windowless control
// of a frame has the keys through its form's window, not the frame's), and
// that a child window steps to its neighbours as its parent's client area
// lists them, in reading order (the system's object steps from window to
// window, past the windowless controls). What Wine's object does not
// answer at all (its role, name, place, parent and child), it answers as
// the system's object does on Windows.
class WindowObject final : public AccessibleObject, public IOleWindow {
public:
    WindowObject(IAccessible* system, HWND window, std::function<bool()> holdsFocus, long idInParent)
        : AccessibleObject(system), window_(window), holdsFocus_(std::move(holdsFocus)),
          idInParent_(idInParent) {}
    void Forget() override { holdsFocus_ = nullptr; }

    // IUnknown, shared by both interfaces; IOleWindow tells a client which
    // window the object stands for.
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        return QueryWith(riid, out, IID_IOleWindow, static_cast<IOleWindow*>(this));
    }
    STDMETHODIMP_(ULONG) AddRef() override { return AccessibleObject::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return AccessibleObject::Release(); }
    STDMETHODIMP GetWindow(HWND* out) override {
        if (!out) return E_POINTER;
        *out = window_;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    STDMETHODIMP get_accFocus(VARIANT* r) override {
        if (!r) return E_POINTER;
        *r = VARIANT{};
        if (!holdsFocus_) return CO_E_OBJNOTCONNECTED;
        if (!holdsFocus_()) return S_FALSE;
        ComRef<IDispatch> client;
        HRESULT hr = LoadOleacc()->fromWindow(window_, OBJID_CLIENT, IID_IDispatch, client.put_void());
        if (FAILED(hr)) return hr;
        r->vt = VT_DISPATCH;
        r->pdispVal = client.release();
        return S_OK;
    }

    STDMETHODIMP accNavigate(long dir, VARIANT start, VARIANT* r) override {
        if (!r) return E_POINTER;
        const bool sideways = dir == NAVDIR_NEXT || dir == NAVDIR_PREVIOUS || dir == NAVDIR_UP ||
                              dir == NAVDIR_DOWN || dir == NAVDIR_LEFT || dir == NAVDIR_RIGHT;
        if (holdsFocus_ && idInParent_ && sideways && IsSelf(start)) {
            ComRef<IAccessible> parent;
            HRESULT hr = ClientOf(GetParent(window_), parent);
            if (FAILED(hr)) return hr;
            hr = parent->accNavigate(dir, Int(idInParent_), r);
            if (hr == S_OK) ElementObject::Wrap(parent.get(), r);
            return hr;
        }
        HRESULT hr = AccessibleObject::accNavigate(dir, start, r);
        if (hr != E_NOTIMPL || !holdsFocus_ || !IsSelf(start) ||
            (dir != NAVDIR_FIRSTCHILD && dir != NAVDIR_LASTCHILD))
            return hr;
        return Client(r);  // its only child
    }
    STDMETHODIMP get_accParent(IDispatch** p) override {
        HRESULT hr = AccessibleObject::get_accParent(p);
        if (hr != E_NOTIMPL || !p || !holdsFocus_ || !GetParent(window_)) return hr;
        return LoadOleacc()->fromWindow(GetParent(window_), OBJID_CLIENT, IID_IDispatch,
                                        reinterpret_cast<void**>(p));
    }
    STDMETHODIMP get_accChildCount(long* n) override {
        HRESULT hr = AccessibleObject::get_accChildCount(n);
        if (hr != E_NOTIMPL || !n) return hr;
        *n = 1;  // its client area
        return S_OK;
    }
    STDMETHODIMP get_accChild(VARIANT id, IDispatch** p) override {
        HRESULT hr = AccessibleObject::get_accChild(id, p);
        if (hr != E_NOTIMPL || !p || !holdsFocus_ || id.vt != VT_I4 || (id.lVal != 1 && id.lVal != OBJID_CLIENT))
            return hr;
        return LoadOleacc()->fromWindow(window_, OBJID_CLIENT, IID_IDispatch, reinterpret_cast<void**>(p));
    }
    STDMETHODIMP get_accName(VARIANT id, BSTR* s) override {
        HRESULT hr = AccessibleObject::get_accName(id, s);
        if (hr != E_NOTIMPL || !holdsFocus_ || !IsSelf(id)) return hr;
        ComRef<IAccessible> client;  // called as its client area is
        if (FAILED(ClientOf(window_, client))) return hr;
        return client->get_accName(kSelf, s);
    }
    STDMETHODIMP get_accRole(VARIANT id, VARIANT* r) override {
        HRESULT hr = AccessibleObject::get_accRole(id, r);
        if (hr != E_NOTIMPL || !r || !IsSelf(id)) return hr;
        *r = Int(ROLE_SYSTEM_WINDOW);
        return S_OK;
    }
    STDMETHODIMP get_accState(VARIANT id, VARIANT* r) override {
        HRESULT hr = AccessibleObject::get_accState(id, r);
        if (hr != E_NOTIMPL || !r || !holdsFocus_ || !IsSelf(id)) return hr;
        long state = STATE_SYSTEM_FOCUSABLE;
        if (!IsWindowVisible(window_)) state |= STATE_SYSTEM_INVISIBLE;
        if (GetFocus() == window_) state |= STATE_SYSTEM_FOCUSED;
        *r = Int(state);
        return S_OK;
    }
    STDMETHODIMP accLocation(long* l, long* t, long* w, long* h, VARIANT id) override {
        HRESULT hr = AccessibleObject::accLocation(l, t, w, h, id);
        RECT rc;
        if (hr != E_NOTIMPL || !l || !t || !w || !h || !IsSelf(id) || !GetWindowRect(window_, &rc)) return hr;
        *l = rc.left;
        *t = rc.top;
        *w = rc.right - rc.left;
        *h = rc.bottom - rc.top;
        return S_OK;
    }

private:
    static HRESULT ClientOf(HWND w, ComRef<IAccessible>& out) {
        if (!w) return E_FAIL;
        return LoadOleacc()->fromWindow(w, OBJID_CLIENT, __uuidof(IAccessible), out.put_void());
    }
    HRESULT Client(VARIANT* r) const {
        ComRef<IDispatch> client;
        HRESULT hr = LoadOleacc()->fromWindow(window_, OBJID_CLIENT, IID_IDispatch, client.put_void());
        if (FAILED(hr)) return hr;
        r->vt = VT_DISPATCH;
        r->pdispVal = client.release();
        return S_OK;
    }

    HWND window_;
    std::function<bool()> holdsFocus_;  // null once the window is gone
    long idInParent_;
};

long RoleCode(AccRole r) {
    switch (r) {
    case AccRole::kGraphic: return ROLE_SYSTEM_GRAPHIC;
    case AccRole::kPushButton: return ROLE_SYSTEM_PUSHBUTTON;
    case AccRole::kCheckButton: return ROLE_SYSTEM_CHECKBUTTON;
    case AccRole::kStaticText: return ROLE_SYSTEM_STATICTEXT;
    case AccRole::kLink: return ROLE_SYSTEM_LINK;
    default: return 0;
    }
}

// A container window (a form or a frame): its child windows and windowless
// controls in reading order, each by its control's own id (IEnumVARIANT
// hands them out, as screen readers ask for ids that are not 1..N); a
// client that counts 1..N finds the same children by their places.
class ClientObject final : public AccessibleObject, public IEnumVARIANT {
public:
    ClientObject(IAccessible* system, ControlSite* owner, std::function<std::wstring()> name, long role)
        : AccessibleObject(system), owner_(owner), name_(std::move(name)), role_(role) {}
    ~ClientObject() override {
        if (first_) first_->later_.erase(std::find(first_->later_.begin(), first_->later_.end(), this));
        for (ClientObject* o : later_) o->first_ = nullptr;
    }
    // An enumeration's place is its object's: each request after the first
    // gets an object of its own, so that two readers walking the window at
    // once never move each other's place. The first cuts them off with it.
    void Adopt(ClientObject* later) {
        later->first_ = this;
        later_.push_back(later);
    }
    void Forget() override {
        owner_ = nullptr;
        for (ClientObject* o : std::exchange(later_, {})) {
            o->first_ = nullptr;
            o->Detach();
        }
    }

    struct Element {
        HWND window = nullptr;  // a child window, read through its own object
        Control* control = nullptr;
        long id = 0;
    };

    // What the object lists, in reading order.
    std::vector<Element> Elements() const {
        std::vector<Element> all;
        if (!owner_ || !owner_->Window()) return all;
        for (Control* c : owner_->ReadingOrder()) {
            if (HWND w = c->OwnWindow(); w && (GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE))
                all.push_back({w, c, c->Id()});
            else if (c->Listed())
                all.push_back({nullptr, c, c->Id()});
        }
        return all;
    }

    // IUnknown, shared by both interfaces.
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        return QueryWith(riid, out, IID_IEnumVARIANT, static_cast<IEnumVARIANT*>(this));
    }
    STDMETHODIMP_(ULONG) AddRef() override { return AccessibleObject::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return AccessibleObject::Release(); }

    // IEnumVARIANT: the children in reading order, a window as its object.
    STDMETHODIMP Next(ULONG count, VARIANT* out, ULONG* fetched) override {
        if (!out) return E_POINTER;
        if (!owner_) return CO_E_OBJNOTCONNECTED;
        auto all = Elements();
        ULONG n = 0;
        for (; n < count && next_ < all.size(); ++n, ++next_) {
            out[n] = VARIANT{};
            if (FAILED(Child(all[next_], &out[n]))) out[n] = Int(all[next_].id);
        }
        if (fetched) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override {
        next_ += count;
        return next_ <= Elements().size() ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override {
        next_ = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumVARIANT** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }

    STDMETHODIMP get_accChildCount(long* n) override {
        if (!n) return E_POINTER;
        if (!owner_) return CO_E_OBJNOTCONNECTED;
        *n = static_cast<long>(Elements().size());
        return S_OK;
    }

    STDMETHODIMP get_accChild(VARIANT id, IDispatch** p) override {
        if (!p) return E_POINTER;
        *p = nullptr;
        Element e;
        HRESULT hr = Find(id, e);
        if (hr != S_OK) return hr;
        if (!e.window) return S_FALSE;  // a simple child: ask this object
        return LoadOleacc()->fromWindow(e.window, OBJID_WINDOW, IID_IDispatch,
                                        reinterpret_cast<void**>(p));
    }

    STDMETHODIMP get_accName(VARIANT id, BSTR* s) override {
        if (owner_ && IsSelf(id) && name_) {
            std::wstring name = name_();
            if (!name.empty()) return Text(name, s);
        }
        return ForElement(id, [&](IAccessible* a, VARIANT self) { return a->get_accName(self, s); },
                          [&](Control& c) { return Text(c.AccessibleName(), s); },
                          [&] { return AccessibleObject::get_accName(id, s); });
    }

    STDMETHODIMP get_accValue(VARIANT id, BSTR* s) override {
        return ForElement(id, [&](IAccessible* a, VARIANT self) { return a->get_accValue(self, s); },
                          [&](Control& c) { return Text(c.AccessibleValue(), s); },
                          [&] { return AccessibleObject::get_accValue(id, s); });
    }

    STDMETHODIMP get_accDescription(VARIANT id, BSTR* s) override {
        return ForElement(
            id, [&](IAccessible* a, VARIANT self) { return a->get_accDescription(self, s); },
            [&](Control& c) {
                // A tip that is not already the name says more.
                const std::wstring& tip = c.ToolTipText();
                return Text(tip == c.AccessibleName() ? std::wstring() : tip, s);
            },
            [&] { return AccessibleObject::get_accDescription(id, s); });
    }

    STDMETHODIMP get_accRole(VARIANT id, VARIANT* r) override {
        if (!r) return E_POINTER;
        if (owner_ && IsSelf(id) && role_) {
            *r = Int(role_);
            return S_OK;
        }
        return ForElement(id, [&](IAccessible* a, VARIANT self) { return a->get_accRole(self, r); },
                          [&](Control& c) {
                              *r = Int(RoleCode(c.AccessibleRole()));
                              return S_OK;
                          },
                          [&] { return AccessibleObject::get_accRole(id, r); });
    }

    STDMETHODIMP get_accState(VARIANT id, VARIANT* r) override {
        if (!r) return E_POINTER;
        return ForElement(id, [&](IAccessible* a, VARIANT self) { return a->get_accState(self, r); },
                          [&](Control& c) {
                              long state = c.AccessibleState();
                              if (c.AccessibleRole() == AccRole::kStaticText) state |= STATE_SYSTEM_READONLY;
                              if (c.AccessibleRole() == AccRole::kLink) state |= STATE_SYSTEM_LINKED;
                              if (c.TabStop()) state |= STATE_SYSTEM_FOCUSABLE;
                              if (owner_->Top().HasFocus(c)) state |= STATE_SYSTEM_FOCUSED;
                              if (!IsWindowVisible(owner_->Window())) state |= STATE_SYSTEM_INVISIBLE;
                              *r = Int(state);
                              return S_OK;
                          },
                          [&] { return AccessibleObject::get_accState(id, r); });
    }

    // The child that holds the focus: a control by its id, a window (a
    // frame, an edit box) as its object, which leads on to the control.
    STDMETHODIMP get_accFocus(VARIANT* r) override {
        if (!r) return E_POINTER;
        *r = VARIANT{};
        if (!owner_) return CO_E_OBJNOTCONNECTED;
        for (const Element& e : Elements())
            if (e.control->HoldsFocus()) return Child(e, r);
        return AccessibleObject::get_accFocus(r);
    }

    STDMETHODIMP get_accHelp(VARIANT id, BSTR* s) override {
        return ForElement(id, [&](IAccessible* a, VARIANT self) { return a->get_accHelp(self, s); },
                          [&](Control&) { return Text({}, s); },
                          [&] { return AccessibleObject::get_accHelp(id, s); });
    }

    STDMETHODIMP get_accKeyboardShortcut(VARIANT id, BSTR* s) override {
        return ForElement(
            id, [&](IAccessible* a, VARIANT self) { return a->get_accKeyboardShortcut(self, s); },
            [&](Control&) { return Text({}, s); },
            [&] { return AccessibleObject::get_accKeyboardShortcut(id, s); });
    }

    STDMETHODIMP get_accDefaultAction(VARIANT id, BSTR* s) override {
        return ForElement(
            id, [&](IAccessible* a, VARIANT self) { return a->get_accDefaultAction(self, s); },
            [&](Control& c) { return Text(ActionName(c), s); },
            [&] { return AccessibleObject::get_accDefaultAction(id, s); });
    }

    STDMETHODIMP accSelect(long flags, VARIANT id) override {
        return ForElement(id, [&](IAccessible* a, VARIANT self) { return a->accSelect(flags, self); },
                          [&](Control&) { return static_cast<HRESULT>(DISP_E_MEMBERNOTFOUND); },
                          [&] { return AccessibleObject::accSelect(flags, id); });
    }

    STDMETHODIMP accLocation(long* l, long* t, long* w, long* h, VARIANT id) override {
        if (!l || !t || !w || !h) return E_POINTER;
        return ForElement(
            id, [&](IAccessible* a, VARIANT self) { return a->accLocation(l, t, w, h, self); },
            [&](Control& c) {
                // The rectangle the mouse finds it in, on the screen.
                RECT r = c.PixelRect(), client, shown;
                GetClientRect(owner_->Window(), &client);
                IntersectRect(&shown, &r, &client);
                POINT p = {shown.left, shown.top};
                ClientToScreen(owner_->Window(), &p);
                *l = p.x;
                *t = p.y;
                *w = shown.right - shown.left;
                *h = shown.bottom - shown.top;
                return S_OK;
            },
            [&] { return AccessibleObject::accLocation(l, t, w, h, id); });
    }

    STDMETHODIMP accNavigate(long dir, VARIANT start, VARIANT* r) override {
        if (!r) return E_POINTER;
        *r = VARIANT{};
        if (!owner_) return CO_E_OBJNOTCONNECTED;
        auto all = Elements();
        const long n = static_cast<long>(all.size());
        long to = -1;  // index into all
        if (IsSelf(start)) {
            if (dir == NAVDIR_FIRSTCHILD) to = 0;
            else if (dir == NAVDIR_LASTCHILD) to = n - 1;
            else return AccessibleObject::accNavigate(dir, start, r);
        } else {
            long at = IndexOf(all, start);
            if (at < 0) return E_INVALIDARG;
            if (dir == NAVDIR_NEXT || dir == NAVDIR_DOWN || dir == NAVDIR_RIGHT) to = at + 1;
            else if (dir == NAVDIR_PREVIOUS || dir == NAVDIR_UP || dir == NAVDIR_LEFT) to = at - 1;
            else return E_INVALIDARG;
        }
        if (to < 0 || to >= n) return S_FALSE;
        return Child(all[static_cast<size_t>(to)], r);
    }

    STDMETHODIMP accHitTest(long x, long y, VARIANT* r) override {
        if (!r) return E_POINTER;
        *r = VARIANT{};
        if (!owner_ || !owner_->Window()) return CO_E_OBJNOTCONNECTED;
        HWND h = owner_->Window();
        POINT p = {x, y};
        ScreenToClient(h, &p);
        RECT client;
        GetClientRect(h, &client);
        if (!PtInRect(&client, p)) return S_FALSE;
        // Child windows lie above everything the container paints itself;
        // then its controls, front to back, as the mouse finds them.
        HWND under = ChildWindowFromPointEx(h, p, CWP_SKIPINVISIBLE);
        Control* c = owner_->HitTest(p);
        for (const Element& e : Elements()) {
            bool hit = under && under != h ? e.window == under : !e.window && e.control == c;
            if (hit) return Child(e, r);
        }
        *r = Int(CHILDID_SELF);
        return S_OK;
    }

    STDMETHODIMP accDoDefaultAction(VARIANT id) override {
        return ForElement(
            id, [&](IAccessible* a, VARIANT self) { return a->accDoDefaultAction(self); },
            [&](Control& c) {
                if (ActionName(c).empty()) return static_cast<HRESULT>(DISP_E_MEMBERNOTFOUND);
                // Run from the form's own message loop, as a click is, not
                // inside the caller's request.
                return PostMessageW(owner_->Window(), messages::kAccessiblePress,
                                    static_cast<WPARAM>(c.Id()), 0)
                           ? S_OK
                           : E_FAIL;
            },
            [&] { return AccessibleObject::accDoDefaultAction(id); });
    }

private:
    static std::wstring ActionName(const Control& c) {
        switch (c.AccessibleRole()) {
        case AccRole::kPushButton: return L"按下";
        case AccRole::kCheckButton: return (c.AccessibleState() & STATE_SYSTEM_CHECKED) ? L"清除" : L"选中";
        case AccRole::kLink: return L"跳转";
        default: return {};
        }
    }

    // A child by its id, or by its place 1..N in reading order: ids lie
    // above any place.
    static long IndexOf(const std::vector<Element>& all, const VARIANT& id) {
        if (id.vt != VT_I4) return -1;
        for (size_t i = 0; i < all.size(); ++i)
            if (all[i].id == id.lVal) return static_cast<long>(i);
        if (id.lVal >= 1 && id.lVal <= static_cast<long>(all.size())) return id.lVal - 1;
        return -1;
    }

    HRESULT Find(const VARIANT& id, Element& out) const {
        if (!owner_) return CO_E_OBJNOTCONNECTED;
        auto all = Elements();
        long at = IndexOf(all, id);
        if (at < 0) return E_INVALIDARG;
        out = all[static_cast<size_t>(at)];
        return S_OK;
    }

    // A child as a navigation or hit-test result: a window as its object,
    // a control as its id.
    static HRESULT Child(const Element& e, VARIANT* r) {
        if (!e.window) {
            *r = Int(e.id);
            return S_OK;
        }
        ComRef<IDispatch> d;
        HRESULT hr = LoadOleacc()->fromWindow(e.window, OBJID_WINDOW, IID_IDispatch, d.put_void());
        if (FAILED(hr)) return hr;
        r->vt = VT_DISPATCH;
        r->pdispVal = d.release();
        return S_OK;
    }

    // One property of the object itself, a child window (asked of the
    // window's own object) or a control.
    template <class OnWindow, class OnControl, class OnSelf>
    HRESULT ForElement(const VARIANT& id, OnWindow onWindow, OnControl onControl, OnSelf onSelf) {
        if (!owner_) return CO_E_OBJNOTCONNECTED;
        if (IsSelf(id)) return onSelf();
        Element e;
        HRESULT hr = Find(id, e);
        if (hr != S_OK) return hr;
        if (!e.window) return onControl(*e.control);
        ComRef<IAccessible> a;
        hr = LoadOleacc()->fromWindow(e.window, OBJID_WINDOW, __uuidof(IAccessible), a.put_void());
        if (FAILED(hr)) return hr;
        return onWindow(a.get(), kSelf);
    }

    ControlSite* owner_;
    std::function<std::wstring()> name_;
    long role_;
    size_t next_ = 0;  // the enumeration's place
    ClientObject* first_ = nullptr;
    std::vector<ClientObject*> later_;
};

template <class Object, class... Args>
LRESULT Answer(HWND window, LONG object, AccessibleObject*& slot, WPARAM wp, LPARAM lp, Args&&... args) {
    if (static_cast<LONG>(lp) != object || !window) return 0;
    const Oleacc* api = LoadOleacc();
    if (!api) return 0;
    if (!slot) {
        ComRef<IAccessible> system;
        if (FAILED(api->createStd(window, object, __uuidof(IAccessible), system.put_void())))
            return 0;
        slot = new Object(system.release(), std::forward<Args>(args)...);
    }
    return api->lresultFromObject(__uuidof(IAccessible), wp, static_cast<IAccessible*>(slot));
}

}  // namespace

void DisconnectAccessible(AccessibleObject*& slot) {
    if (!slot) return;
    slot->Detach();
    slot->Release();
    slot = nullptr;
}

LRESULT AnswerClientObject(ControlSite& owner, AccessibleObject*& slot, WPARAM wp, LPARAM lp,
                           std::function<std::wstring()> name, long role) {
    if (!slot || static_cast<LONG>(lp) != OBJID_CLIENT)
        return Answer<ClientObject>(owner.Window(), OBJID_CLIENT, slot, wp, lp, &owner, std::move(name), role);
    AccessibleObject* later = nullptr;
    LRESULT r = Answer<ClientObject>(owner.Window(), OBJID_CLIENT, later, wp, lp, &owner, std::move(name), role);
    if (later) {
        static_cast<ClientObject*>(slot)->Adopt(static_cast<ClientObject*>(later));
        later->Release();
    }
    return r;
}

LRESULT AnswerWindowObject(HWND window, AccessibleObject*& slot, WPARAM wp, LPARAM lp,
                           std::function<bool()> holdsFocus, long idInParent) {
    return Answer<WindowObject>(window, OBJID_WINDOW, slot, wp, lp, window, std::move(holdsFocus), idInParent);
}

LRESULT AnswerEditObject(TextBox& box, AccessibleObject*& slot, WPARAM wp, LPARAM lp) {
    if (!box.CaptionLabel()) return 0;
    if (static_cast<LONG>(lp) == OBJID_WINDOW) {
        // Made for each request: it knows the box's window alone, nothing
        // that could go before it does.
        AccessibleObject* window = nullptr;
        const HWND h = box.hWnd();
        LRESULT r = AnswerWindowObject(h, window, wp, lp, [h] { return GetFocus() == h; }, box.Id());
        if (window) window->Release();
        return r;
    }
    return Answer<EditObject>(box.hWnd(), OBJID_CLIENT, slot, wp, lp, &box);
}

}  // namespace host
