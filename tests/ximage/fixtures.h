#pragma once

#define IDR_RGB16_PNG 101
#define IDR_PALETTE_PNG 102
#define IDR_PROGRESSIVE_JPG 103
