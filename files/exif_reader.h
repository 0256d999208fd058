#pragma once
// The date a photo was taken, read from the EXIF block of a JPEG or from a TIFF: the first bytes
// of a file in, DateTimeOriginal (tag 0x9003) out. Pure over the buffer: every offset and count
// is checked against it, so damaged or hostile files are rejected, never read past.
#include <cstddef>
#include <cstdint>

#include "engine/date_text.h"

// A reader needs no more than this much of a file: the EXIF block of a JPEG is one APP1 segment
// of at most 64 KiB near its start.
constexpr size_t kExifReadLimit = 64 * 1024;

// False when the bytes are not a JPEG with an EXIF block or a TIFF, or hold no valid date taken.
bool FindDateTaken(const uint8_t* data, size_t size, CivilTime& taken);
