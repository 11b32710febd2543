# The sources of pure logic (no <windows.h>), from the root: the native sanitizer tests and the
# fuzzers build exactly these.
set(REMBRIX_PURE_SOURCES
  base/Paths.cpp base/MediaKind.cpp
  navigator/TokenList.cpp navigator/EntryModel.cpp navigator/ListState.cpp navigator/Geometry.cpp navigator/ThumbSchedule.cpp
  input/RemoteCodes.cpp
  thumbs/CacheFormat.cpp thumbs/ThumbCache.cpp thumbs/ContainerSniff.cpp thumbs/MediaFormat.cpp thumbs/FitRect.cpp
  ximage/ImageHeader.cpp ximage/PngBlock.cpp ximage/CxFile.cpp ximage/Resample.cpp)
