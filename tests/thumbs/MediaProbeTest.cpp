// Grabbing frames through the media detector and the player's reader filters, both faked with COM
// in this process.
#include <windows.h>
#include <dshow.h>
#include <qedit.h>
#include <cstring>
#include <thread>

#include <gtest/gtest.h>

#include "base/OwnedHandle.h"
#include "tests/support/ImportPatch.h"
#include "tests/support/Pictures.h"
#include "tests/support/TempFolder.h"
#include "thumbs/FrameGrab.h"
#include "thumbs/MediaProbe.h"
#include "thumbs/ThumbCache.h"
#include "thumbs/ThumbnailExtraction.h"
#include "ximage/CxImage.h"

namespace {

const CLSID kFakeReader = {0x5e1f0c4a, 0x2b7d, 0x4c1e, {0x9a, 0x31, 0x6d, 0x0b, 0x44, 0x7e, 0x12, 0x90}};
constexpr char kFakeReaderText[] = "{5E1F0C4A-2B7D-4C1E-9A31-6D0B447E1290}";
const char* const kReaders[] = {"Quillar AVI Reader", "Quillar MKV Reader", "Quillar MP4 Reader",
                                "Quillar OGM Reader", "Quillar FLV Reader", "Quillar MPG Reader"};

struct Fakes {  // what the fake detector and reader were asked, and how they answer
    std::wstring calls;  // "load <path>;" (when it succeeds), "filter;" and "name <path>;" in order
    HRESULT load = S_OK;
    LONG grabCut = 0;  // bytes the frame block falls short of its picture; -1: the grab fails
    double grabTime = -99;
    int convertingWhileGrabbing = 0;
    HANDLE hang = nullptr;        // set: a grab waits for it, having set `stopOnGrab` if there is one
    HANDLE stopOnGrab = nullptr;
    void* grabThread = nullptr;   // the thread that waits, to await its end
} g;

// The grabbers the product starts, counted at its import of CreateProcessA.
int g_started = 0;
void* g_createProcess = nullptr;
BOOL WINAPI CountedCreateProcess(LPCSTR program, LPSTR command, LPSECURITY_ATTRIBUTES process,
                                 LPSECURITY_ATTRIBUTES thread, BOOL inherit, DWORD flags, LPVOID environment,
                                 LPCSTR folder, LPSTARTUPINFOA startup, LPPROCESS_INFORMATION info) {
    ++g_started;
    return reinterpret_cast<decltype(&CreateProcessA)>(g_createProcess)(program, command, process, thread, inherit,
                                                                        flags, environment, folder, startup, info);
}

// A ten-minute file (a sound stream, then a 64 x 36 video stream) as the media detector, and the
// reader filter (asked for as IBaseFilter, used as IFileSourceFilter); also the factory of both.
#define NOT_USED(method, ...) STDMETHODIMP method(__VA_ARGS__) override { return E_NOTIMPL; }
class FakeMedia final : public IMediaDet, public IFileSourceFilter, public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IMediaDet) *out = static_cast<IMediaDet*>(this);
        else if (iid == IID_IBaseFilter || iid == IID_IFileSourceFilter) *out = static_cast<IFileSourceFilter*>(this);
        else if (iid == IID_IUnknown || iid == IID_IClassFactory) *out = static_cast<IClassFactory*>(this);
        else return *out = nullptr, E_NOINTERFACE;
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown*, REFIID iid, void** out) override { return QueryInterface(iid, out); }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
    STDMETHODIMP Load(LPCOLESTR path, const AM_MEDIA_TYPE*) override {
        if (SUCCEEDED(g.load)) g.calls += L"load " + std::wstring(path) + L";";
        return g.load;
    }
    STDMETHODIMP put_Filter(IUnknown* filter) override { return g.calls += filter ? L"filter;" : L"none;", S_OK; }
    STDMETHODIMP put_Filename(BSTR name) override { return g.calls += L"name " + std::wstring(name) + L";", S_OK; }
    STDMETHODIMP get_OutputStreams(LONG* count) override { return *count = 2, S_OK; }
    STDMETHODIMP put_CurrentStream(LONG i) override { return current_ = i, S_OK; }
    STDMETHODIMP get_StreamLength(double* length) override { return *length = current_ ? 600 : 599, S_OK; }
    STDMETHODIMP get_FrameRate(double* rate) override { return *rate = 25, S_OK; }
    STDMETHODIMP get_StreamMediaType(AM_MEDIA_TYPE* type) override {
        ULONG size = current_ ? sizeof(VIDEOINFOHEADER) : sizeof(WAVEFORMATEX);
        auto* format = static_cast<BYTE*>(memset(CoTaskMemAlloc(size), 0, size));
        *type = {current_ ? MEDIATYPE_Video : MEDIATYPE_Audio, GUID{}, FALSE, FALSE, 0,
                 current_ ? FORMAT_VideoInfo : FORMAT_WaveFormatEx, nullptr, size, format};
        auto* video = reinterpret_cast<VIDEOINFOHEADER*>(format);
        if (current_) video->bmiHeader = {40, 64, 36, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        return S_OK;
    }
    STDMETHODIMP GetBitmapBits(double time, LONG* size, char* buffer, LONG width, LONG height) override {
        LONG need = 40 + width * 3 * height;  // rows of 64 x 3 bytes need no padding
        if (!buffer) return *size = need, S_OK;
        g.grabTime = time;
        g.convertingWhileGrabbing = ConvertingKeys();
        if (g.hang) {
            InterlockedExchangePointer(&g.grabThread, OpenThread(SYNCHRONIZE, FALSE, GetCurrentThreadId()));
            if (g.stopOnGrab) SetEvent(g.stopOnGrab);
            WaitForSingleObject(g.hang, INFINITE);
        }
        if (g.grabCut < 0 || *size < need) return E_FAIL;
        *reinterpret_cast<BITMAPINFOHEADER*>(buffer) = {40, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        memset(buffer + 40, 0x80, need - 40);
        return *size = need - g.grabCut, S_OK;
    }
    NOT_USED(GetCurFile, LPOLESTR*, AM_MEDIA_TYPE*) NOT_USED(get_Filter, IUnknown**) NOT_USED(get_CurrentStream, LONG*)
    NOT_USED(get_StreamType, GUID*) NOT_USED(get_StreamTypeB, BSTR*) NOT_USED(get_Filename, BSTR*)
    NOT_USED(WriteBitmapBits, double, LONG, LONG, BSTR) NOT_USED(GetSampleGrabber, ISampleGrabber**)
    NOT_USED(EnterBitmapGrabMode, double)
    LONG current_ = 0;
} media;

class MediaProbe : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);  // where the grab's own thread finds the fakes too
        IClassFactory* factory = &media;
        CoRegisterClassObject(CLSID_MediaDet, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookies_[0]);
        CoRegisterClassObject(kFakeReader, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookies_[1]);
    }
    void TearDown() override {
        for (DWORD cookie : cookies_) CoRevokeClassObject(cookie);
        RegDeleteKeyA(HKEY_CURRENT_USER, kReaderFiltersKey);
        CoUninitialize();
    }
    TempFolder folder;
    DWORD cookies_[2] = {};
};

