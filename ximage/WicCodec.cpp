#include "ximage/WicCodec.h"

#include <objbase.h>
#include <wincodec.h>

#include <cstdlib>
#include <cstring>

#include "base/ComPtr.h"

namespace {

// COM for the calling thread, for the length of one call. A thread that already has COM, in
// whichever apartment, keeps it.
class ComScope {
public:
    ComScope() : hr_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT hr_;
};

const GUID* ContainerOf(uint32_t format) {
    switch (format) {
        case CXIMAGE_FORMAT_PNG: return &GUID_ContainerFormatPng;
        case CXIMAGE_FORMAT_JPG: return &GUID_ContainerFormatJpeg;
        case CXIMAGE_FORMAT_BMP: return &GUID_ContainerFormatBmp;
        default: return nullptr;
    }
}

thread_local IWICImagingFactory* t_factory = nullptr;

bool CreateFactory(IWICImagingFactory** factory) {
    if (t_factory) {
        t_factory->AddRef();
        *factory = t_factory;
        return true;
    }
    return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IWICImagingFactory, reinterpret_cast<void**>(factory)));
}

}  // namespace

WicThreadFactory::WicThreadFactory() {
    if (!t_factory) CreateFactory(&t_factory);
}

WicThreadFactory::~WicThreadFactory() {
    if (t_factory) t_factory->Release();
    t_factory = nullptr;
}

bool WicDecode(const uint8_t* data, size_t size, uint32_t format, uint8_t** pixels, uint32_t* width,
               uint32_t* height) {
    *pixels = nullptr;
    if (!data || size == 0 || size > MAXDWORD) return false;
    if (format != CXIMAGE_FORMAT_UNKNOWN && DetectImageFormat(data, size) != format) return false;

    ComScope com;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICBitmapSource> converted;
    if (!CreateFactory(&factory)) return false;
    if (FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(data), static_cast<DWORD>(size))))
        return false;

    const GUID* container = ContainerOf(format);
    if (container) {
        if (FAILED(factory->CreateDecoder(*container, nullptr, &decoder)) ||
            FAILED(decoder->Initialize(stream.get(), WICDecodeMetadataCacheOnDemand)))
            return false;
    } else if (FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                       &decoder))) {
        return false;
    }
    if (FAILED(decoder->GetFrame(0, &frame))) return false;
    if (FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame.get(), &converted))) return false;

    UINT w = 0, h = 0;
    // The header was judged before; the decoder's own answer is judged again.
    if (FAILED(converted->GetSize(&w, &h)) || w == 0 || h == 0 || w > kMaxPictureSide || h > kMaxPictureSide)
        return false;
    UINT stride = w * 4;
    UINT bytes = stride * h;
    auto* out = static_cast<uint8_t*>(malloc(bytes));
    if (!out) return false;
    if (FAILED(converted->CopyPixels(nullptr, stride, bytes, out))) {
        free(out);
        return false;
    }
    *pixels = out;
    *width = w;
    *height = h;
    return true;
}

bool WicEncode(const uint8_t* pixels, uint32_t width, uint32_t height, bool alpha, uint32_t format,
               std::vector<uint8_t>& out) {
    out.clear();
    if (format != CXIMAGE_FORMAT_PNG && format != CXIMAGE_FORMAT_JPG) return false;
    if (format == CXIMAGE_FORMAT_JPG) alpha = false;

    // Without transparency the stream carries 24-bit pixels: a third smaller.
    UINT stride = alpha ? width * 4 : ((width * 3 + 3) & ~3u);
    std::vector<uint8_t> packed;
    const uint8_t* rows = pixels;
    if (!alpha) {
        packed.resize(static_cast<size_t>(stride) * height);
        for (uint32_t y = 0; y < height; ++y) {
            const uint8_t* s = pixels + static_cast<size_t>(y) * width * 4;
            uint8_t* d = &packed[static_cast<size_t>(y) * stride];
            for (uint32_t x = 0; x < width; ++x, s += 4, d += 3) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
            }
        }
        rows = packed.data();
    }

    ComScope com;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IStream> memory;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> options;
    if (!CreateFactory(&factory)) return false;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &memory))) return false;
    if (FAILED(factory->CreateEncoder(*ContainerOf(format), nullptr, &encoder)) ||
        FAILED(encoder->Initialize(memory.get(), WICBitmapEncoderNoCache)) ||
        FAILED(encoder->CreateNewFrame(&frame, &options)) || FAILED(frame->Initialize(options.get())) ||
        FAILED(frame->SetSize(width, height)))
        return false;

    WICPixelFormatGUID pixelFormat = alpha ? GUID_WICPixelFormat32bppBGRA : GUID_WICPixelFormat24bppBGR;
    WICPixelFormatGUID wanted = pixelFormat;
    if (FAILED(frame->SetPixelFormat(&pixelFormat)) || pixelFormat != wanted) return false;
    if (FAILED(frame->WritePixels(height, stride, stride * height, const_cast<BYTE*>(rows))) ||
        FAILED(frame->Commit()) || FAILED(encoder->Commit()))
        return false;

    STATSTG stat = {};
    HGLOBAL global = nullptr;
    if (FAILED(memory->Stat(&stat, STATFLAG_NONAME)) || FAILED(GetHGlobalFromStream(memory.get(), &global)))
        return false;
    size_t length = static_cast<size_t>(stat.cbSize.QuadPart);
    const void* bytes = GlobalLock(global);
    if (!bytes) return false;
    out.assign(static_cast<const uint8_t*>(bytes), static_cast<const uint8_t*>(bytes) + length);
    GlobalUnlock(global);
    return true;
}
