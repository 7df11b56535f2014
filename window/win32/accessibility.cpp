#include "window/win32/accessibility.h"

#include <initguid.h>  // defines the GUIDs that oleacc.h declares, here and once
#include <oleacc.h>

namespace mardovane::win32 {

void set_accessible_name(HWND control, const std::wstring& name, const std::wstring& description) {
    // COM is needed for the property service, for as long as the window lives: it stays
    // initialised on this, the window's, thread.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IAccPropServices* services = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IAccPropServices, reinterpret_cast<void**>(&services)))) {
        services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                 PROPID_ACC_NAME, name.c_str());
        services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                 PROPID_ACC_DESCRIPTION, description.c_str());
        services->Release();
    }
}

}  // namespace mardovane::win32
