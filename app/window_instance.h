// The object behind a window that was created with the object as its creation parameter.
#pragma once
#include <windows.h>

namespace tovn {

// Call first in the window procedure: WM_NCCREATE stores the object, later messages find it.
template <class T> T* WindowInstance(HWND w, UINT msg, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        ::SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        return self;
    }
    return reinterpret_cast<T*>(::GetWindowLongPtrW(w, GWLP_USERDATA));
}

} // namespace tovn
