// The external frame grabber, "ffmpeg_vx.exe", as the plug-in runs it:
//   ffmpeg_vx.exe -i "IN" -f mjpeg -ss SECONDS -vframes 1 -an -y "OUT"
// It decodes the frame at SECONDS (the middle, for a shorter video) through a DirectShow graph
// (source, sample grabber taking RGB24, null renderer) and writes it to OUT as a JPEG through WIC.
// Exit codes: 0 a frame was written, 1 the input gave none (OUT left empty), 2 a command line of
// another shape. It always ends within five seconds.
#include <windows.h>

#include <dshow.h>
#include <qedit.h>
#include <shellapi.h>
#include <wincodec.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

#include "base/ComPtr.h"
#include "base/MediaType.h"
#include "ximage/ImageHeader.h"

// In the SDK's identifier library, though no header of this tool chain declares them.
EXTERN_C const CLSID CLSID_SampleGrabber;
EXTERN_C const CLSID CLSID_NullRenderer;

namespace {

constexpr DWORD kFrameWaitMs = 3000;  // for the first decoded sample
constexpr DWORD kLifetimeMs = 4000;   // the caller gives up after 5,000 ms; a broken file can hang the graph
constexpr REFERENCE_TIME kUnitsPerSecond = 10000000;

struct Frame {
    int width = 0, height = 0;  // bottom-up RGB24 rows
    std::vector<unsigned char> pixels;
};

// Keeps the first buffer the sample grabber passes on.
class FirstFrame : public ISampleGrabberCB {
public:
    FirstFrame() : arrived_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~FirstFrame() { CloseHandle(arrived_); }
    HANDLE Arrived() const { return arrived_; }
    std::vector<unsigned char> Take() { return std::move(bytes_); }
    // A buffer is kept up to this many bytes, what the connected format's picture takes.
    void Expect(size_t bytes) { expected_ = bytes; }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == __uuidof(ISampleGrabberCB)) {
            *out = static_cast<ISampleGrabberCB*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }  // outlives the graph that calls it
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP SampleCB(double, IMediaSample*) override { return S_OK; }
    STDMETHODIMP BufferCB(double, BYTE* buffer, LONG size) override {
        if (WaitForSingleObject(arrived_, 0) == WAIT_OBJECT_0 || !buffer || size <= 0) return S_OK;
        try {  // called by the graph's thread: no exception goes back into it
            bytes_.assign(buffer, buffer + std::min(static_cast<size_t>(size), expected_));
        } catch (...) {
            return E_OUTOFMEMORY;
        }
        SetEvent(arrived_);
        return S_OK;
    }

private:
    HANDLE arrived_;
    size_t expected_ = 0;
    std::vector<unsigned char> bytes_;
};

bool FirstPin(IBaseFilter* filter, PIN_DIRECTION direction, IPin** out) {
    ComPtr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(&pins))) return false;
    IPin* pin = nullptr;
    while (pins->Next(1, &pin, nullptr) == S_OK) {
        PIN_DIRECTION d;
        if (SUCCEEDED(pin->QueryDirection(&d)) && d == direction) {
            *out = pin;
            return true;
        }
        pin->Release();
    }
    return false;
}

bool AddFilter(IGraphBuilder* graph, REFCLSID clsid, const wchar_t* name, IBaseFilter** filter) {
    return SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                      reinterpret_cast<void**>(filter))) &&
           SUCCEEDED(graph->AddFilter(*filter, name));
}

// Waits for the first sample, or until the graph reports that the stream ended or broke.
bool WaitForFrame(IGraphBuilder* graph, HANDLE arrived) {
    ComPtr<IMediaEvent> events;
    HANDLE ended = nullptr;
    if (SUCCEEDED(graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(&events))))
        events->GetEventHandle(reinterpret_cast<OAEVENT*>(&ended));
    DWORD deadline = GetTickCount() + kFrameWaitMs;
    for (;;) {
        DWORD now = GetTickCount();
        if (static_cast<LONG>(deadline - now) <= 0) return false;
        HANDLE waits[] = {arrived, ended};
        DWORD which = WaitForMultipleObjects(ended ? 2 : 1, waits, FALSE, deadline - now);
        if (which == WAIT_OBJECT_0) return true;
        if (which != WAIT_OBJECT_0 + 1) return false;
        long code;
        LONG_PTR first, second;
        while (events->GetEvent(&code, &first, &second, 0) == S_OK) {
            events->FreeEventParams(code, first, second);
            if (code == EC_COMPLETE || code == EC_ERRORABORT || code == EC_USERABORT)
                return WaitForSingleObject(arrived, 0) == WAIT_OBJECT_0;
        }
    }
}

