#include "thumbs/MediaProbe.h"

// The C++ strings come before <dshow.h>, whose strsafe.h renames the wide printf functions they use.
#include <cstring>
#include <string>

#include <dshow.h>
#include <dvdmedia.h>
#include <qedit.h>
#include <wmsdkidl.h>

#include "base/ComPtr.h"
#include "base/MediaType.h"
#include "base/FileHandle.h"
#include "base/Paths.h"
#include "base/ProcAddress.h"
#include "base/Text.h"
#include "thumbs/MediaFormat.h"

namespace {

constexpr REGSAM kReadWrite = 0x2001F;  // KEY_READ | KEY_WRITE

// The wide path, as the media detector and the reader filters take it.
class WidePath {
public:
    explicit WidePath(const char* path) { ok_ = AnsiToWide(path, text_, MAX_PATH) > 0; }
    bool ok() const { return ok_; }
    const wchar_t* get() const { return text_; }

private:
    wchar_t text_[MAX_PATH] = {};
    bool ok_;
};

static_assert(sizeof(VIDEOINFOHEADER) == kVideoInfoSize && sizeof(VIDEOINFOHEADER2) == kVideoInfo2Size &&
                  sizeof(WAVEFORMATEX) == kWaveFormatSize && sizeof(BITMAPINFOHEADER) == kDibHeaderSize,
              "the layouts the format blocks are read by");

void ReadStreamFormat(const MediaType& type, MediaInfo* info) {
    const auto* block = static_cast<const uint8_t*>(type->pbFormat);
    if (type->majortype == MEDIATYPE_Video) {
        VideoFormat video;
        bool first = type->formattype == FORMAT_MPEGVideo || type->formattype == FORMAT_VideoInfo;
        bool second = type->formattype == FORMAT_MPEG2Video || type->formattype == FORMAT_VideoInfo2;
        if ((first || second) &&
            ReadVideoFormat(first ? VideoLayout::VideoInfo : VideoLayout::VideoInfo2, block, type->cbFormat, &video)) {
            info->width = video.width;
            info->height = video.height;
            if (video.bitCount) info->bitCount = video.bitCount;
        }
    } else if (type->majortype == MEDIATYPE_Audio) {
        info->audioStreams += 1;
        if (type->formattype == FORMAT_WaveFormatEx)
            ReadAudioFormat(block, type->cbFormat, &info->channels, &info->sampleRate);
    }
}

// The class identifier the configuration gives for a reader filter.
bool ConfiguredReader(ReaderFilter filter, CLSID* clsid) {
    char text[64] = {};
    DWORD size = sizeof(text) - 1, type = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kReaderFiltersKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    LONG result = RegQueryValueExA(key, ReaderFilterName(filter), nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ) return false;
    wchar_t wide[64];
    return AnsiToWide(text, wide, 64) > 0 && SUCCEEDED(CLSIDFromString(wide, clsid));
}

// Opens the file through the reader filter and gives the filter to the detector.
bool UseReaderFilter(IMediaDet* detector, ReaderFilter filter, const wchar_t* path) {
    CLSID clsid;
    if (!ConfiguredReader(filter, &clsid)) return false;
    ComPtr<IBaseFilter> reader;
    ComPtr<IFileSourceFilter> source;
    return SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                      reinterpret_cast<void**>(&reader))) &&
           SUCCEEDED(reader->QueryInterface(IID_IFileSourceFilter, reinterpret_cast<void**>(&source))) &&
           SUCCEEDED(source->Load(path, nullptr)) && SUCCEEDED(detector->put_Filter(reader.get()));
}

bool OpenByName(IMediaDet* detector, const wchar_t* path) {
    BSTR name = SysAllocString(path);
    if (!name) return false;
    HRESULT hr = detector->put_Filename(name);
    SysFreeString(name);
    return SUCCEEDED(hr);
}

LONG g_cannotGrab = 0;

using WMCreateEditorFn = HRESULT(WINAPI*)(IWMMetadataEditor**);

// Loaded on first use, and kept.
WMCreateEditorFn EditorFactory() {
    static WMCreateEditorFn create = GetProc<WMCreateEditorFn>(LoadLibraryA("wmvcore.dll"), "WMCreateEditor");
    return create;
}

}  // namespace

Container SniffContainer(const char* path, uint64_t* riffSize, uint64_t* fileSize) {
    *riffSize = 0;
    *fileSize = 0;
    FileHandle file;
    // Shared for deletion too, so that the Navigator's delete of this file succeeds while it is read.
    if (!file.Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING,
                   FILE_ATTRIBUTE_NORMAL))
        return Container::Unknown;
    *fileSize = static_cast<uint64_t>(file.GetSize64());
    unsigned char head[kSniffBytes];
    DWORD read = 0;
    if (!file.Read(head, sizeof(head), &read)) return Container::Unknown;
    return SniffContainerBytes(head, read, riffSize);
}

