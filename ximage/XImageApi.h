// Import or export of the image module's classes.
#pragma once

#ifdef KSL_XIMAGE_BUILD
#define XIMAGE_API __declspec(dllexport)
#else
#define XIMAGE_API __declspec(dllimport)
#endif
