// Paints the main window's picture (a harbour with a loaded container ship)
// and writes it as a JPEG file through the JPEG library's compressor.
// Usage: make_picture <out.jpg>   (run with QT_QPA_PLATFORM=offscreen)

#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <cstdio>

extern "C" {
#include <jpeglib.h>
}

namespace {

const int kW = 1600, kH = 1000;

void container(QPainter& p, QRectF r, QColor c) {
    p.setPen(QPen(c.darker(140), 1.5));
    p.setBrush(c);
    p.drawRect(r);
    p.setPen(QPen(c.darker(120), 1));
    for (double x = r.left() + 6; x < r.right() - 3; x += 6)
        p.drawLine(QPointF(x, r.top() + 3), QPointF(x, r.bottom() - 3));
}

QImage paint() {
    QImage img(kW, kH, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, 640);
    sky.setColorAt(0, QColor(38, 92, 160));
    sky.setColorAt(0.7, QColor(150, 196, 232));
    sky.setColorAt(1, QColor(226, 238, 246));
    p.fillRect(0, 0, kW, 640, sky);

    QLinearGradient sea(0, 640, 0, kH);
    sea.setColorAt(0, QColor(40, 110, 150));
    sea.setColorAt(1, QColor(12, 48, 86));
    p.fillRect(0, 640, kW, kH - 640, sea);
    p.setPen(QPen(QColor(255, 255, 255, 60), 2));
    QRandomGenerator rng(7);
    for (int i = 0; i < 120; ++i) {
        const int x = rng.bounded(kW), y = 660 + rng.bounded(kH - 660), l = 20 + rng.bounded(60);
        p.drawLine(x, y, x + l, y);
    }

    // Quay with its crane on the right.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 150, 146));
    p.drawRect(1290, 630, kW - 1290, 46);
    p.setBrush(QColor(110, 110, 108));
    p.drawRect(1290, 676, kW - 1290, 10);
    p.setBrush(QColor(214, 70, 40));
    p.drawRect(1330, 250, 22, 382);
    p.drawRect(1450, 250, 22, 382);
    p.drawRect(1060, 230, 520, 24);
    p.drawRect(1380, 140, 16, 100);
    p.setPen(QPen(QColor(214, 70, 40), 5));
    p.drawLine(1388, 150, 1080, 232);
    p.drawLine(1388, 150, 1570, 232);
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.drawLine(1180, 254, 1180, 380);
    container(p, QRectF(1150, 380, 60, 26), QColor(60, 140, 200));

    // Hull.
    QPainterPath hull;
    hull.moveTo(120, 560);
    hull.lineTo(1260, 560);
    hull.lineTo(1200, 680);
    hull.lineTo(200, 680);
    hull.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(32, 44, 64));
    p.drawPath(hull);
    p.setBrush(QColor(180, 40, 40));
    p.drawRect(QRectF(190, 660, 1020, 20));

    // Bridge.
    p.setBrush(QColor(236, 236, 230));
    p.drawRect(QRectF(170, 430, 110, 130));
    p.setBrush(QColor(60, 80, 110));
    for (int i = 0; i < 4; ++i) p.drawRect(QRectF(180 + i * 25, 445, 18, 14));

    // Stacked containers.
    const QColor colours[] = {QColor(200, 60, 50),   QColor(40, 120, 190), QColor(230, 160, 40), QColor(60, 150, 90),
                              QColor(150, 150, 160), QColor(120, 70, 150), QColor(210, 100, 40)};
    for (int bay = 0; bay < 15; ++bay) {
        const int tiers = 3 + static_cast<int>((bay * 7 + 3) % 4);
        for (int t = 0; t < tiers; ++t) {
            const QColor c = colours[(bay * 3 + t * 5) % 7];
            container(p, QRectF(300 + bay * 62, 560 - (t + 1) * 28, 60, 27), c);
        }
    }

    // Title.
    QFont title(QStringLiteral("Noto Sans CJK SC"));
    title.setPixelSize(120);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(0, 0, 0, 70));
    p.drawText(QRect(84, 64, 900, 160), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("舱易通"));
    p.setPen(QColor(255, 255, 255));
    p.drawText(QRect(80, 60, 900, 160), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("舱易通"));
    QFont sub(QStringLiteral("Noto Sans CJK SC"));
    sub.setPixelSize(40);
    p.setFont(sub);
    p.drawText(QRect(86, 210, 900, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("集装箱装载方案规划"));
    p.end();
    return img;
}

bool writeJpeg(const QImage& image, const char* path, int quality) {
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f);
    cinfo.image_width = static_cast<JDIMENSION>(rgb.width());
    cinfo.image_height = static_cast<JDIMENSION>(rgb.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_picture <out.jpg>\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    return writeJpeg(paint(), argv[1], 85) ? 0 : 1;
}
