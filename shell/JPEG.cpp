#include "shell/JPEG.h"

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <csetjmp>
#include <cstdio>
#include <cstring>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

namespace JPEG {

namespace {

// ---- error manager: the library's fatal errors jump back to the decoder

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char* message;  // JMSG_LENGTH_MAX characters, owned by the caller
};

extern "C" void onFatal(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

extern "C" void onMessage(j_common_ptr) {}  // warnings are not printed

// ---- source manager reading from memory

const JOCTET kFakeEoi[2] = {0xFF, JPEG_EOI};

extern "C" void initSource(j_decompress_ptr) {}

// Called only when the data ran out: feed an end-of-picture marker so a
// truncated picture decodes as far as it goes.
extern "C" boolean fillInputBuffer(j_decompress_ptr cinfo) {
    WARNMS(cinfo, JWRN_JPEG_EOF);
    cinfo->src->next_input_byte = kFakeEoi;
    cinfo->src->bytes_in_buffer = 2;
    return TRUE;
}

extern "C" void skipInputData(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    jpeg_source_mgr* src = cinfo->src;
    while (count > static_cast<long>(src->bytes_in_buffer)) {
        count -= static_cast<long>(src->bytes_in_buffer);
        fillInputBuffer(cinfo);
    }
    src->next_input_byte += count;
    src->bytes_in_buffer -= static_cast<size_t>(count);
}

extern "C" void termSource(j_decompress_ptr) {}

struct Output {
    QImage image;
    QByteArray cmykRow;
};

// Plain C-style decoding: nothing with a destructor lives in this frame,
// so the library's error jump skips no clean-up.
bool decodeInto(const QByteArray& data, const TJPEGOptions& options, Output* out, char* message) {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    jpeg_source_mgr src;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = onFatal;
    err.pub.output_message = onMessage;
    err.message = message;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    src.init_source = initSource;
    src.fill_input_buffer = fillInputBuffer;
    src.skip_input_data = skipInputData;
    src.resync_to_restart = jpeg_resync_to_restart;
    src.term_source = termSource;
    src.next_input_byte = reinterpret_cast<const JOCTET*>(data.constData());
    src.bytes_in_buffer = static_cast<size_t>(data.size());
    cinfo.src = &src;

    jpeg_read_header(&cinfo, TRUE);
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    const bool grey = cinfo.jpeg_color_space == JCS_GRAYSCALE;
    cinfo.out_color_space = cmyk ? JCS_CMYK : grey ? JCS_GRAYSCALE : JCS_RGB;
    cinfo.scale_num = 1;
    cinfo.scale_denom = static_cast<unsigned int>(options.scale);
    const bool quantize = options.quantizeColors > 0 && !cmyk;
    if (quantize) {
        cinfo.quantize_colors = TRUE;
        cinfo.desired_number_of_colors = options.quantizeColors;
        cinfo.two_pass_quantize = TRUE;
        cinfo.dither_mode = JDITHER_FS;
    }
    jpeg_start_decompress(&cinfo);

    const int w = static_cast<int>(cinfo.output_width);
    const int h = static_cast<int>(cinfo.output_height);
    if (w > 32768 || h > 32768) {
        std::snprintf(message, JMSG_LENGTH_MAX, "picture of %d x %d is too large", w, h);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    QImage::Format fmt = quantize ? QImage::Format_Indexed8 : grey ? QImage::Format_Grayscale8 : QImage::Format_RGB888;
    out->image = QImage(w, h, fmt);
    if (out->image.isNull()) {
        std::snprintf(message, JMSG_LENGTH_MAX, "picture of %d x %d is too large", w, h);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    if (quantize) {
        QList<QRgb> table;
        for (int i = 0; i < cinfo.actual_number_of_colors; ++i) {
            if (cinfo.out_color_components == 1) {
                const int v = cinfo.colormap[0][i];
                table.append(qRgb(v, v, v));
            } else {
                table.append(qRgb(cinfo.colormap[0][i], cinfo.colormap[1][i], cinfo.colormap[2][i]));
            }
        }
        out->image.setColorTable(table);
    }
    if (cmyk) out->cmykRow.resize(static_cast<qsizetype>(w) * 4);
    // Adobe writes CMYK inverted; that is what nearly every CMYK file holds.
    const bool inverted = cinfo.saw_Adobe_marker;
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = static_cast<int>(cinfo.output_scanline);
        JSAMPROW row = cmyk ? reinterpret_cast<JSAMPROW>(out->cmykRow.data()) : out->image.scanLine(y);
        jpeg_read_scanlines(&cinfo, &row, 1);
        if (cmyk) {
            uchar* dst = out->image.scanLine(y);
            const auto* s = reinterpret_cast<const uchar*>(out->cmykRow.constData());
            for (int x = 0; x < w; ++x, s += 4, dst += 3) {
                int c = s[0], m = s[1], yy = s[2], k = s[3];
                if (!inverted) c = 255 - c, m = 255 - m, yy = 255 - yy, k = 255 - k;
                dst[0] = static_cast<uchar>(c * k / 255);
                dst[1] = static_cast<uchar>(m * k / 255);
                dst[2] = static_cast<uchar>(yy * k / 255);
            }
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

using Decoder = QImage (*)(const QByteArray&);

QMap<QString, Decoder>& formats() {
    static QMap<QString, Decoder> m;
    return m;
}

QImage decodeDefault(const QByteArray& data) { return decode(data); }

}  // namespace

QImage decode(const QByteArray& data, const TJPEGOptions& options) {
    if (options.quantizeColors < 0 || options.quantizeColors > 256)
        throw EJPEG(QStringLiteral("number of colours out of range"));
    if (data.isEmpty()) throw EJPEG(QStringLiteral("empty picture data"));
    Output out;
    char message[JMSG_LENGTH_MAX] = {};
    if (!decodeInto(data, options, &out, message)) throw EJPEG(QString::fromLocal8Bit(message));
    return out.image;
}

void registerFileFormats() {
    formats().insert(QStringLiteral("jpg"), decodeDefault);
    formats().insert(QStringLiteral("jpeg"), decodeDefault);
}

bool isRegistered(const QString& extension) { return formats().contains(extension.toLower()); }

QImage loadPicture(const QString& fileName) {
    const QString ext = QFileInfo(fileName).suffix().toLower();
    const auto it = formats().constFind(ext);
    if (it == formats().constEnd()) throw EInvalidGraphic(QStringLiteral("unknown picture extension: .") + ext);
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly)) throw EInvalidGraphic(QStringLiteral("cannot read ") + fileName);
    return (*it)(f.readAll());
}

}  // namespace JPEG
