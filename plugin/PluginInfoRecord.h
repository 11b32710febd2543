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
    // Little-endian numbers that the player reads; the plug-in writes fixed values and gives them
    // no meaning of its own.
    uint32_t playerValues[8];
    char reserved2[512];
};

static_assert(sizeof(PluginInfoRecord) == 1732, "the player's block is 1,732 bytes");
static_assert(offsetof(PluginInfoRecord, name) == 260, "");
static_assert(offsetof(PluginInfoRecord, maker) == 340, "");
static_assert(offsetof(PluginInfoRecord, description) == 420, "");
static_assert(offsetof(PluginInfoRecord, playerValues) == 1188, "");
static_assert(offsetof(PluginInfoRecord, reserved2) == 1220, "");
