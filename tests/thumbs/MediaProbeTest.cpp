// Opening videos through the media detector: the container decides the reader filter, the probe
// reads the streams, and the grab takes the middle of a seekable file and 0 of one that cannot
// seek. The media detector and the reader filter are fakes registered with COM in this process; the
// seek check goes to the fake "wmvcore.dll" beside this program.
#include <windows.h>

#include <dshow.h>
#include <qedit.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/TempFolder.h"
#include "thumbs/MediaProbe.h"
#include "thumbs/ThumbnailExtraction.h"
#include "ximage/CxImage.h"

namespace {

const CLSID kFakeReader = {0x5e1f0c4a, 0x2b7d, 0x4c1e, {0x9a, 0x31, 0x6d, 0x0b, 0x44, 0x7e, 0x12, 0x90}};
constexpr COLORREF kFrameColour = RGB(20, 140, 220);

struct Stream {
    GUID major, format;
    std::string block;  // the format block
    double length;
};

// What the fake detector reports, and what it was asked.
struct Detector {
    std::vector<Stream> streams;
    bool grabFails = false;
    std::wstring filename;
    bool filterGiven = false;
    LONG current = -2;
    double grabTime = -99;
    int convertingWhileGrabbing = 0;  // keys holding "Converting" = 1 during the grab
    HANDLE hang = nullptr;            // set: the grab waits for it
} g_det;

struct Reader {
    HRESULT load = S_OK;
    std::wstring loaded;
} g_reader;

int ConvertingKeys() {
    int count = 0;
    for (const char* key : kConvertingKeys) {
        DWORD value = 0, size = sizeof(value);
        if (RegGetValueA(HKEY_CURRENT_USER, key, kConvertingValue, RRF_RT_REG_DWORD, nullptr, &value, &size) ==
                ERROR_SUCCESS && value == 1)
            ++count;
    }
    return count;
}

template <typename T>
std::string Block(const T& value) { return std::string(reinterpret_cast<const char*>(&value), sizeof(value)); }

std::string VideoFormat(int width, int height) {
    VIDEOINFOHEADER v = {};
    v.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    return Block(v);
}

class FakeDetector final : public IMediaDet {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        *out = iid == IID_IUnknown || iid == IID_IMediaDet ? this : nullptr;
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG left = --refs_;
        if (!left) delete this;
        return left;
    }
    STDMETHODIMP put_Filter(IUnknown* filter) override { return g_det.filterGiven = filter != nullptr, S_OK; }
    STDMETHODIMP put_Filename(BSTR name) override { return g_det.filename = name, S_OK; }
    STDMETHODIMP get_OutputStreams(LONG* count) override { return *count = LONG(g_det.streams.size()), S_OK; }
    STDMETHODIMP put_CurrentStream(LONG i) override { return g_det.current = i, S_OK; }
    STDMETHODIMP get_StreamLength(double* length) override { return *length = Current().length, S_OK; }
    STDMETHODIMP get_FrameRate(double* rate) override { return *rate = 25, S_OK; }
    STDMETHODIMP get_StreamMediaType(AM_MEDIA_TYPE* type) override {
        const Stream& s = Current();
        *type = {};
        type->majortype = s.major;
        type->formattype = s.format;
        type->cbFormat = ULONG(s.block.size());
        type->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(s.block.size()));
        memcpy(type->pbFormat, s.block.data(), s.block.size());
        return S_OK;
    }
    STDMETHODIMP GetBitmapBits(double time, LONG* size, char* buffer, LONG width, LONG height) override {
        LONG stride = (width * 3 + 3) & ~3, need = LONG(sizeof(BITMAPINFOHEADER)) + stride * height;
        if (!buffer) return *size = need, S_OK;
        if (g_det.hang) WaitForSingleObject(g_det.hang, 20000);  // long past the caller's patience
        g_det.grabTime = time;
        g_det.convertingWhileGrabbing = ConvertingKeys();
        if (g_det.grabFails || *size < need) return E_FAIL;
        BITMAPINFOHEADER header = {sizeof(header), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        memcpy(buffer, &header, sizeof(header));
        for (LONG i = 0; i < width * height; ++i)  // BGR triples; the stride pads no row here
            memcpy(buffer + sizeof(header) + i * 3, "\xDC\x8C\x14", 3);
        return S_OK;
    }
    STDMETHODIMP get_Filter(IUnknown**) override { return E_NOTIMPL; }
    STDMETHODIMP get_CurrentStream(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP get_StreamType(GUID*) override { return E_NOTIMPL; }
    STDMETHODIMP get_StreamTypeB(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP get_Filename(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP WriteBitmapBits(double, LONG, LONG, BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP GetSampleGrabber(ISampleGrabber**) override { return E_NOTIMPL; }
    STDMETHODIMP EnterBitmapGrabMode(double) override { return E_NOTIMPL; }

private:
    const Stream& Current() const { return g_det.streams.at(size_t(g_det.current)); }
    ULONG refs_ = 1;
};

// The reader filter: the probe asks for IBaseFilter but calls only IUnknown's slots of it.
class FakeReader final : public IFileSourceFilter {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        bool known = iid == IID_IUnknown || iid == IID_IBaseFilter || iid == IID_IFileSourceFilter;
        *out = known ? this : nullptr;
        if (!known) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG left = --refs_;
        if (!left) delete this;
        return left;
    }
    STDMETHODIMP Load(LPCOLESTR path, const AM_MEDIA_TYPE*) override { return g_reader.loaded = path, g_reader.load; }
    STDMETHODIMP GetCurFile(LPOLESTR*, AM_MEDIA_TYPE*) override { return E_NOTIMPL; }

private:
    ULONG refs_ = 1;
};

template <typename T>
class Factory : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        *out = iid == IID_IUnknown || iid == IID_IClassFactory ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown*, REFIID iid, void** out) override {
        T* object = new T;
        HRESULT hr = object->QueryInterface(iid, out);
        object->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

class MediaProbe : public ::testing::Test {
protected:
    void SetUp() override {
        // In the multithreaded apartment, where the grab's own thread finds them too.
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        CoRegisterClassObject(CLSID_MediaDet, &detectors_, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookies_[0]);
        CoRegisterClassObject(kFakeReader, &readers_, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookies_[1]);
        g_det = {};
        g_det.streams = {{MEDIATYPE_Audio, FORMAT_WaveFormatEx, Block(WAVEFORMATEX{1, 2, 44100, 176400, 4, 16, 0}), 599},
                         {MEDIATYPE_Video, FORMAT_VideoInfo, VideoFormat(64, 36), 600}};
        g_reader = {};
    }
    void TearDown() override {
        for (DWORD cookie : cookies_) CoRevokeClassObject(cookie);
        RegDeleteKeyA(HKEY_CURRENT_USER, kReaderFiltersKey);
        CoUninitialize();
    }
    void ConfigureReader(const char* name, const char* clsid) {
        HKEY key;
        RegCreateKeyExA(HKEY_CURRENT_USER, kReaderFiltersKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(clsid), DWORD(strlen(clsid) + 1));
        RegCloseKey(key);
    }
    std::wstring Wide(const std::string& path) { return std::wstring(path.begin(), path.end()); }

    TempFolder folder;

private:
    Factory<FakeDetector> detectors_;
    Factory<FakeReader> readers_;
    DWORD cookies_[2] = {};
};

std::string Riff(const char* form, uint32_t claimed, size_t size) {
    std::string bytes = "RIFF" + Block(claimed) + form;
    bytes.resize(size, '\0');
    return bytes;
}

std::string Starting(const std::string& head, size_t size) {
    std::string bytes = head;
    bytes.resize(size, '\x55');
    return bytes;
}

TEST_F(MediaProbe, TheContainerChoosesTheReaderFilter) {
    struct Case {
        const char *name, *want;
        std::string bytes;
    } cases[] = {
        {"whole.avi", "", Riff("AVI ", 2040, 2048)},
        {"cut.avi", "Quillar AVI Reader", Riff("AVI ", 4088, 2048)},  // shorter than its chunk says
        {"song.wav", "", Riff("WAVE", 100, 2048)},
        {"film.mkv", "Quillar MKV Reader", Starting("\x1A\x45\xDF\xA3", 2048)},
        {"short.mkv", "", Starting("\x1A\x45\xDF\xA3", 1000)},  // under 1,024 bytes: by content, nothing
        {"clip.ts", "Quillar MPG Reader", Starting("\x1A\x45\xDF\xA3", 2048)},  // the extension wins
        {"CLIP.TP", "Quillar MPG Reader", Starting("", 1000)},
        {"clip.ts.avi", "", Starting("", 2048)},
        {"film.mp4", "Quillar MP4 Reader", Starting(std::string("\0\0\0\x20" "ftyp", 8), 2048)},
        {"moov.mp4", "Quillar MP4 Reader", Starting(std::string("\0\0\0\x20" "moov", 8), 2048)},
        {"mdat.mov", "Quillar MP4 Reader", Starting(std::string("\0\0\0\x20" "mdat", 8), 2048)},
        {"free.mp4", "", Starting(std::string("\0\0\0\x08" "free", 8), 2048)},  // opened by name
        {"film.ogm", "Quillar OGM Reader", Starting("OggS", 2048)},
        {"film.flv", "Quillar FLV Reader", Starting("FLV\x01", 2048)},
        {"film.wmv", "", Starting("\x30\x26\xB2\x75", 2048)},
    };
    for (const Case& c : cases) {
        std::string path = folder.Write(c.name, c.bytes);
        uint64_t riffSize = 99, fileSize = 99;
        Container container = SniffContainer(path.c_str(), &riffSize, &fileSize);
        EXPECT_STREQ(c.want, ReaderFilterName(ChooseReaderFilter(container, riffSize, fileSize, c.name))) << c.name;
        EXPECT_EQ(c.bytes.size(), fileSize) << c.name;
    }
    uint64_t riffSize = 99, fileSize = 99;
    EXPECT_EQ(Container::Unknown, SniffContainer((folder / "gone.avi").c_str(), &riffSize, &fileSize));
    EXPECT_EQ(0u, riffSize + fileSize);
}

TEST_F(MediaProbe, AConfiguredReaderOpensTheFileAndAnyFailureFallsBackToTheName) {
    std::string cut = folder.Write("cut.avi", Riff("AVI ", 4088, 2048));
    std::string whole = folder.Write("whole.avi", Riff("AVI ", 2040, 2048));
    struct Case {
        const char* what;
        const char* clsid;
        HRESULT load;
        const std::string& path;
        bool byReader;
    } cases[] = {
        {"truncated AVI", "{5E1F0C4A-2B7D-4C1E-9A31-6D0B447E1290}", S_OK, cut, true},
        {"whole AVI", "{5E1F0C4A-2B7D-4C1E-9A31-6D0B447E1290}", S_OK, whole, false},
        {"reader cannot load it", "{5E1F0C4A-2B7D-4C1E-9A31-6D0B447E1290}", E_FAIL, cut, false},
        {"reader not registered", "{00000000-1111-2222-3333-444444444444}", S_OK, cut, false},
        {"not an identifier", "AVI Reader", S_OK, cut, false},
    };
    for (const Case& c : cases) {
        ConfigureReader("Quillar AVI Reader", c.clsid);
        g_det.filename.clear();
        g_det.filterGiven = false;
        g_reader = {c.load, L""};
        MediaInfo info;
        ASSERT_TRUE(ProbeMedia(c.path.c_str(), &info, nullptr)) << c.what;
        EXPECT_EQ(c.byReader, g_det.filterGiven) << c.what;
        EXPECT_EQ(c.byReader ? L"" : Wide(c.path), g_det.filename) << c.what;
        if (c.byReader) {
            EXPECT_EQ(Wide(c.path), g_reader.loaded) << c.what;
        }
    }
}

TEST_F(MediaProbe, StreamsAreMeasuredAndTheDetectorIsHandedOverOnTheVideo) {
    std::string path = folder.Write("film.avi", "");
    MediaInfo info;
    IMediaDet* detector = nullptr;
    ASSERT_TRUE(ProbeMedia(path.c_str(), &info, &detector));
    ASSERT_NE(nullptr, detector);
    detector->Release();
    EXPECT_EQ(1, g_det.current);
    EXPECT_EQ(600.0, info.duration);  // the last stream's
    EXPECT_EQ(64, info.width);
    EXPECT_EQ(36, info.height);
    EXPECT_EQ(24, info.bitCount);
    EXPECT_EQ(25.0, info.frameRate);
    EXPECT_EQ(1, info.audioStreams);
    EXPECT_EQ(2, info.channels);
    EXPECT_EQ(44100, info.sampleRate);

    g_det.streams.resize(1);  // sound only: probed, but no frame
    ASSERT_TRUE(ProbeMedia(path.c_str(), &info, &detector));
    detector->Release();
    EXPECT_EQ(-1, g_det.current);
    EXPECT_EQ(0, info.width);
    EXPECT_EQ(nullptr, GrabFrameDirectShow(path.c_str(), kDefaultGrabTime));
}

TEST_F(MediaProbe, TheGrabTakesTheMiddleOrTheStartOfAFileThatCannotSeek) {
    struct Case {
        const char *name, *content;
        double asked, want;
        bool grabFails;
    } cases[] = {
        {"long.avi", "", kDefaultGrabTime, 300, false},
        {"long.avi", "", 42, 42, false},
        {"long.avi", "", 601, 300, false},  // past the end
        {"long.wmv", "seek", kDefaultGrabTime, 300, false},
        {"fixed.wmv", "noseek", kDefaultGrabTime, 0, false},
        {"FIXED.ASF", "noseek", 42, 0, false},
        {"unsure.wmv", "noattr", kDefaultGrabTime, 0, false},  // the header cannot say: no seek
        {"broken.avi", "", kDefaultGrabTime, 300, true},
    };
    for (const Case& c : cases) {
        g_det.grabFails = c.grabFails;
        g_det.grabTime = -99;
        std::string path = folder.Write(c.name, c.content);
        HBITMAP bitmap = GrabFrameDirectShow(path.c_str(), c.asked);
        EXPECT_EQ(c.want, g_det.grabTime) << c.name << " at " << c.asked;
        EXPECT_EQ(2, g_det.convertingWhileGrabbing) << c.name;
        EXPECT_EQ(0, ConvertingKeys()) << c.name << ": the decoders still see a grab";
        EXPECT_EQ(!c.grabFails, bitmap != nullptr) << c.name;
        if (!bitmap) continue;
        BITMAP info;
        GetObjectA(bitmap, sizeof(info), &info);
        EXPECT_EQ(64, info.bmWidth);
        EXPECT_EQ(36, info.bmHeight);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        EXPECT_EQ(kFrameColour, GetPixel(dc, 10, 10)) << c.name;
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
}

TEST_F(MediaProbe, AGrabThatHangsIsGivenUpAndTheDetectorIsLeftAloneUntilItReturns) {
    // The fake frame grabber beside this program makes a 64 x 48 frame for these files.
    auto grab = [&](const char* name) {
        CxImage image;
        bool made = GrabFrame(folder.Write(name, "frame 64 48 ff0000").c_str(), kDefaultGrabTime, image);
        return made && image.GetWidth() == 64;
    };
    g_det.hang = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    EXPECT_TRUE(grab("stuck.avi")) << "the grabber did not take over from the hanging detector";
    EXPECT_EQ(Wide(folder / "stuck.avi"), g_det.filename);
    EXPECT_TRUE(grab("next.avi"));
    EXPECT_EQ(Wide(folder / "stuck.avi"), g_det.filename) << "the hanging detector was given another file";

    SetEvent(g_det.hang);
    bool back = false;
    for (int i = 0; i < 20 && !back; ++i) back = grab("later.avi") && g_det.filename == Wide(folder / "later.avi");
    EXPECT_TRUE(back) << "the detector was not used again once it returned";
    CloseHandle(g_det.hang);
}

TEST_F(MediaProbe, AFrameBlockThatDoesNotHoldItsPixelsMakesNoBitmap) {
    BITMAPINFOHEADER header = {sizeof(header), 64, 36, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::string whole = Block(header) + std::string(64 * 3 * 36, '\x40');
    auto bitmap = [](const std::string& b) { return DibToBitmap(reinterpret_cast<const unsigned char*>(b.data()), b.size()); };
    HBITMAP good = bitmap(whole);
    EXPECT_NE(nullptr, good);
    DeleteObject(good);
    EXPECT_EQ(nullptr, bitmap(whole.substr(0, whole.size() - 1)));
    EXPECT_EQ(nullptr, bitmap(whole.substr(0, 20)));
    header.biHeight = -0x7FFFFFFF;
    EXPECT_EQ(nullptr, bitmap(Block(header) + std::string(64 * 3, '\x40')));
}

}  // namespace
