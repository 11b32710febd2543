// The descriptive record that the player hands to GetPluginInfo: 1,732 bytes at fixed offsets.
#pragma once

#include <cstddef>
#include <cstdint>

struct PluginInfoRecord {
    char reserved0[260];
    char name[80];
    char maker[80];
    char description[256];
    char reserved1[512];
    uint32_t field1188;  // 256
    uint32_t field1192;  // 50
    uint32_t field1196[4];  // 32768 each
    uint32_t field1212;  // 1
    uint32_t field1216;  // 0
    char reserved2[512];
};

static_assert(sizeof(PluginInfoRecord) == 1732, "the player's block is 1,732 bytes");
static_assert(offsetof(PluginInfoRecord, name) == 260, "");
static_assert(offsetof(PluginInfoRecord, maker) == 340, "");
static_assert(offsetof(PluginInfoRecord, description) == 420, "");
static_assert(offsetof(PluginInfoRecord, field1188) == 1188, "");
static_assert(offsetof(PluginInfoRecord, field1196) == 1196, "");
static_assert(offsetof(PluginInfoRecord, field1216) == 1216, "");
static_assert(offsetof(PluginInfoRecord, reserved2) == 1220, "");
