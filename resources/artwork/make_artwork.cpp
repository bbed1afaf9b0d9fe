// Draws Tickwell's own status and menu images (TIFF) and the application icon for the desktop's
// icon theme (PNG at the theme's usual sizes).
#include <QDir>
#include <QLinearGradient>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <vector>

namespace {

QImage canvas(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// The rising quote line of the icons, through the given points.
void drawQuoteLine(QPainter &p, const QColor &color, double width, std::initializer_list<QPointF> points)
{
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(*points.begin());
    for (auto point = points.begin() + 1; point != points.end(); ++point)
        path.lineTo(*point);
    p.drawPath(path);
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
    drawQuoteLine(p, QColor(20, 140, 60), 2.0, {{2, 12}, {8, 8}, {12, 10}, {20, 2}});
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

// The application icon: a rising quote line over a bar chart on a rounded tile. Drawn on a
// 256-unit grid; small sizes get fewer, wider bars and a heavier line so they stay legible.
QImage drawApplicationIcon(int size)
{
    QImage image = canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);
    const bool small = size <= 24;

    QLinearGradient tile(0, 0, 0, 256);
    tile.setColorAt(0, QColor(38, 92, 112));
    tile.setColorAt(1, QColor(20, 48, 60));
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(12, 12, 232, 232), 44, 44);

    p.setBrush(QColor(236, 242, 245, 220));
    const std::vector<double> heights = small ? std::vector<double>{70, 110, 150} : std::vector<double>{60, 96, 78, 128, 150};
    const double gap = small ? 16 : 12;
    const double barWidth = (176 - gap * double(heights.size() - 1)) / double(heights.size());
    for (size_t i = 0; i < heights.size(); ++i)
        p.drawRoundedRect(QRectF(40 + double(i) * (barWidth + gap), 216 - heights[i], barWidth, heights[i]), 6, 6);

    drawQuoteLine(p, QColor(70, 220, 110), small ? 30 : 20, {{36, 150}, {96, 104}, {136, 128}, {214, 48}});
    return image;
}

// The sizes desktops look up in the hicolor theme.
constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

bool saveApplicationIcons(const QString &themeFolder)
{
    bool ok = true;
    for (const int size : kIconSizes) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(themeFolder).arg(size);
        QDir().mkpath(folder);
        const QString path = folder + QStringLiteral("/com.brantlow.Tickwell.png");
        if (!drawApplicationIcon(size).save(path, "PNG")) {
            std::fprintf(stderr, "make-artwork: cannot write %s\n", qPrintable(path));
            ok = false;
        }
    }
    return ok;
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
    if (argc > 2)
        ok = saveApplicationIcons(QString::fromLocal8Bit(argv[2])) && ok;
    return ok ? 0 : 1;
}
