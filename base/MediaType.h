// A DirectShow media type whose format block and interface are freed with it.
#pragma once

#include <windows.h>

#include <dshow.h>

#include <cstring>

class MediaType {
public:
    MediaType() { memset(&type_, 0, sizeof(type_)); }
    ~MediaType() {
        if (type_.cbFormat) CoTaskMemFree(type_.pbFormat);
        if (type_.pUnk) type_.pUnk->Release();
    }
    MediaType(const MediaType&) = delete;
    MediaType& operator=(const MediaType&) = delete;
    AM_MEDIA_TYPE* operator&() { return &type_; }
    const AM_MEDIA_TYPE* operator->() const { return &type_; }
    // The format block as T, when it is at least that large.
    template <typename T>
    const T* Format() const {
        return type_.pbFormat && type_.cbFormat >= sizeof(T) ? reinterpret_cast<const T*>(type_.pbFormat) : nullptr;
    }

private:
    AM_MEDIA_TYPE type_;
};
