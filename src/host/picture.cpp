#include "host/picture.h"

#include <ole2.h>
#include <olectl.h>

#include "host/error.h"
#include "host/handles.h"

namespace host {

struct StdPicture::Impl {
    IPicture* pic = nullptr;
    int w = 0, h = 0;
    OLE_XSIZE_HIMETRIC hmW = 0;
    OLE_YSIZE_HIMETRIC hmH = 0;
    Impl() { AdjustOwnedObjectCount(1); }
    ~Impl() {
        if (pic) pic->Release();
        AdjustOwnedObjectCount(-1);
    }
};

StdPicture StdPicture::FromResource(int id) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10) /*RT_RCDATA*/);
    if (!res) Raise(L"picture resource " + std::to_wstring(id) + L" not found");
    DWORD size = SizeofResource(module, res);
    const void* data = LockResource(LoadResource(module, res));
    if (!data || !size) Raise(L"picture resource " + std::to_wstring(id) + L" is empty");

    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!mem) Raise(L"out of memory loading a picture");
    memcpy(GlobalLock(mem), data, size);
    GlobalUnlock(mem);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(mem, TRUE, &stream))) {
        GlobalFree(mem);
        Raise(L"cannot read picture resource " + std::to_wstring(id));
    }
    auto impl = std::make_shared<Impl>();
    HRESULT hr = OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                                reinterpret_cast<void**>(&impl->pic));
    stream->Release();
    if (FAILED(hr) || !impl->pic)
        Raise(L"invalid picture in resource " + std::to_wstring(id));

    impl->pic->get_Width(&impl->hmW);
    impl->pic->get_Height(&impl->hmH);
    OLE_HANDLE h = 0;
    impl->pic->get_Handle(&h);
    BITMAP bm = {};
    if (h && GetObjectW(reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(h)), sizeof bm, &bm)) {
        impl->w = bm.bmWidth;
        impl->h = bm.bmHeight;
    } else {
        impl->w = MulDiv(impl->hmW, 96, 2540);
        impl->h = MulDiv(impl->hmH, 96, 2540);
    }
    StdPicture p;
    p.impl_ = std::move(impl);
    return p;
}

uintptr_t StdPicture::Handle() const {
    if (!impl_) return 0;
    OLE_HANDLE h = 0;
    impl_->pic->get_Handle(&h);
    return static_cast<uintptr_t>(h);
}

int StdPicture::WidthPx() const { return impl_ ? impl_->w : 0; }
int StdPicture::HeightPx() const { return impl_ ? impl_->h : 0; }

void StdPicture::Render(HDC dc, int x, int y) const {
    if (!impl_) return;
    impl_->pic->Render(dc, x, y, impl_->w, impl_->h, 0, impl_->hmH, impl_->hmW, -impl_->hmH,
                       nullptr);
}

}  // namespace host
