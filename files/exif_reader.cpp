#include "files/exif_reader.h"

#include <cstring>

namespace {

// A TIFF structure: offsets count from its first byte, in its own byte order.
struct TiffView {
    const uint8_t* data;
    size_t size;
    bool bigEndian;

    bool Has(size_t offset, size_t length) const { return offset <= size && length <= size - offset; }
    uint16_t U16(size_t at) const
    {
        return bigEndian ? static_cast<uint16_t>(data[at] << 8 | data[at + 1])
                         : static_cast<uint16_t>(data[at + 1] << 8 | data[at]);
    }
    uint32_t U32(size_t at) const
    {
        const uint32_t a = U16(at), b = U16(at + 2);
        return bigEndian ? (a << 16 | b) : (b << 16 | a);
    }
};

constexpr uint16_t kTagExifIfd = 0x8769;
constexpr uint16_t kTagDateTimeOriginal = 0x9003;
constexpr uint16_t kTypeAscii = 2;
constexpr uint16_t kTypeLong = 4;
constexpr uint16_t kTypeIfd = 13;
constexpr size_t kEntrySize = 12;
// Real directories hold a few dozen entries; a count beyond this is damage.
constexpr uint16_t kMaxEntries = 1000;
constexpr size_t kDateLength = 19;  // "YYYY:MM:DD HH:MM:SS"

// The offset of the directory entry with `tag` in the directory at `ifd`, or 0 when there is
// none or the directory does not fit in the buffer.
size_t FindEntry(const TiffView& tiff, size_t ifd, uint16_t tag)
{
    if (ifd < 8 || !tiff.Has(ifd, 2)) return 0;
    const uint16_t count = tiff.U16(ifd);
    if (count > kMaxEntries || !tiff.Has(ifd + 2, count * kEntrySize)) return 0;
    for (size_t i = 0; i < count; ++i) {
        const size_t entry = ifd + 2 + i * kEntrySize;
        if (tiff.U16(entry) == tag) return entry;
    }
    return 0;
}

bool ReadNumber(const uint8_t* text, size_t digits, int& value)
{
    value = 0;
    for (size_t i = 0; i < digits; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

// "YYYY:MM:DD HH:MM:SS"; cameras without a set clock write blanks or zeros, which are no date.
bool ParseExifDate(const uint8_t* text, CivilTime& time)
{
    static constexpr char kSeparators[] = "    :  :     :  :  ";
    for (size_t i = 0; i < kDateLength; ++i) {
        if (kSeparators[i] != ' ' && text[i] != kSeparators[i]) return false;
    }
    if (text[10] != ' ') return false;
    return ReadNumber(text, 4, time.year) && ReadNumber(text + 5, 2, time.month) && ReadNumber(text + 8, 2, time.day) &&
           ReadNumber(text + 11, 2, time.hour) && ReadNumber(text + 14, 2, time.minute) &&
           ReadNumber(text + 17, 2, time.second) && IsValidCivilTime(time);
}

bool DateFromTiff(const uint8_t* data, size_t size, CivilTime& taken)
{
    if (size < 8) return false;
    TiffView tiff{data, size, false};
    if (std::memcmp(data, "MM\0*", 4) == 0) {
        tiff.bigEndian = true;
    } else if (std::memcmp(data, "II*\0", 4) != 0) {
        return false;
    }
    const size_t ifd0 = tiff.U32(4);
    const size_t pointer = FindEntry(tiff, ifd0, kTagExifIfd);
    if (!pointer) return false;
    const uint16_t pointerType = tiff.U16(pointer + 2);
    if ((pointerType != kTypeLong && pointerType != kTypeIfd) || tiff.U32(pointer + 4) != 1) return false;
    const size_t exifIfd = tiff.U32(pointer + 8);
    if (exifIfd == ifd0) return false;  // a directory pointing at itself
    const size_t entry = FindEntry(tiff, exifIfd, kTagDateTimeOriginal);
    if (!entry || tiff.U16(entry + 2) != kTypeAscii) return false;
    const uint32_t count = tiff.U32(entry + 4);
    // 19 characters and the terminator do not fit in the entry: the value lies elsewhere.
    if (count < kDateLength || count > 64) return false;
    const size_t value = tiff.U32(entry + 8);
    if (!tiff.Has(value, kDateLength)) return false;
    return ParseExifDate(data + value, taken);
}

bool IsStandaloneMarker(uint8_t marker)
{
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);  // TEM and the restart markers
}

// Walks the segments before the image data for an APP1 segment that starts with "Exif\0\0".
bool DateFromJpeg(const uint8_t* data, size_t size, CivilTime& taken)
{
    static constexpr uint8_t kExifId[6] = {'E', 'x', 'i', 'f', 0, 0};
    size_t at = 2;
    while (at + 4 <= size) {
        if (data[at] != 0xFF) return false;
        const uint8_t marker = data[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (IsStandaloneMarker(marker)) {
            at += 2;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) return false;  // end of image, start of scan
        const size_t length = static_cast<size_t>(data[at + 2] << 8 | data[at + 3]);
        if (length < 2) return false;
        const size_t payload = at + 4;
        // A block cut off by the end of the buffer is read as far as it goes: its offsets are
        // checked against what is there.
        const size_t available = length - 2 <= size - payload ? length - 2 : size - payload;
        if (marker == 0xE1 && available >= sizeof kExifId && std::memcmp(data + payload, kExifId, sizeof kExifId) == 0)
            return DateFromTiff(data + payload + sizeof kExifId, available - sizeof kExifId, taken);
        at = payload + length - 2;
    }
    return false;
}

}  // namespace

bool FindDateTaken(const uint8_t* data, size_t size, CivilTime& taken)
{
    if (!data || size < 4) return false;
    if (data[0] == 0xFF && data[1] == 0xD8) return DateFromJpeg(data, size, taken);
    return DateFromTiff(data, size, taken);
}
