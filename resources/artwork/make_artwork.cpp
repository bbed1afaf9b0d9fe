// Draws Tickwell's own status and menu images and writes them as TIFF files.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

QImage canvas(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A rising ticker line over a small bar chart.
QImage drawAppIcon()
{
    QImage image = canvas(22, 22);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 60, 60));
    const int heights[] = {6, 10, 8, 14};
    for (int i = 0; i < 4; ++i)
        p.drawRect(QRectF(3 + i * 4.5, 20 - heights[i], 3, heights[i]));
    QPen pen(QColor(20, 140, 60), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(2, 12);
    path.lineTo(8, 8);
    path.lineTo(12, 10);
    path.lineTo(20, 2);
    p.drawPath(path);
    return image;
}

// A bell: dome, rim and clapper.
QImage drawBell()
{
    QImage image = canvas(22, 22);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 150, 30));
    QPainterPath dome;
    dome.moveTo(4, 17);
    dome.cubicTo(6, 15, 5, 4, 11, 3);
    dome.cubicTo(17, 4, 16, 15, 18, 17);
    dome.closeSubpath();
    p.drawPath(dome);
    p.drawRoundedRect(QRectF(3, 16, 16, 2.5), 1, 1);
    p.setBrush(QColor(120, 80, 10));
    p.drawEllipse(QPointF(11, 20), 2, 2);
    return image;
}

QImage drawArrow(bool up)
{
    QImage image = canvas(12, 12);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(up ? QColor(0, 160, 60) : QColor(210, 30, 30));
    QPolygonF triangle;
    if (up)
        triangle << QPointF(6, 1.5) << QPointF(11, 10) << QPointF(1, 10);
    else
        triangle << QPointF(1, 2) << QPointF(11, 2) << QPointF(6, 10.5);
    p.drawPolygon(triangle);
    return image;
}

bool save(const QImage &image, const QString &folder, const char *name)
{
    const QString path = QDir(folder).filePath(QString::fromLatin1(name));
    if (!image.save(path, "TIFF")) {
        std::fprintf(stderr, "make-artwork: cannot write %s (is the TIFF image plugin installed?)\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);
    bool ok = save(drawAppIcon(), folder, "Tickwell.tif");
    ok = save(drawBell(), folder, "OpeningBell.tif") && ok;
    ok = save(drawArrow(true), folder, "menuitem_up_g.tif") && ok;
    ok = save(drawArrow(false), folder, "menuitem_down_r.tif") && ok;
    ok = save(canvas(12, 12), folder, "menuitem_spacer.tif") && ok;
    return ok ? 0 : 1;
}
