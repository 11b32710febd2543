// What a media folder's thumbnail cache file holds, for the simulator's log: so that a run can
// show that pictures came from the cache and that nothing was extracted again.
#pragma once

#include <windows.h>

#include <string>

struct CacheReport {
    bool present = false;
    int records = 0;
    int pictures = 0;      // records whose picture is at least 8 x 8
    int placeholders = 0;  // records of files known to have no picture
    FILETIME written = {};

    std::string Describe() const;
    // Whether the file was written between `before` and this report.
    bool RewrittenSince(const CacheReport& before) const;
};

CacheReport ReadCacheReport(const std::string& folder);
