#include "platform/win32/toolkit/Accessibility.h"

#include <objbase.h>

#include <oleacc.h>

#include <atomic>
#include <new>

#include "platform/win32/adapters/ComApartment.h"
#include "platform/win32/system/LateImports.h"

namespace zolv::win32::accessibility {

namespace {

// UI Automation's LiveSetting property and its Polite value (uiautomationclient.h).
constexpr GUID kLiveSettingProperty = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG kPolite = 1;
// EVENT_OBJECT_LIVEREGIONCHANGED, from Windows 8 on; earlier systems ignore it.
constexpr DWORD kLiveRegionChanged = 0x8019;
constexpr IID kAccPropServicesInterface = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr CLSID kAccPropServices = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr GUID kDescriptionProperty = {
    0x4d48dfe4, 0xbd3f, 0x491f, {0xa6, 0x48, 0x49, 0x2d, 0x6f, 0x20, 0xc5, 0x88}};

// Set once a client has asked: only then are annotations worth their cost.
std::atomic<bool> clientAsked{false};

bool IsSelf(const VARIANT& child) {
  return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The system's annotation service, made for each use: clients ask seldom.
class PropServices {
 public:
  PropServices() {
    if (EnterSingleThreadedApartment())
      CreateInProcess(kAccPropServices, kAccPropServicesInterface,
                      reinterpret_cast<void**>(&services_));
  }
  ~PropServices() {
    if (services_)
      services_->Release();
  }
  PropServices(const PropServices&) = delete;
  PropServices& operator=(const PropServices&) = delete;

  IAccPropServices* operator->() const { return services_; }
  explicit operator bool() const { return services_ != nullptr; }

 private:
  IAccPropServices* services_ = nullptr;
};

// Has the system's own accessible object of `button` report `description` (none when empty).
// Returns whether the system took the annotation; Wine's service, for one, does not.
bool Annotate(HWND button, const String& description) {
  const PropServices services;
  if (!services)
    return false;
  const auto client = static_cast<DWORD>(OBJID_CLIENT);
  if (description.empty())
    return SUCCEEDED(
        services->ClearHwndProps(button, client, CHILDID_SELF, &kDescriptionProperty, 1));
  return SUCCEEDED(services->SetHwndPropStr(button, client, CHILDID_SELF, kDescriptionProperty,
                                            reinterpret_cast<const wchar_t*>(description.c_str())));
}

// Where the system takes no annotation: the system's accessible object of a button, with its
// description from the toolkit, and every other question of IAccessible and IDispatch passed
// to the system's object. Its other interfaces are refused, not passed on: an interface of the
// inner object would be a second COM identity, through which clients (UI Automation's bridge
// asks for IServiceProvider) would reach the object without the description. COM interfaces
// have no virtual destructor: the object deletes itself, in Release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class DescribedButton final : public IAccessible {
 public:
  DescribedButton(HWND button, DescriptionOf describe, IAccessible* standard)
      : button_(button), describe_(describe), standard_(standard) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (!object)
      return E_POINTER;
    if (id == __uuidof(IUnknown) || id == __uuidof(IDispatch) || id == __uuidof(IAccessible)) {
      *object = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --references_;
    if (left == 0) {
      standard_->Release();
      delete this;
    }
    return left;
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return standard_->GetTypeInfoCount(count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return standard_->GetTypeInfo(index, locale, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID id, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override {
    return standard_->GetIDsOfNames(id, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID id, LCID locale, WORD flags,
                                   DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argument) override {
    return standard_->Invoke(member, id, locale, flags, parameters, result, exception, argument);
  }

  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
    if (!description)
      return E_POINTER;
    if (IsSelf(child) && ::IsWindow(button_)) {
      // Nothing may leave a COM method: out of memory, or a system without oleaut32, is E_FAIL.
      try {
        String text = describe_(button_);
        if (!text.empty()) {
          *description = oleaut32::SysAllocString(reinterpret_cast<const wchar_t*>(text.c_str()));
          return *description ? S_OK : E_OUTOFMEMORY;
        }
      } catch (...) {
        return E_FAIL;
      }
    }
    return standard_->get_accDescription(child, description);
  }

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return standard_->get_accParent(parent);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    return standard_->get_accChildCount(count);
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    return standard_->get_accChild(child, object);
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    return standard_->get_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return standard_->get_accValue(child, value);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    return standard_->get_accRole(child, role);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    return standard_->get_accState(child, state);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return standard_->get_accHelp(child, help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    return standard_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return standard_->get_accKeyboardShortcut(child, shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
    return standard_->get_accFocus(child);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
    return standard_->get_accSelection(children);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return standard_->get_accDefaultAction(child, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
    return standard_->accSelect(flags, child);
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT child) override {
    return standard_->accLocation(left, top, width, height, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    return standard_->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
    return standard_->accHitTest(x, y, child);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return standard_->accDoDefaultAction(child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
    return standard_->put_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return standard_->put_accValue(child, value);
  }

 private:
  ~DescribedButton() = default;

  std::atomic<ULONG> references_{1};
  HWND button_;
  DescriptionOf describe_;
  IAccessible* standard_;
};
#pragma GCC diagnostic pop

}  // namespace

LRESULT AnswerGetObject(HWND button, WPARAM wParam, LPARAM lParam, DescriptionOf describe) {
  if (static_cast<LONG>(lParam) != OBJID_CLIENT)
    return 0;
  clientAsked = true;
  // The object lives in the window thread's apartment; clients' calls come through it.
  if (!EnterSingleThreadedApartment())
    return 0;
  // The system's own object, annotated: its identity and interfaces are the system's.
  if (Annotate(button, describe(button)))
    return 0;
  IAccessible* standard = nullptr;
  if (FAILED(oleacc::CreateStdAccessibleObject(button, OBJID_CLIENT, __uuidof(IAccessible),
                                               reinterpret_cast<void**>(&standard))))
    return 0;
  // A COM object owns itself: its last Release deletes it.
  auto* described = new (std::nothrow) DescribedButton(button, describe, standard);
  if (!described) {
    standard->Release();
    return 0;
  }
  // LresultFromObject takes its own reference; a negative result is an error, answered by the
  // system instead.
  LRESULT result = oleacc::LresultFromObject(__uuidof(IAccessible), wParam, described);
  described->Release();
  return result < 0 ? 0 : result;
}

void DescriptionChanged(HWND button, const String& description) {
  if (clientAsked)
    Annotate(button, description);
  ::NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, button, OBJID_CLIENT, CHILDID_SELF);
}

void AnnounceCaption(HWND button) {
  if (clientAsked) {
    if (const PropServices services; services) {
      VARIANT polite{};
      polite.vt = VT_I4;
      polite.lVal = kPolite;
      services->SetHwndProp(button, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                            kLiveSettingProperty, polite);
    }
  }
  ::NotifyWinEvent(kLiveRegionChanged, button, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace zolv::win32::accessibility
