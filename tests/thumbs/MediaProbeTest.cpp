// Opening videos through the media detector: the container decides the reader filter, and the
// grab takes the middle of a seekable file, the start of one that cannot seek, and gives up on a
// detector that hangs. The detector and the reader filter are fakes registered with COM in this
// process; the seek check goes to the fake "wmvcore.dll" beside this program.
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
constexpr char kFakeReaderText[] = "{5E1F0C4A-2B7D-4C1E-9A31-6D0B447E1290}";
constexpr char kReadersKey[] = "Software\\Halvorn\\Quillar\\Reader Filters";

// What the fake detector and reader were asked, and how they answer.
struct Fakes {
    std::wstring filename, loaded;
    bool filterGiven = false, grabFails = false;
    HRESULT load = S_OK;
    double grabTime = -99;
    int convertingWhileGrabbing = 0;
    HANDLE hang = nullptr;  // set: the grab waits for it
} g;

// How many of the player's two decoder keys hold "Converting" = 1.
int ConvertingKeys() {
    int count = 0;
    for (const char* key : {"Software\\Halvorn\\Kes-MPGd", "Software\\Halvorn\\Kes-MPVd"}) {
        DWORD value = 0, size = sizeof(value);
        count += RegGetValueA(HKEY_CURRENT_USER, key, "Converting", RRF_RT_REG_DWORD, nullptr, &value, &size) ==
                     ERROR_SUCCESS && value == 1;
    }
    return count;
}

template <typename T>
class Unknown : public T {
public:
    virtual ~Unknown() = default;
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        *out = iid == IID_IUnknown || Offers(iid) ? this : nullptr;
        if (*out) this->AddRef();
        return *out ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG left = --refs_;
        if (!left) delete this;
        return left;
    }

protected:
    virtual bool Offers(REFIID iid) const = 0;

private:
    ULONG refs_ = 1;
};

// A ten-minute file: a sound stream, then a 64 x 36 video stream.
class FakeDetector final : public Unknown<IMediaDet> {
    bool Offers(REFIID iid) const override { return iid == IID_IMediaDet; }
    STDMETHODIMP put_Filter(IUnknown* filter) override { return g.filterGiven = filter != nullptr, S_OK; }
    STDMETHODIMP put_Filename(BSTR name) override { return g.filename = name, S_OK; }
    STDMETHODIMP get_OutputStreams(LONG* count) override { return *count = 2, S_OK; }
    STDMETHODIMP put_CurrentStream(LONG i) override { return current_ = i, S_OK; }
    STDMETHODIMP get_StreamLength(double* length) override { return *length = current_ ? 600 : 599, S_OK; }
    STDMETHODIMP get_FrameRate(double* rate) override { return *rate = 25, S_OK; }
    STDMETHODIMP get_StreamMediaType(AM_MEDIA_TYPE* type) override {
        *type = {};
        type->majortype = current_ ? MEDIATYPE_Video : MEDIATYPE_Audio;
        type->formattype = current_ ? FORMAT_VideoInfo : FORMAT_WaveFormatEx;
        type->cbFormat = current_ ? sizeof(VIDEOINFOHEADER) : sizeof(WAVEFORMATEX);
        type->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(type->cbFormat));
        memset(type->pbFormat, 0, type->cbFormat);
        if (current_)
            reinterpret_cast<VIDEOINFOHEADER*>(type->pbFormat)->bmiHeader = {40, 64, 36, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        return S_OK;
    }
    STDMETHODIMP GetBitmapBits(double time, LONG* size, char* buffer, LONG width, LONG height) override {
        LONG need = 40 + width * 3 * height;  // rows of 64 x 3 bytes need no padding
        if (!buffer) return *size = need, S_OK;
        if (g.hang) WaitForSingleObject(g.hang, 20000);  // long past the caller's patience
        g.grabTime = time;
        g.convertingWhileGrabbing = ConvertingKeys();
        if (g.grabFails || *size < need) return E_FAIL;
        BITMAPINFOHEADER header = {40, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        memcpy(buffer, &header, 40);
        memset(buffer + 40, 0x80, need - 40);
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
    LONG current_ = 0;
};

// The probe asks for IBaseFilter but calls only IUnknown's slots of it.
class FakeReader final : public Unknown<IFileSourceFilter> {
    bool Offers(REFIID iid) const override { return iid == IID_IBaseFilter || iid == IID_IFileSourceFilter; }
    STDMETHODIMP Load(LPCOLESTR path, const AM_MEDIA_TYPE*) override { return g.loaded = path, g.load; }
    STDMETHODIMP GetCurFile(LPOLESTR*, AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
};

template <typename T>
class Factory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID, void** out) override { return *out = this, S_OK; }
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
        g = {};
    }
    void TearDown() override {
        for (DWORD cookie : cookies_) CoRevokeClassObject(cookie);
        RegDeleteKeyA(HKEY_CURRENT_USER, kReadersKey);
        CoUninitialize();
    }
    static std::wstring Wide(const std::string& path) { return std::wstring(path.begin(), path.end()); }

