// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/picture.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include "common/file_write.h"
#include "picture/cairo_library.h"
#include "support/test_paths.h"

namespace ampvane {
namespace {

constexpr RgbColour kRed{255, 0, 0};
constexpr RgbColour kBlue{0, 0, 255};

// A 640 x 480 picture with a red square top left and a blue one bottom right: orientation and channel
// order errors both show.
// A soft gradient behind them gives the many colours of a real graph, so that readers classify the
// picture by its format rather than by a handful of colours.
RgbImage SamplePicture() {
    RgbImage image(640, 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            image.SetPixel(x, y, RgbColour{static_cast<std::uint8_t>(x * 255 / 639), static_cast<std::uint8_t>(y * 255 / 479), 128});
    for (int y = 10; y < 50; ++y)
        for (int x = 10; x < 50; ++x) {
            image.SetPixel(x, y, kRed);
            image.SetPixel(639 - x, 479 - y, kBlue);
        }
    return image;
}

bool HaveIdentify() { return std::system("command -v identify >/dev/null 2>&1") == 0; }

std::string Identify(const std::string& path) {
    std::string output;
    if (FILE* pipe = ::popen(("identify -verbose '" + path + "' 2>&1").c_str(), "r")) {
        std::array<char, 4096> buffer{};
        size_t n;
        while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output.append(buffer.data(), n);
        ::pclose(pipe);
    }
    return output;
}

size_t FilesIn(const std::filesystem::path& folder) {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

TEST(PictureFormat, ChosenByExtensionInAnyCase) {
    const std::pair<const char*, PictureFormat> cases[] = {
        {"graph.png", PictureFormat::Png},     {"GRAPH.PNG", PictureFormat::Png},
        {"graph.jpg", PictureFormat::Jpeg},    {"graph.JPeG", PictureFormat::Jpeg},
        {"graph.svg", PictureFormat::Svg},     {"graph.bmp", PictureFormat::Bmp},
        {"graph", PictureFormat::Bmp},         {"graph.gif", PictureFormat::Bmp},
        {"my.png.jpg", PictureFormat::Jpeg},   {"a.jpg.jpg", PictureFormat::Jpeg},
        {"png", PictureFormat::Bmp},           {"x.jpg.bak", PictureFormat::Bmp},
    };
    for (const auto& [name, format] : cases) EXPECT_EQ(PictureFormatForFileName(name), format) << name;
}

TEST(PictureFiles, PngHoldsTheExactPixelsAsEightBitTrueColour) {
    const RgbImage image = SamplePicture();
    const std::string bytes = EncodePng(image);
    png_image decoded{};
    decoded.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_memory(&decoded, bytes.data(), bytes.size()));
    EXPECT_EQ(decoded.width, 640u);
    EXPECT_EQ(decoded.height, 480u);
    EXPECT_EQ(decoded.format, static_cast<png_uint_32>(PNG_FORMAT_RGB));
    decoded.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(decoded));
    ASSERT_TRUE(png_image_finish_read(&decoded, nullptr, pixels.data(), 0, nullptr));
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), image.Row(0)));
}

TEST(PictureFiles, BmpIsBottomUpBgrWithPaddedRows) {
    RgbImage image(3, 2); // 9 bytes a row, padded to 12
    image.SetPixel(0, 0, kRed);
    image.SetPixel(2, 1, kBlue);
    const std::string bytes = EncodeBmp(image);
    ASSERT_EQ(bytes.size(), 54u + 2 * 12);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(static_cast<unsigned char>(bytes[28]), 24); // bits per pixel
    // The bottom row comes first: its last pixel is blue, stored as blue, green, red.
    EXPECT_EQ(static_cast<unsigned char>(bytes[54 + 6]), 255);
    EXPECT_EQ(static_cast<unsigned char>(bytes[54 + 8]), 0);
    // The top row second: its first pixel is red.
    EXPECT_EQ(static_cast<unsigned char>(bytes[54 + 12]), 0);
    EXPECT_EQ(static_cast<unsigned char>(bytes[54 + 14]), 255);
}

