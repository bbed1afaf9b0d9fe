#pragma once

#include <QByteArray>
#include <QDBusArgument>
#include <QImage>
#include <QList>
#include <QMetaType>
#include <QString>

namespace tickwell {

// One icon of a status notifier item: ARGB32 pixels in network byte order, D-Bus type (iiay).
struct SniIconPixmap {
    int width = 0;
    int height = 0;
    QByteArray bytes;

    // The image as the protocol wants it: non-premultiplied ARGB, big-endian words.
    static SniIconPixmap fromImage(const QImage &image);
    QImage toImage() const;
};
using SniIconPixmapList = QList<SniIconPixmap>;

// The tool tip of a status notifier item, D-Bus type (sa(iiay)ss).
struct SniToolTip {
    QString iconName;
    SniIconPixmapList iconPixmaps;
    QString title;
    QString description;
};

// The pixmaps sent for an image: the image itself, plus a panel-sized copy of a large one so that
// hosts need not scale big pictures down on every paint.
SniIconPixmapList SniIconPixmaps(const QImage &image);

// Registers the types above with Qt's D-Bus type system; safe to call more than once.
void RegisterSniTypes();

QDBusArgument &operator<<(QDBusArgument &argument, const SniIconPixmap &pixmap);
const QDBusArgument &operator>>(const QDBusArgument &argument, SniIconPixmap &pixmap);
QDBusArgument &operator<<(QDBusArgument &argument, const SniToolTip &toolTip);
const QDBusArgument &operator>>(const QDBusArgument &argument, SniToolTip &toolTip);

} // namespace tickwell

Q_DECLARE_METATYPE(tickwell::SniIconPixmap)
Q_DECLARE_METATYPE(tickwell::SniToolTip)