    TempFolder folder;

private:
    Factory<FakeDetector> detectors_;
    Factory<FakeReader> readers_;
    DWORD cookies_[2] = {};
};

std::string Starting(const std::string& head, size_t size) {
    std::string bytes = head;
    bytes.resize(size, '\x55');
    return bytes;
}

std::string Riff(const char* form, uint32_t claimed, size_t size) {
    return Starting("RIFF" + std::string(reinterpret_cast<const char*>(&claimed), 4) + form, size);
}

TEST_F(MediaProbe, TheContainerChoosesTheReaderFilter) {
    const std::string mp4 = std::string("\0\0\0\x20", 4);
    struct Case {
        const char *name, *want;
        std::string bytes;
    } cases[] = {
        {"whole.avi", "", Riff("AVI ", 2040, 2048)},
        {"cut.avi", "Quillar AVI Reader", Riff("AVI ", 4088, 2048)},  // shorter than its chunk says
        {"song.wav", "", Riff("WAVE", 100, 2048)},
        {"film.mkv", "Quillar MKV Reader", Starting("\x1A\x45\xDF\xA3", 2048)},
        {"short.mkv", "", Starting("\x1A\x45\xDF\xA3", 1000)},  // under 1,024 bytes: nothing by content
        {"clip.ts", "Quillar MPG Reader", Starting("\x1A\x45\xDF\xA3", 2048)},  // the extension wins
        {"CLIP.TP", "Quillar MPG Reader", Starting("", 1000)},
        {"clip.ts.avi", "", Starting("", 2048)},
        {"film.mp4", "Quillar MP4 Reader", Starting(mp4 + "ftyp", 2048)},
        {"moov.mp4", "Quillar MP4 Reader", Starting(mp4 + "moov", 2048)},
        {"mdat.mov", "Quillar MP4 Reader", Starting(mp4 + "mdat", 2048)},
        {"free.mp4", "", Starting(mp4 + "free", 2048)},  // another first box: opened by name
        {"film.ogm", "Quillar OGM Reader", Starting("OggS", 2048)},
        {"film.flv", "Quillar FLV Reader", Starting("FLV\x01", 2048)},
        {"film.wmv", "", Starting("\x30\x26\xB2\x75", 2048)},
        {"gone.avi", "", ""},  // no such file
    };
    for (const Case& c : cases) {
        std::string path = c.bytes.empty() ? folder / c.name : folder.Write(c.name, c.bytes);
        uint64_t riffSize = 99, fileSize = 99;
        Container container = SniffContainer(path.c_str(), &riffSize, &fileSize);
        EXPECT_STREQ(c.want, ReaderFilterName(ChooseReaderFilter(container, riffSize, fileSize, c.name))) << c.name;
        EXPECT_EQ(c.bytes.size(), fileSize) << c.name;
    }
}

