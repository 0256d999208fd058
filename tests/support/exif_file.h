#pragma once
// Photos made by the tests: a minimal JPEG whose EXIF block holds DateTimeOriginal, in either
// byte order, or a TIFF with the same directories. Not decodable images: what a date reader
// looks at, laid out as cameras write it (IFD0 with Make and the Exif pointer, then the Exif IFD).
#include <cstdint>
#include <string>

namespace exif_file {

inline void Put16(std::string& out, size_t at, uint16_t v, bool big)
{
    out[at] = static_cast<char>(big ? v >> 8 : v & 0xFF);
    out[at + 1] = static_cast<char>(big ? v & 0xFF : v >> 8);
}
inline void Put32(std::string& out, size_t at, uint32_t v, bool big)
{
    Put16(out, at, static_cast<uint16_t>(big ? v >> 16 : v & 0xFFFF), big);
    Put16(out, at + 2, static_cast<uint16_t>(big ? v & 0xFFFF : v >> 16), big);
}
inline void PutEntry(std::string& out, size_t at, uint16_t tag, uint16_t type, uint32_t count, uint32_t value, bool big)
{
    Put16(out, at, tag, big);
    Put16(out, at + 2, type, big);
    Put32(out, at + 4, count, big);
    Put32(out, at + 8, value, big);
}

// Offsets of the parts a damage test may want to break.
constexpr size_t kIfd0 = 8;
constexpr size_t kExifIfd = 44;
constexpr size_t kDateValue = 62;
// Where MakeJpeg puts the TIFF structure (after SOI, APP0 and the APP1 header).
constexpr size_t kTiffInJpeg = 30;

}  // namespace exif_file

// The TIFF structure: header, IFD0 (Make, Exif pointer), Exif IFD (DateTimeOriginal, e.g.
// "2024:05:17 13:45:10").
inline std::string MakeExifTiff(const std::string& date, bool bigEndian)
{
    using namespace exif_file;
    std::string tiff(kDateValue + 20, '\0');
    tiff.replace(0, 2, bigEndian ? "MM" : "II");
    Put16(tiff, 2, 42, bigEndian);
    Put32(tiff, 4, kIfd0, bigEndian);
    Put16(tiff, kIfd0, 2, bigEndian);
    PutEntry(tiff, kIfd0 + 2, 0x010F, 2, 6, 38, bigEndian);  // Make, at 38
    PutEntry(tiff, kIfd0 + 14, 0x8769, 4, 1, kExifIfd, bigEndian);
    tiff.replace(38, 6, std::string("Tests\0", 6));
    Put16(tiff, kExifIfd, 1, bigEndian);
    PutEntry(tiff, kExifIfd + 2, 0x9003, 2, 20, kDateValue, bigEndian);
    tiff.replace(kDateValue, date.size() < 20 ? date.size() : 20, date.substr(0, 20));
    return tiff;
}

// A JPEG: SOI, an APP0 "JFIF" segment, the APP1 "Exif" segment when `date` is not empty, then a
// quantisation table, the start of scan, a few bytes of image data and EOI.
inline std::string MakeJpeg(const std::string& date, bool bigEndian = false)
{
    auto segment = [](uint8_t marker, const std::string& payload) {
        const size_t length = payload.size() + 2;
        std::string out = {'\xFF', static_cast<char>(marker), static_cast<char>(length >> 8),
                           static_cast<char>(length & 0xFF)};
        return out + payload;
    };
    std::string jpeg = "\xFF\xD8";
    jpeg += segment(0xE0, std::string("JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 14));
    if (!date.empty()) jpeg += segment(0xE1, std::string("Exif\0\0", 6) + MakeExifTiff(date, bigEndian));
    jpeg += segment(0xDB, std::string(65, '\x01'));
    jpeg += segment(0xDA, std::string("\x01\x01\x00\x00\x3F\x00", 6));
    jpeg += std::string("\x12\x34\x56\x78\xFF\xD9", 6);
    return jpeg;
}
