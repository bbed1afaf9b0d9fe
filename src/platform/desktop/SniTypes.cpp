#include "platform/desktop/SniTypes.h"

#include <QDBusMetaType>
#include <QtEndian>

namespace tickwell {

namespace {

// Panels are at most a few dozen pixels high; larger images also get a copy of this size.
constexpr int kPanelIconSize = 32;

} // namespace

SniIconPixmap SniIconPixmap::fromImage(const QImage &image)
{
    SniIconPixmap pixmap;
    if (image.isNull())
        return pixmap;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    pixmap.width = argb.width();
    pixmap.height = argb.height();
    pixmap.bytes.resize(qsizetype(argb.width()) * argb.height() * 4);
    auto *out = reinterpret_cast<uchar *>(pixmap.bytes.data());
    for (int y = 0; y < argb.height(); ++y) {
        const auto *line = reinterpret_cast<const quint32 *>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x, out += 4)
            qToBigEndian<quint32>(line[x], out);
    }
    return pixmap;
}

QImage SniIconPixmap::toImage() const
{
    if (width <= 0 || height <= 0 || bytes.size() != qsizetype(width) * height * 4)
        return {};
    QImage image(width, height, QImage::Format_ARGB32);
    const auto *in = reinterpret_cast<const uchar *>(bytes.constData());
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<quint32 *>(image.scanLine(y));
        for (int x = 0; x < width; ++x, in += 4)
            line[x] = qFromBigEndian<quint32>(in);
    }
    return image;
}

SniIconPixmapList SniIconPixmaps(const QImage &image)
{
    SniIconPixmapList pixmaps;
    if (image.isNull())
        return pixmaps;
    pixmaps.append(SniIconPixmap::fromImage(image));
    if (image.width() > kPanelIconSize || image.height() > kPanelIconSize) {
        pixmaps.append(SniIconPixmap::fromImage(
            image.scaled(kPanelIconSize, kPanelIconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    }
    return pixmaps;
}

void RegisterSniTypes()
{
    qDBusRegisterMetaType<SniIconPixmap>();
    qDBusRegisterMetaType<SniIconPixmapList>();
    qDBusRegisterMetaType<SniToolTip>();
}

QDBusArgument &operator<<(QDBusArgument &argument, const SniIconPixmap &pixmap)
{
    argument.beginStructure();
    argument << pixmap.width << pixmap.height << pixmap.bytes;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, SniIconPixmap &pixmap)
{
    argument.beginStructure();
    argument >> pixmap.width >> pixmap.height >> pixmap.bytes;
    argument.endStructure();
    return argument;
}

QDBusArgument &operator<<(QDBusArgument &argument, const SniToolTip &toolTip)
{
    argument.beginStructure();
    argument << toolTip.iconName << toolTip.iconPixmaps << toolTip.title << toolTip.description;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, SniToolTip &toolTip)
{
    argument.beginStructure();
    argument >> toolTip.iconName >> toolTip.iconPixmaps >> toolTip.title >> toolTip.description;
    argument.endStructure();
    return argument;
}

} // namespace tickwell
