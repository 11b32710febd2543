// "wmvcore.dll" for tests: a metadata editor whose "Seekable" attribute comes from the file's first
// bytes: "noseek" says false, "noattr" has no such attribute, anything else says true.
#include <windows.h>

#include <wmsdkidl.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr HRESULT kNotFound = static_cast<HRESULT>(0xC00D07F0);  // the format runtime's "not found"

class Editor final : public IWMMetadataEditor, public IWMHeaderInfo {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == __uuidof(IWMMetadataEditor))
            *out = static_cast<IWMMetadataEditor*>(this);
        else if (iid == __uuidof(IWMHeaderInfo))
            *out = static_cast<IWMHeaderInfo*>(this);
        else
            return *out = nullptr, E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG left = --refs_;
        if (!left) delete this;
        return left;
    }
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
    STDMETHODIMP GetAttributeCount(WORD, WORD*) override { return E_NOTIMPL; }
    STDMETHODIMP GetAttributeByIndex(WORD, WORD*, WCHAR*, WORD*, WMT_ATTR_DATATYPE*, BYTE*, WORD*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP SetAttribute(WORD, LPCWSTR, WMT_ATTR_DATATYPE, const BYTE*, WORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetMarkerCount(WORD*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMarker(WORD, WCHAR*, WORD*, QWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP AddMarker(LPCWSTR, QWORD) override { return E_NOTIMPL; }
    STDMETHODIMP RemoveMarker(WORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetScriptCount(WORD*) override { return E_NOTIMPL; }
    STDMETHODIMP GetScript(WORD, WCHAR*, WORD*, WCHAR*, WORD*, QWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP AddScript(LPCWSTR, LPCWSTR, QWORD) override { return E_NOTIMPL; }
    STDMETHODIMP RemoveScript(WORD) override { return E_NOTIMPL; }

private:
    ULONG refs_ = 1;
    char head_[8] = {};
};

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI WMCreateEditor(IWMMetadataEditor** editor) {
    *editor = new Editor;
    return S_OK;
}
