#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

#include "shell/JPEG.h"

extern "C" {
#include <jpeglib.h>
}

namespace {

// Compresses raw samples (3 for RGB, 1 for grey, 4 for CMYK per pixel) to
// a JPEG file in memory, as a test picture.
QByteArray encode(int w, int h, int components, J_COLOR_SPACE space, const std::vector<unsigned char>& samples) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    char* buf = nullptr;
    size_t size = 0;
    FILE* mem = open_memstream(&buf, &size);
    jpeg_stdio_dest(&cinfo, mem);
    cinfo.image_width = w;
    cinfo.image_height = h;
    cinfo.input_components = components;
    cinfo.in_color_space = space;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&samples[cinfo.next_scanline * w * components]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::fclose(mem);
    QByteArray out(buf, static_cast<qsizetype>(size));
    std::free(buf);
    return out;
}

// Left half pure red, right half pure blue.
QByteArray redBlue(int w, int h) {
    std::vector<unsigned char> s(static_cast<size_t>(w * h * 3));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned char* p = &s[(y * w + x) * 3];
            p[0] = x < w / 2 ? 255 : 0;
            p[2] = x < w / 2 ? 0 : 255;
        }
    return encode(w, h, 3, JCS_RGB, s);
}

bool near(QRgb c, int r, int g, int b, int tolerance = 12) {
    return std::abs(qRed(c) - r) <= tolerance && std::abs(qGreen(c) - g) <= tolerance &&
           std::abs(qBlue(c) - b) <= tolerance;
}

QByteArray shippedPicture() {
    QFile f(":/shell/picture.jpg");
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(Jpeg, DecodesColoursInTheirPlaces) {
    const QImage img = JPEG::decode(redBlue(64, 32));
    ASSERT_EQ(img.size(), QSize(64, 32));
    EXPECT_EQ(img.format(), QImage::Format_RGB888);
    EXPECT_TRUE(near(img.pixel(5, 16), 255, 0, 0));
    EXPECT_TRUE(near(img.pixel(58, 16), 0, 0, 255));
}

TEST(Jpeg, GreyAndCmykPictures) {
    std::vector<unsigned char> grey(32 * 8);
    for (int i = 0; i < 32 * 8; ++i) grey[i] = (i % 32) < 16 ? 40 : 220;
    const QImage g = JPEG::decode(encode(32, 8, 1, JCS_GRAYSCALE, grey));
    EXPECT_EQ(g.format(), QImage::Format_Grayscale8);
    EXPECT_TRUE(near(g.pixel(2, 4), 40, 40, 40, 6));
    EXPECT_TRUE(near(g.pixel(30, 4), 220, 220, 220, 6));

    // Stored the way CMYK files are written (inverted, with the Adobe
    // marker): left cyan-free red, right black.
    std::vector<unsigned char> cmyk(32 * 8 * 4);
    for (int i = 0; i < 32 * 8; ++i) {
        unsigned char* p = &cmyk[i * 4];
        const bool left = (i % 32) < 16;
        p[0] = 255;             // no cyan
        p[1] = left ? 0 : 255;  // full magenta on the left
        p[2] = left ? 0 : 255;  // full yellow on the left
        p[3] = left ? 255 : 0;  // full black on the right
    }
    const QImage c = JPEG::decode(encode(32, 8, 4, JCS_CMYK, cmyk));
    EXPECT_TRUE(near(c.pixel(2, 4), 255, 0, 0));
    EXPECT_TRUE(near(c.pixel(30, 4), 0, 0, 0));
}

TEST(Jpeg, ScalesWhileDecoding) {
    const QByteArray data = shippedPicture();
    ASSERT_FALSE(data.isEmpty());
    const QImage full = JPEG::decode(data);
    EXPECT_EQ(full.size(), QSize(1600, 1000));
    EXPECT_EQ(JPEG::decode(data, {JPEG::TJPEGScale::jsHalf, 0}).size(), QSize(800, 500));
    EXPECT_EQ(JPEG::decode(data, {JPEG::TJPEGScale::jsQuarter, 0}).size(), QSize(400, 250));
    const QImage eighth = JPEG::decode(redBlue(61, 20), {JPEG::TJPEGScale::jsEighth, 0});
    EXPECT_EQ(eighth.size(), QSize(8, 3));  // rounded up
    EXPECT_TRUE(near(eighth.pixel(0, 1), 255, 0, 0, 20));
}

TEST(Jpeg, QuantisesToAtMostTheColoursAsked) {
    const QByteArray data = shippedPicture();
    const QImage full = JPEG::decode(data, {JPEG::TJPEGScale::jsQuarter, 0});
    const QImage few = JPEG::decode(data, {JPEG::TJPEGScale::jsQuarter, 16});
    ASSERT_EQ(few.format(), QImage::Format_Indexed8);
    EXPECT_LE(few.colorCount(), 16);
    EXPECT_EQ(few.size(), full.size());
    QSet<int> used;
    long long error = 0;
    for (int y = 0; y < few.height(); ++y)
        for (int x = 0; x < few.width(); ++x) {
            used.insert(few.pixelIndex(x, y));
            const QRgb a = few.pixel(x, y), b = full.pixel(x, y);
            error += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
        }
    EXPECT_GT(used.size(), 4);
    // Dithered, so single pixels stray, but the picture stays the picture.
    EXPECT_LT(error / (few.width() * few.height() * 3), 30);

    const QImage eight = JPEG::decode(redBlue(64, 32), {JPEG::TJPEGScale::jsFullSize, 8});
    EXPECT_TRUE(near(eight.pixel(5, 16), 255, 0, 0, 30));
    EXPECT_TRUE(near(eight.pixel(58, 16), 0, 0, 255, 30));
}

TEST(Jpeg, BadDataThrowsAndCutDataDecodesAsFarAsItGoes) {
    EXPECT_THROW(JPEG::decode(QByteArray()), JPEG::EJPEG);
    EXPECT_THROW(JPEG::decode(QByteArray("this is no picture at all")), JPEG::EJPEG);
    const QByteArray data = shippedPicture();
    EXPECT_THROW(JPEG::decode(data.left(20)), JPEG::EJPEG);  // cut inside the header
    const QImage cut = JPEG::decode(data.left(data.size() * 2 / 3));
    EXPECT_EQ(cut.size(), QSize(1600, 1000));
    const QImage whole = JPEG::decode(data);
    EXPECT_EQ(cut.pixel(800, 10), whole.pixel(800, 10));                               // the top is all there
    EXPECT_THROW(JPEG::decode(data, {JPEG::TJPEGScale::jsFullSize, 4}), JPEG::EJPEG);  // fewer than 8
    EXPECT_THROW(JPEG::decode(data, {JPEG::TJPEGScale::jsFullSize, 300}), JPEG::EJPEG);
}

TEST(Jpeg, PicturesLoadByRegisteredExtension) {
    QTemporaryDir dir;
    const QString jpg = dir.path() + "/a.JPEG", other = dir.path() + "/a.png";
    for (const QString& p : {jpg, other}) {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(redBlue(16, 8));
    }
    JPEG::registerFileFormats();
    EXPECT_TRUE(JPEG::isRegistered("jpg"));
    EXPECT_EQ(JPEG::loadPicture(jpg).size(), QSize(16, 8));
    EXPECT_EQ(JPEG::loadPicture(":/shell/picture.jpg").size(), QSize(1600, 1000));
    EXPECT_THROW(JPEG::loadPicture(other), JPEG::EInvalidGraphic);
    EXPECT_THROW(JPEG::loadPicture(dir.path() + "/missing.jpg"), JPEG::EInvalidGraphic);
}

}  // namespace
