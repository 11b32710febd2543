// The player's tag library "KsXTag.dll", loaded for one cover picture at a time, and the cover
// picture of an audio file made from it.
#pragma once

#include <windows.h>

class CxImage;

constexpr char kTagLibraryName[] = "KsXTag.dll";
constexpr char kTagFactoryName[] = "KsXCreate";

// The object the library's factory returns. The library is built with Microsoft's compiler: its
// table holds one destructor slot, a deleting destructor taking flags (1: free the object), so that
// slot is declared explicitly. Only the 1st and the 6th operation are called here.
class TagObject {
public:
    virtual void DeletingDestructor(unsigned int flags) = 0;  // slot 0
    virtual int Reserved1() = 0;                              // slots 1 to 4: not called
    virtual int Reserved2() = 0;
    virtual int Reserved3() = 0;
    virtual int Reserved4() = 0;
    // The file's cover picture as a bitmap that the caller deletes; null when it has none.
    virtual HBITMAP GetCoverBitmap(const char* path) = 0;  // slot 5

protected:
    ~TagObject() = default;
};

using TagFactory = TagObject*(__cdecl*)();

class TagLibrary {
public:
    TagLibrary() = default;
    ~TagLibrary() { Unload(); }
    TagLibrary(const TagLibrary&) = delete;
    TagLibrary& operator=(const TagLibrary&) = delete;

    // Loads the module by its bare name (the usual search, the host program's folder first) and
    // creates its object; null, with nothing left loaded, when any step fails.
    TagObject* Load(const char* moduleName);
    // Destroys the object, then frees the module; the result of FreeLibrary, or 0.
    BOOL Unload();

    TagObject* Object() const { return object_; }

private:
    TagObject* object_ = nullptr;
    HMODULE module_ = nullptr;
};

// The cover picture of the audio file at `path`, as the file holds it: S_OK, or E_FAIL when there
// is none. Loads and frees the tag library for this one call.
HRESULT GetCoverArt(const char* path, CxImage& image);
