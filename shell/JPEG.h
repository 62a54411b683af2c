#pragma once
// JPEG pictures: decoding through the JPEG library's version 6 interface
// with optional scaling and colour quantisation, and the picture formats
// known by file extension ("jpg" and "jpeg" once registered at start-up).

#include <QByteArray>
#include <QImage>
#include <QString>
#include <stdexcept>

namespace JPEG {

// A file that is no JPEG picture or that the library cannot decode.
class EJPEG : public std::runtime_error {
public:
    explicit EJPEG(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// A picture file of an extension no format is registered for, or unreadable.
class EInvalidGraphic : public std::runtime_error {
public:
    explicit EInvalidGraphic(const QString& message) : std::runtime_error(message.toStdString()) {}
};

enum class TJPEGScale { jsFullSize = 1, jsHalf = 2, jsQuarter = 4, jsEighth = 8 };

struct TJPEGOptions {
    TJPEGScale scale = TJPEGScale::jsFullSize;
    // 0: full colour (RGB888, or Grayscale8 for a grey picture). 8..256:
    // an Indexed8 picture of at most that many colours, dithered.
    int quantizeColors = 0;
};

// Decodes a whole JPEG picture held in memory. Throws EJPEG.
QImage decode(const QByteArray& data, const TJPEGOptions& options = {});

// Makes "jpg" and "jpeg" files loadable with loadPicture. Start-up work.
void registerFileFormats();
bool isRegistered(const QString& extension);
// Loads a picture file (a Qt resource path too) by its extension through
// the registered formats. Throws EInvalidGraphic or EJPEG.
QImage loadPicture(const QString& fileName);

}  // namespace JPEG