bool DecodeFrame(const wchar_t* input, double seconds, Frame* frame) {
    FirstFrame sink;  // declared first: the graph, released before it, may call it until then
    ComPtr<IGraphBuilder> graph;
    ComPtr<IBaseFilter> source, grabberFilter, renderer;
    ComPtr<ISampleGrabber> grabber;
    ComPtr<IPin> sourceOut, grabberIn, grabberOut, rendererIn;
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                reinterpret_cast<void**>(&graph))) ||
        FAILED(graph->AddSourceFilter(input, L"Source", &source)) ||
        !AddFilter(graph.get(), CLSID_SampleGrabber, L"Grabber", &grabberFilter) ||
        !AddFilter(graph.get(), CLSID_NullRenderer, L"Renderer", &renderer) ||
        FAILED(grabberFilter->QueryInterface(IID_ISampleGrabber, reinterpret_cast<void**>(&grabber))))
        return false;

    AM_MEDIA_TYPE wanted = {};
    wanted.majortype = MEDIATYPE_Video;
    wanted.subtype = MEDIASUBTYPE_RGB24;
    wanted.formattype = FORMAT_VideoInfo;
    if (FAILED(grabber->SetMediaType(&wanted)) || FAILED(grabber->SetCallback(&sink, 1)) ||
        !FirstPin(source.get(), PINDIR_OUTPUT, &sourceOut) ||
        !FirstPin(grabberFilter.get(), PINDIR_INPUT, &grabberIn) ||
        !FirstPin(grabberFilter.get(), PINDIR_OUTPUT, &grabberOut) ||
        !FirstPin(renderer.get(), PINDIR_INPUT, &rendererIn) ||
        FAILED(graph->Connect(sourceOut.get(), grabberIn.get())) ||
        FAILED(graph->Connect(grabberOut.get(), rendererIn.get())))
        return false;

    MediaType connected;
    if (FAILED(grabber->GetConnectedMediaType(&connected))) return false;
    const VIDEOINFOHEADER* video = connected.Format<VIDEOINFOHEADER>();
    if (connected->formattype == FORMAT_VideoInfo && video) {
        frame->width = video->bmiHeader.biWidth;
        frame->height = video->bmiHeader.biHeight;
    }
    if (frame->width <= 0 || frame->height <= 0 || frame->width > static_cast<int>(kMaxPictureSide) ||
        frame->height > static_cast<int>(kMaxPictureSide))
        return false;
    size_t stride = (static_cast<size_t>(frame->width) * 3 + 3) & ~size_t{3};
    sink.Expect(stride * static_cast<size_t>(frame->height));

    // As fast as the decoder goes, from the asked second (the middle, past the end).
    ComPtr<IMediaFilter> clock;
    if (SUCCEEDED(graph->QueryInterface(IID_IMediaFilter, reinterpret_cast<void**>(&clock))))
        clock->SetSyncSource(nullptr);
    ComPtr<IMediaSeeking> seeking;
    if (SUCCEEDED(graph->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&seeking)))) {
        REFERENCE_TIME duration = 0, at = static_cast<REFERENCE_TIME>(seconds * kUnitsPerSecond);
        if (SUCCEEDED(seeking->GetDuration(&duration)) && duration > 0 && at >= duration) at = duration / 2;
        seeking->SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
    }
    ComPtr<IMediaControl> control;
    if (FAILED(graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control))) ||
        FAILED(control->Run()))
        return false;
    bool arrived = WaitForFrame(graph.get(), sink.Arrived());
    control->Stop();
    if (!arrived) return false;

    frame->pixels = sink.Take();
    return frame->pixels.size() >= stride * static_cast<size_t>(frame->height);
}

bool WriteJpeg(const wchar_t* output, const Frame& frame) {
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> target;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(&factory))) ||
        FAILED(factory->CreateStream(&stream)) || FAILED(stream->InitializeFromFilename(output, GENERIC_WRITE)) ||
        FAILED(factory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, &encoder)) ||
        FAILED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) ||
        FAILED(encoder->CreateNewFrame(&target, nullptr)) || FAILED(target->Initialize(nullptr)) ||
        FAILED(target->SetSize(frame.width, frame.height)))
        return false;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (FAILED(target->SetPixelFormat(&format)) || format != GUID_WICPixelFormat24bppBGR) return false;
    // The grabber's rows run bottom-up; the encoder's top-down.
    UINT stride = (frame.width * 3 + 3) & ~3u;
    for (int y = 0; y < frame.height; ++y) {
        const BYTE* row = frame.pixels.data() + static_cast<size_t>(frame.height - 1 - y) * stride;
        if (FAILED(target->WritePixels(1, stride, stride, const_cast<BYTE*>(row)))) return false;
    }
    return SUCCEEDED(target->Commit()) && SUCCEEDED(encoder->Commit());
}

// The arguments of the one command line the plug-in gives; false for any other.
bool ParseCommandLine(std::wstring* input, double* seconds, std::wstring* output) {
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args) return false;
    static const wchar_t* const kShape[] = {nullptr, L"-i", nullptr, L"-f", L"mjpeg", L"-ss", nullptr,
                                            L"-vframes", L"1", L"-an", L"-y", nullptr};
    bool ok = count == 12;
    for (int i = 1; ok && i < count; ++i)
        if (kShape[i] && wcscmp(args[i], kShape[i]) != 0) ok = false;
    wchar_t* end = nullptr;
    if (ok) {
        *input = args[2];
        *seconds = wcstod(args[6], &end);
        *output = args[11];
        ok = end != args[6] && *end == 0 && *seconds >= 0 && !input->empty() && !output->empty();
    }
    LocalFree(args);
    return ok;
}

// Ends the process without unloading its modules: the graph's threads need not be waited for,
// and Wine's GStreamer glue crashes when it is unloaded while one of them hangs.
[[noreturn]] void End(UINT code) {
    TerminateProcess(GetCurrentProcess(), code);
    ExitProcess(code);
}

DWORD WINAPI Watchdog(void*) {
    Sleep(kLifetimeMs);
    End(1);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::wstring input, output;
    double seconds = 0;
    if (!ParseCommandLine(&input, &seconds, &output)) return 2;
    // A decoder that hangs on a broken file must not keep the caller's promise of five seconds.
    CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return 1;
    Frame frame;
    bool written = DecodeFrame(input.c_str(), seconds, &frame) && WriteJpeg(output.c_str(), frame);
    if (!written) {
        // Whatever a failed encoder left behind goes: the caller must not read half a picture.
        HANDLE file = CreateFileW(output.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    End(written ? 0 : 1);
}
