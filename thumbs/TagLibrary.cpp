#include "thumbs/TagLibrary.h"

#include "base/ProcAddress.h"
#include "ximage/CxImage.h"

namespace {
constexpr unsigned int kDeleteObject = 1;
}  // namespace

TagObject* TagLibrary::Load(const char* moduleName) {
    Unload();
    module_ = LoadLibraryA(moduleName);
    auto create = GetProc<TagFactory>(module_, kTagFactoryName);
    object_ = create ? create() : nullptr;
    if (!object_) Unload();
    return object_;
}

BOOL TagLibrary::Unload() {
    // The object goes before the code that destroys it.
    if (object_) object_->DeletingDestructor(kDeleteObject);
    object_ = nullptr;
    BOOL freed = module_ ? FreeLibrary(module_) : 0;
    module_ = nullptr;
    return freed;
}

HRESULT GetCoverArt(const char* path, CxImage& image) {
    HRESULT status = E_FAIL;
    {
        TagLibrary library;
        if (TagObject* tags = library.Load(kTagLibraryName)) {
            if (HBITMAP bitmap = tags->GetCoverBitmap(path)) {
                if (image.CreateFromHBITMAP(bitmap, nullptr)) status = S_OK;
                DeleteObject(bitmap);
            }
        }
    }
    return status;
}
