// Data files from an untrusted folder, checked without GL: only regular files of a bounded size
// are opened, and a picture of too many pixels is refused before it is decoded.
#include "base/data_file.h"
#include "render/image_decode.h"
#include "support/capture_stdout.h"

#include <cstdint>
#include <fstream>
#include <gtest/gtest.h>
#include <stb_image.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace {
void putBigEndian(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out += static_cast<char>((value >> shift) & 0xff);
    }
}

void putChunk(std::string& out, const char* type, const std::string& data) {
    putBigEndian(out, static_cast<uint32_t>(data.size()));
    out += type;
    out += data;
    putBigEndian(out, 0); // the checksum, which stb_image does not read
}

// A whole, decodable grey PNG of the given size, every pixel black: tiny once compressed.
std::string blackGreyPng(uint32_t width, uint32_t height) {
    std::string header;
    putBigEndian(header, width);
    putBigEndian(header, height);
    header += std::string("\x08\x00\x00\x00\x00", 5); // 8 bits, grey, no interlace
    const std::vector<unsigned char> rows(static_cast<size_t>(width + 1) * height, 0);
    uLongf packedSize = compressBound(rows.size());
    std::string packed(packedSize, '\0');
    compress2(reinterpret_cast<Bytef*>(&packed[0]), &packedSize, rows.data(), rows.size(), 9);
    packed.resize(packedSize);
    std::string png("\x89PNG\r\n\x1a\n", 8);
    putChunk(png, "IHDR", header);
    putChunk(png, "IDAT", packed);
    putChunk(png, "IEND", "");
    return png;
}
} // namespace

TEST(DataFile, OnlyRegularFilesWithinTheCapAreOpened) {
    const std::string regular = writeTempFile("data.txt", "twelve bytes");
    std::FILE* file = openDataFile(regular.c_str(), 12);
    ASSERT_NE(file, nullptr);
    char text[16] = {};
    EXPECT_EQ(std::fread(text, 1, sizeof text, file), 12u);
    std::fclose(file);
    EXPECT_EQ(dataFileRefusal(regular.c_str(), 12), "");

    EXPECT_EQ(openDataFile(regular.c_str(), 11), nullptr);
    EXPECT_EQ(dataFileRefusal(regular.c_str(), 11), "larger than 11 bytes: " + regular);
    const std::string missing = regular + ".missing";
    EXPECT_EQ(openDataFile(missing.c_str(), 100), nullptr);
    EXPECT_EQ(dataFileRefusal(missing.c_str(), 100), "") << "a missing file fails as before";

    // A FIFO with no writer would block whoever opens it for reading.
    const std::string fifo = regular + ".fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string folder = regular + ".folder";
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    for (const std::string& path : {fifo, folder, std::string("/dev/zero")}) {
        EXPECT_EQ(openDataFile(path.c_str(), 1ll << 40), nullptr) << path;
        EXPECT_EQ(dataFileRefusal(path.c_str(), 1ll << 40), "not a regular file: " + path);
    }
    unlink(fifo.c_str());
    rmdir(folder.c_str());
}

TEST(DataFile, APictureOfTooManyPixelsIsRefusedFromItsHeader) {
    // 9000 x 9000 is within a GL limit of 16384 a side, and decodes to 81 MB.
    for (uint32_t side : {9000u, 8192u}) {
        const std::string path = writeTempFile("black.png", blackGreyPng(side, side));
        std::FILE* file = openDataFile(path.c_str(), maxPictureFileBytes);
        ASSERT_NE(file, nullptr);
        const DecodedImage image = decodeImage(file, 16384);
        std::fclose(file);
        EXPECT_EQ(image.pixels != nullptr, side == 8192u) << side;
        stbi_image_free(image.pixels);
    }
}
