#include "picture.h"

#include <ole2.h>
#include <olectl.h>

#include "error.h"
#include "handles.h"

namespace host {

struct StdPicture::Impl {
    int id = 0;
    const unsigned char* data = nullptr;
    DWORD size = 0;
    IPicture* pic = nullptr;  // decoded on first use
    int w = 0, h = 0;
    OLE_XSIZE_HIMETRIC hmW = 0;
    OLE_YSIZE_HIMETRIC hmH = 0;
    Impl() { AdjustOwnedObjectCount(1); }
    ~Impl() {
        if (pic) pic->Release();
        AdjustOwnedObjectCount(-1);
    }
    void Decode();
};

namespace {

// Pixel size from the file header, so that a picture can be placed and
// hit-tested before it is decoded.
bool HeaderSize(const unsigned char* d, DWORD n, int& w, int& h) {
    if (n >= 10 && memcmp(d, "GIF8", 4) == 0) {
        w = d[6] | (d[7] << 8);
        h = d[8] | (d[9] << 8);
        return true;
    }
    if (n >= 4 && d[0] == 0xFF && d[1] == 0xD8) {
        DWORD i = 2;
        while (i + 9 < n) {
            if (d[i] != 0xFF) return false;
            unsigned char m = d[i + 1];
            DWORD len = (d[i + 2] << 8) | d[i + 3];
            bool sof = m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
            if (sof) {
                h = (d[i + 5] << 8) | d[i + 6];
                w = (d[i + 7] << 8) | d[i + 8];
                return true;
            }
            i += 2 + len;
        }
    }
    return false;
}

}  // namespace

void StdPicture::Impl::Decode() {
    if (pic) return;
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, size);
    void* bytes = mem ? GlobalLock(mem) : nullptr;
    if (!bytes) {
        if (mem) GlobalFree(mem);
        Raise(L"out of memory loading a picture");
    }
    memcpy(bytes, data, size);
    GlobalUnlock(mem);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(mem, TRUE, &stream))) {
        GlobalFree(mem);
        Raise(L"cannot read picture resource " + std::to_wstring(id));
    }
    HRESULT hr = OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                                reinterpret_cast<void**>(&pic));
    stream->Release();
    if (FAILED(hr) || !pic) {
        pic = nullptr;
        Raise(L"invalid picture in resource " + std::to_wstring(id));
    }
    pic->get_Width(&hmW);
    pic->get_Height(&hmH);
}

StdPicture StdPicture::FromResource(int id) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(id), RT_RCDATA);
    if (!res) Raise(L"picture resource " + std::to_wstring(id) + L" not found");
    auto impl = std::make_shared<Impl>();
    impl->id = id;
    impl->size = SizeofResource(module, res);
    impl->data = static_cast<const unsigned char*>(LockResource(LoadResource(module, res)));
    if (!impl->data || !HeaderSize(impl->data, impl->size, impl->w, impl->h))
        Raise(L"picture resource " + std::to_wstring(id) + L" is not a JPEG or GIF");
    StdPicture p;
    p.impl_ = std::move(impl);
    return p;
}

uintptr_t StdPicture::Handle() const {
    if (!impl_) return 0;
    impl_->Decode();
    OLE_HANDLE h = 0;
    impl_->pic->get_Handle(&h);
    return static_cast<uintptr_t>(h);
}

int StdPicture::WidthPx() const { return impl_ ? impl_->w : 0; }
int StdPicture::HeightPx() const { return impl_ ? impl_->h : 0; }

void StdPicture::Render(HDC dc, int x, int y) const {
    if (!impl_) return;
    impl_->Decode();
    impl_->pic->Render(dc, x, y, impl_->w, impl_->h, 0, impl_->hmH, impl_->hmW, -impl_->hmH,
                       nullptr);
}

}  // namespace host
