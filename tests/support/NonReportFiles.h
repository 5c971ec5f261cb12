// Real files that are not reports at all, as a user may pick one by mistake: a PNG picture,
// an executable (this test program itself), random bytes and a report saved as UTF-16 text.
#pragma once

#include "SampleReports.h"
#include "TempDir.h"

#include <QCoreApplication>
#include <QFile>

#include <random>
#include <string>
#include <vector>

// A 2 x 2 RGB picture, complete with its checksums.
inline std::string PngPictureBytes() {
    static const unsigned char png[] = {
        0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49,
        0x48, 0x44, 0x52, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x02, 0x08, 0x02,
        0x00, 0x00, 0x00, 0xfd, 0xd4, 0x9a, 0x73, 0x00, 0x00, 0x00, 0x13, 0x49, 0x44,
        0x41, 0x54, 0x78, 0x9c, 0x63, 0xf8, 0xcf, 0xc0, 0xc0, 0x00, 0xc2, 0x0c, 0xff,
        0x6d, 0x02, 0x83, 0x00, 0x1b, 0x9c, 0x03, 0xdd, 0xf6, 0x6a, 0x8b, 0x59, 0x00,
        0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};
    return std::string(reinterpret_cast<const char*>(png), sizeof png);
}

// The report text in UTF-16, little-endian with a byte-order mark or big-endian without.
inline std::string Utf16Text(const std::string& ascii, bool littleEndianWithMark) {
    std::string out = littleEndianWithMark ? std::string("\xff\xfe") : std::string();
    for (char c : ascii) {
        if (littleEndianWithMark) {
            out += c;
            out += '\0';
        } else {
            out += '\0';
            out += c;
        }
    }
    return out;
}

// Writes the non-report files into tmp and gives their names.
inline std::vector<std::string> WriteNonReportFiles(const TempDir& tmp) {
    tmp.write("picture.png", PngPictureBytes());
    QFile self(QCoreApplication::applicationFilePath());
    self.open(QIODevice::ReadOnly);
    const QByteArray program = self.read(4 << 20);
    tmp.write("program.elf", std::string(program.constData(), static_cast<size_t>(program.size())));
    std::mt19937 random(16);
    std::string noise(64 * 1024, '\0');
    for (char& c : noise)
        c = static_cast<char>(random() & 0xff);
    tmp.write("random.bin", noise);
    tmp.write("utf16le.qrl", Utf16Text(SmallReportText(), true));
    tmp.write("utf16be.qrl", Utf16Text(SmallReportText(), false));
    return {"picture.png", "program.elf", "random.bin", "utf16le.qrl", "utf16be.qrl"};
}