TEST_F(MediaProbe, AConfiguredReaderOpensTheFileAndAnyFailureFallsBackToTheName) {
    std::string cut = folder.Write("cut.avi", Riff("AVI ", 4088, 2048));
    std::string whole = folder.Write("whole.avi", Riff("AVI ", 2040, 2048));
    struct Case {
        const char *what, *clsid;
        HRESULT load;
        const std::string& path;
        bool byReader;
    } cases[] = {
        {"truncated AVI", kFakeReaderText, S_OK, cut, true},
        {"whole AVI", kFakeReaderText, S_OK, whole, false},
        {"reader cannot load it", kFakeReaderText, E_FAIL, cut, false},
        {"reader not registered", "{00000000-1111-2222-3333-444444444444}", S_OK, cut, false},
        {"not an identifier", "AVI Reader", S_OK, cut, false},
    };
    for (const Case& c : cases) {
        RegSetKeyValueA(HKEY_CURRENT_USER, kReadersKey, "Quillar AVI Reader", REG_SZ, c.clsid, strlen(c.clsid) + 1);
        g = {};
        g.load = c.load;
        MediaInfo info;
        ASSERT_TRUE(ProbeMedia(c.path.c_str(), &info, nullptr)) << c.what;
        EXPECT_EQ(c.byReader, g.filterGiven) << c.what;
        EXPECT_EQ(c.byReader ? L"" : Wide(c.path), g.filename) << c.what;
        EXPECT_EQ(c.clsid == kFakeReaderText && c.path == cut ? Wide(cut) : L"", g.loaded) << c.what;
    }
}

TEST_F(MediaProbe, TheGrabTakesTheMiddleOrTheStartOfAFileThatCannotSeek) {
    struct Case {
        const char *name, *content;  // the fake runtime reads "noseek" and "noattr" from the file
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
        g.grabFails = c.grabFails;
        HBITMAP bitmap = GrabFrameDirectShow(folder.Write(c.name, c.content).c_str(), c.asked);
        EXPECT_EQ(c.want, g.grabTime) << c.name << " at " << c.asked;
        EXPECT_EQ(2, g.convertingWhileGrabbing) << c.name;
        EXPECT_EQ(0, ConvertingKeys()) << c.name << ": the decoders still see a grab";
        BITMAP info = {};
        EXPECT_EQ(!c.grabFails, GetObjectA(bitmap, sizeof(info), &info) != 0) << c.name;
        EXPECT_EQ(c.grabFails ? 0 : 64 * 36, info.bmWidth * info.bmHeight) << c.name;  // the video stream's size
        DeleteObject(bitmap);
    }
}

TEST_F(MediaProbe, AGrabThatHangsIsGivenUpAndTheDetectorIsLeftAloneUntilItReturns) {
    // The height of the picture made: 36 from the detector, 48 from the fake frame grabber beside
    // this program.
    auto grab = [&](const char* name) {
        CxImage image;
        return GrabFrame(folder.Write(name, "frame 64 48 ff0000").c_str(), kDefaultGrabTime, image)
                   ? image.GetHeight() : 0u;
    };
    g.hang = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    EXPECT_EQ(48u, grab("stuck.avi")) << "the grabber did not take over from the hanging detector";
    EXPECT_EQ(Wide(folder / "stuck.avi"), g.filename);
    EXPECT_EQ(48u, grab("next.avi"));
    EXPECT_EQ(Wide(folder / "stuck.avi"), g.filename) << "the hanging detector was given another file";

    SetEvent(g.hang);
    bool back = false;
    for (int i = 0; i < 20 && !back; ++i) back = grab("later.avi") == 36u;
    EXPECT_TRUE(back) << "the detector was not used again once it returned";
    CloseHandle(g.hang);
}

TEST_F(MediaProbe, AFrameBlockThatDoesNotHoldItsPixelsMakesNoBitmap) {
    BITMAPINFOHEADER header = {40, 64, 36, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::string whole = std::string(reinterpret_cast<const char*>(&header), 40) + std::string(64 * 3 * 36, '\x40');
    auto make = [](const std::string& b) {
        return DibToBitmap(reinterpret_cast<const unsigned char*>(b.data()), b.size());
    };
    HBITMAP good = make(whole);
    EXPECT_NE(nullptr, good);
    DeleteObject(good);
    EXPECT_EQ(nullptr, make(whole.substr(0, whole.size() - 1)));
    EXPECT_EQ(nullptr, make(whole.substr(0, 20)));
}

}  // namespace