TEST(PictureFiles, IndependentReaderSeesTheFormatsAsWritten) {
    if (!HaveIdentify()) GTEST_SKIP() << "identify (imagemagick) is not installed";
    testing::TempDir dir;
    const RgbImage image = SamplePicture();
    struct Case {
        const char* name;
        std::vector<const char*> expected;
    };
    const Case cases[] = {
        {"graph.png", {"Format: PNG", "Geometry: 640x480+0+0", "Colorspace: sRGB", "Type: TrueColor", "Depth: 8-bit",
                       "png:IHDR.bit-depth-orig: 8", "png:IHDR.color-type-orig: 2"}},
        {"graph.jpg", {"Format: JPEG", "Geometry: 640x480+0+0", "Quality: 90", "Interlace: JPEG"}},
        {"graph.bmp", {"Format: BMP3", "Geometry: 640x480+0+0", "Type: TrueColor", "Depth: 8-bit"}},
    };
    for (const Case& c : cases) {
        const std::string path = dir.file(c.name);
        ASSERT_EQ(WritePicture(path, image), "") << c.name;
        const std::string report = Identify(path);
        for (const char* line : c.expected) EXPECT_NE(report.find(line), std::string::npos) << c.name << ": " << line << "\n" << report;
    }
    EXPECT_EQ(FilesIn(dir.path()), 3u); // no temporary files left
}

TEST(PictureFiles, FailedWriteNamesTheFileAndLeavesNothing) {
    const RgbImage image = SamplePicture();
    // A folder nobody may write to; root ignores permission bits, so it gets the read-only /proc.
    testing::TempDir dir;
    const std::filesystem::path locked = dir.path() / "locked";
    std::filesystem::create_directory(locked);
    std::filesystem::permissions(locked, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    const std::string readOnly = ::geteuid() == 0 ? "/proc/ampvane-graph.png" : (locked / "graph.png").string();
    for (const std::string& path : {readOnly, std::string("/dev/full")}) {
        for (auto write : {WritePng, WriteJpeg, WriteBmp}) {
            const std::string error = write(path, image);
            EXPECT_NE(error.find("\"" + path + "\""), std::string::npos) << error;
        }
    }
    EXPECT_FALSE(std::filesystem::exists("/proc/ampvane-graph.png"));
    EXPECT_EQ(FilesIn(locked), 0u);
    std::filesystem::permissions(locked, std::filesystem::perms::owner_all);

    // An older picture survives a failed replacement.
    const std::string kept = dir.file("kept.bmp");
    ASSERT_EQ(WriteFileAtomically(kept, "old"), "");
    EXPECT_NE(WritePicture(dir.file("kept.svg"), image), "");
    EXPECT_NE(WriteBmp(kept, RgbImage()), "");
    std::string contents;
    ASSERT_TRUE(ReadWholeFile(kept, contents));
    EXPECT_EQ(contents, "old");
}

TEST(PictureFiles, ADrawingLibraryThatCannotBeLoadedIsNamedWithTheReason) {
    EXPECT_EQ(LoadCairoLibrary(kDrawingLibrary).problem, "");
    // A library that is not there, and one that is there but is not the drawing library.
    for (const auto& [file, reason] : {std::pair{"libampvane-absent.so.9", "cannot open shared object file"},
                                       std::pair{"libm.so.6", "undefined symbol: cairo_arc"}}) {
        const CairoLibrary library = LoadCairoLibrary(file);
        EXPECT_EQ(library.problem.rfind("The drawing library \"" + std::string(file) + "\" could not be loaded (", 0), 0u)
            << library.problem;
        EXPECT_NE(library.problem.find(reason), std::string::npos) << library.problem;
        EXPECT_EQ(library.create, nullptr);
    }
}

} // namespace
} // namespace ampvane
