// "wmvcore.dll" for tests: a metadata editor whose "Seekable" attribute comes from the file's first
// bytes: "noseek" says false, "noattr" has no such attribute, anything else says true.
#include <windows.h>

#include <wmsdkidl.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr HRESULT kNotFound = static_cast<HRESULT>(0xC00D07F0);  // the format runtime's "not found"

// One editor for every caller, never deleted: a test asks it one question at a time.
#define NOT_USED(method, ...) STDMETHODIMP method(__VA_ARGS__) override { return E_NOTIMPL; }
class Editor final : public IWMMetadataEditor, public IWMHeaderInfo {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == __uuidof(IWMMetadataEditor)) *out = static_cast<IWMMetadataEditor*>(this);
        else if (iid == __uuidof(IWMHeaderInfo)) *out = static_cast<IWMHeaderInfo*>(this);
        else return *out = nullptr, E_NOINTERFACE;
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP Open(const WCHAR* path) override {
        FILE* file = _wfopen(path, L"rb");
        if (!file) return E_FAIL;
        fread(head_, 1, sizeof(head_) - 1, file);
        fclose(file);
        return S_OK;
    }
    STDMETHODIMP Close() override { return S_OK; }
    STDMETHODIMP Flush() override { return S_OK; }

    STDMETHODIMP GetAttributeByName(WORD* stream, LPCWSTR name, WMT_ATTR_DATATYPE* type, BYTE* value,
                                    WORD* length) override {
        if (*stream != 0 || wcscmp(name, L"Seekable") != 0 || strncmp(head_, "noattr", 6) == 0 || *length < 4)
            return kNotFound;
        *type = WMT_TYPE_BOOL;
        BOOL seekable = strncmp(head_, "noseek", 6) != 0;
        memcpy(value, &seekable, sizeof(seekable));
        *length = sizeof(seekable);
        return S_OK;
    }
    NOT_USED(GetAttributeCount, WORD, WORD*)
    NOT_USED(GetAttributeByIndex, WORD, WORD*, WCHAR*, WORD*, WMT_ATTR_DATATYPE*, BYTE*, WORD*)
    NOT_USED(SetAttribute, WORD, LPCWSTR, WMT_ATTR_DATATYPE, const BYTE*, WORD)
    NOT_USED(GetMarkerCount, WORD*) NOT_USED(GetMarker, WORD, WCHAR*, WORD*, QWORD*) NOT_USED(AddMarker, LPCWSTR, QWORD)
    NOT_USED(RemoveMarker, WORD) NOT_USED(GetScriptCount, WORD*) NOT_USED(AddScript, LPCWSTR, LPCWSTR, QWORD)
    NOT_USED(GetScript, WORD, WCHAR*, WORD*, WCHAR*, WORD*, QWORD*) NOT_USED(RemoveScript, WORD)

    char head_[8] = {};
} g_editor;

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI WMCreateEditor(IWMMetadataEditor** editor) {
    *editor = &g_editor;
    return S_OK;
}