std::string Starting(const std::string& head, size_t size) { return head + std::string(size - head.size(), '\x55'); }
std::string Riff(const char* form, uint32_t claimed, size_t size) {
    return Starting("RIFF" + std::string(reinterpret_cast<const char*>(&claimed), 4) + form, size);
}
TEST_F(MediaProbe, TheContainerChoosesTheReaderAndTheGrabTakesTheMiddleOrTheAskedTime) {
    const std::string mp4 = std::string("\0\0\0\x20", 4), mkv = "\x1A\x45\xDF\xA3", cut = Riff("AVI ", 4088, 2048);
    // A file's name and bytes; the reader that opens it ("" for the detector, by the file's name); the time
    // asked for, and the time grabbed; the bytes the frame block misses (-1: the grab fails); each reader's
    // configured class; the reader's Load.
    const struct {
        const char* name; std::string bytes; const char* reader; double asked = kDefaultGrabTime, at = 300;
        LONG cut = 0; const char* clsid = kFakeReaderText; HRESULT load = S_OK;
    } cases[] = {
        {"whole.avi", Riff("AVI ", 2040, 2048), ""},
        {"cut.avi", cut, "Quillar AVI Reader"},  // shorter than its chunk says
        {"film.mkv", Starting(mkv, 2048), "Quillar MKV Reader"},
        {"short.mkv", Starting(mkv, 1000), ""},  // under 1,024 bytes: nothing by content
        {"clip.ts", Starting(mkv, 2048), "Quillar MPG Reader"},  // the extension wins
        {"film.mp4", Starting(mp4 + "ftyp", 2048), "Quillar MP4 Reader"},
        {"free.mp4", Starting(mp4 + "free", 2048), ""},  // another first box
        {"film.ogm", Starting("OggS", 2048), "Quillar OGM Reader"},
        {"film.flv", Starting("FLV\x01", 2048), "Quillar FLV Reader"},
        {"the reader cannot load it.avi", cut, "", kDefaultGrabTime, 300, 0, kFakeReaderText, E_FAIL},
        {"unregistered reader.avi", cut, "", kDefaultGrabTime, 300, 0, "{00000000-1111-2222-3333-444444444444}"},
        {"a name for an identifier.avi", cut, "", kDefaultGrabTime, 300, 0, "AVI Reader"},
        {"at 42.avi", "", "", 42, 42},
        {"past the end.avi", "", "", 601, 300},
        {"broken.avi", "", "", kDefaultGrabTime, 300, -1},
        {"short.avi", "", "", kDefaultGrabTime, 300, 1},
        {"headless.avi", "", "", kDefaultGrabTime, 300, 64 * 3 * 36 + 20},  // not even its header
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Only the reader that should open the file is configured; every one when none should.
        RegDeleteKeyA(HKEY_CURRENT_USER, kReaderFiltersKey);
        for (const char* reader : kReaders)
            if (!*c.reader || !strcmp(reader, c.reader))
                RegSetKeyValueA(HKEY_CURRENT_USER, kReaderFiltersKey, reader, REG_SZ, c.clsid, strlen(c.clsid) + 1);
        g = {};
        g.load = c.load, g.grabCut = c.cut;
        std::string path = folder.Write(c.name, c.bytes);
        std::wstring wide(path.begin(), path.end());
        HBITMAP bitmap = GrabFrameDirectShow(path.c_str(), c.asked);
        EXPECT_EQ(*c.reader ? L"load " + wide + L";filter;" : L"name " + wide + L";", g.calls);
        EXPECT_EQ(c.at, g.grabTime);
        EXPECT_TRUE(g.convertingWhileGrabbing == 2 && ConvertingKeys() == 0) << "the decoders' flag";
        BITMAP info = {};  // the video stream's size, when the grab gave a whole picture
        EXPECT_EQ(c.cut ? -1 : 64 * 36, GetObjectA(bitmap, sizeof(info), &info) ? info.bmWidth * info.bmHeight : -1);
        DeleteObject(bitmap);
    }
}