bool ProbeMedia(const char* path, MediaInfo* info, IMediaDet** detectorOut) {
    memset(info, 0, sizeof(*info));
    if (detectorOut) *detectorOut = nullptr;
    WidePath wide(path);
    ComPtr<IMediaDet> detector;
    if (!wide.ok() || FAILED(CoCreateInstance(CLSID_MediaDet, nullptr, CLSCTX_INPROC_SERVER, IID_IMediaDet,
                                              reinterpret_cast<void**>(&detector))))
        return false;

    uint64_t riffSize, fileSize;
    Container container = SniffContainer(path, &riffSize, &fileSize);
    ReaderFilter reader = ChooseReaderFilter(container, riffSize, fileSize, path);
    // A reader that is missing, cannot load the file or is refused leaves the detector its own graph.
    bool opened = reader != ReaderFilter::None && UseReaderFilter(detector.get(), reader, wide.get());
    if (!opened && !OpenByName(detector.get(), wide.get())) return false;

    LONG streams = 0;
    if (FAILED(detector->get_OutputStreams(&streams))) return false;
    HRESULT rateResult = detector->get_FrameRate(&info->frameRate);
    if (streams == 0 && FAILED(rateResult)) return false;

    LONG video = -1;
    for (LONG i = 0; i < streams; ++i) {
        detector->put_CurrentStream(i);
        MediaType type;
        if (FAILED(detector->get_StreamMediaType(&type)) || FAILED(detector->get_StreamLength(&info->duration)))
            return false;
        if (type->majortype == MEDIATYPE_Video) video = i;
        ReadStreamFormat(type, info);
    }
    if (detectorOut) {
        detector->put_CurrentStream(video);
        *detectorOut = detector.Detach();
    }
    return true;
}

bool IsSeekable(const char* path) {
    if (!HasExtension(path, ".asf") && !HasExtension(path, ".wmv")) return true;
    WMCreateEditorFn create = EditorFactory();
    WidePath wide(path);
    ComPtr<IWMMetadataEditor> editor;
    ComPtr<IWMHeaderInfo> header;
    if (!create || !wide.ok() || FAILED(create(&editor)) || !editor || FAILED(editor->Open(wide.get())) ||
        FAILED(editor->QueryInterface(__uuidof(IWMHeaderInfo), reinterpret_cast<void**>(&header))))
        return true;
    WORD stream = 0, length = sizeof(BOOL);
    WMT_ATTR_DATATYPE type;
    BOOL seekable = FALSE;
    if (FAILED(header->GetAttributeByName(&stream, L"Seekable", &type, reinterpret_cast<BYTE*>(&seekable), &length)))
        return false;
    return seekable != FALSE;
}

PackedDib GrabFrameBits(const char* path, double time) {
    PackedDib dib;
    MediaInfo info;
    ComPtr<IMediaDet> detector;
    if (!ProbeMedia(path, &info, &detector)) return dib;
    if (time < 0 || time > info.duration) time = info.duration * 0.5;
    if (!IsSeekable(path)) time = 0;
    // No more than a frame of that size can need, and no frame larger than a picture may be.
    size_t most = MaxFrameBytes(info.width, info.height);
    if (!most) return dib;
    LONG size = info.width * info.height * 4;
    HRESULT hr = detector->GetBitmapBits(0, &size, nullptr, info.width, info.height);
    if (hr == E_NOTIMPL) InterlockedExchange(&g_cannotGrab, 1);
    if (FAILED(hr) || size < static_cast<LONG>(kDibHeaderSize) || static_cast<size_t>(size) > most) return dib;
    dib.bytes.reset(static_cast<unsigned char*>(malloc(static_cast<size_t>(size))));
    if (!dib.bytes) return dib;
    if (FAILED(detector->GetBitmapBits(time, &size, reinterpret_cast<char*>(dib.bytes.get()), info.width,
                                       info.height))) {
        dib.bytes.reset();
        return dib;
    }
    dib.size = static_cast<size_t>(size);
    return dib;
}

bool MediaDetectorCannotGrab() { return InterlockedCompareExchange(&g_cannotGrab, 0, 0) != 0; }

HBITMAP DibToBitmap(const unsigned char* dib, size_t size) {
    BITMAPINFO bitmapInfo = {};
    DibShape shape;
    if (!CheckPackedDib(dib, size, &shape)) return nullptr;
    memcpy(&bitmapInfo.bmiHeader, dib, sizeof(bitmapInfo.bmiHeader));
    const BITMAPINFOHEADER& header = bitmapInfo.bmiHeader;

    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(screen, &header, CBM_INIT, dib + sizeof(header), &bitmapInfo, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

void SetConvertingFlag(bool on) {
    for (const char* name : kConvertingKeys) {
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, name, 0, nullptr, 0, kReadWrite, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            continue;
        DWORD one = 1;
        if (on)
            RegSetValueExA(key, kConvertingValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof(one));
        else
            RegDeleteValueA(key, kConvertingValue);
        RegCloseKey(key);
    }
}

HBITMAP GrabFrameDirectShow(const char* path, double time) {
    SetConvertingFlag(true);
    HBITMAP bitmap = nullptr;
    PackedDib dib = GrabFrameBits(path, time);
    if (dib.bytes) bitmap = DibToBitmap(dib.bytes.get(), dib.size);
    SetConvertingFlag(false);
    return bitmap;
}