// The media detector given up on while it grabs: cut short by a stop, the grab is no verdict and
// no grabber starts; hung past its five seconds, the video has failed, though a stop then ends the
// grabber. Either way the decoders' flag goes while the detector is still stuck.
TEST_F(MediaProbe, AStopIsNoVerdictUnlessTheDetectorHadHung) {
    ThumbCache cache;
    cache.Open(folder.Path() + "\\");
    OwnedHandle release(CreateEventA(nullptr, TRUE, FALSE, nullptr)), stop(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    SetExtractionCancelEvent(stop.get());
    ImportPatch counted("kernel32.dll", "CreateProcessA", reinterpret_cast<void*>(CountedCreateProcess));
    g_createProcess = counted.Original();
    for (bool hung : {false, true}) {
        SCOPED_TRACE(hung ? "hung, then stopped while the grabber hangs too" : "stopped");
        g = {};
        g.hang = release.get(), g.stopOnGrab = hung ? nullptr : stop.get();
        g_started = 0;
        ResetEvent(stop.get()), ResetEvent(release.get());
        std::string path = folder.Write(hung ? "hung.avi" : "stopped.avi", "sleep 60000");  // the fake grabber's part
        std::thread stopper([&] {
            while (hung && !GrabberRunsOf(path).started) Sleep(10);
            if (hung) SetEvent(stop.get());
        });
        CxImage image;
        EXPECT_EQ(E_FAIL, GetVideoThumbnail(path.c_str(), &cache, 64, 36, image));
        stopper.join();
        EXPECT_EQ(0, ConvertingKeys());
        EXPECT_EQ(std::make_pair(int(hung), 0), std::make_pair(g_started, GrabberRunsOf(path).running));
        EXPECT_EQ(hung, cache.Lookup(path, image)) << "a failure's placeholder";
        SetEvent(release.get());  // the detector's thread ends: the next grab may take that road again
        OwnedHandle stuck(InterlockedExchangePointer(&g.grabThread, nullptr));
        ASSERT_TRUE(stuck);
        WaitForSingleObject(stuck.get(), INFINITE);
    }
    SetExtractionCancelEvent(nullptr);
}

}  // namespace
