#include "FeedImages.h"

#include "GifEncoder.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace tickwell::feed {

namespace {

std::string pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

std::uint32_t nameHash(const std::string &name)
{
    std::uint32_t hash = 2166136261u;
    for (unsigned char c : name)
        hash = (hash ^ c) * 16777619u;
    return hash;
}

} // namespace

std::string ChartImagePng(const std::vector<double> &prices)
{
    constexpr int width = 192;
    constexpr int height = 96;
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(QColor(250, 250, 250));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(220, 220, 220), 1));
    for (int y = 16; y < height; y += 16)
        painter.drawLine(0, y, width, y);
    if (prices.size() >= 2) {
        const auto [low, high] = std::minmax_element(prices.begin(), prices.end());
        const double range = std::max(*high - *low, 0.01);
        QPainterPath path;
        for (std::size_t i = 0; i < prices.size(); ++i) {
            const double x = 4.0 + (width - 8.0) * static_cast<double>(i) / static_cast<double>(prices.size() - 1);
            const double y = height - 6.0 - (height - 12.0) * (prices[i] - *low) / range;
            if (i == 0)
                path.moveTo(x, y);
            else
                path.lineTo(x, y);
        }
        const bool rising = prices.back() >= prices.front();
        painter.setPen(QPen(rising ? QColor(0, 140, 60) : QColor(200, 30, 30), 2));
        painter.drawPath(path);
    }
    painter.end();
    return pngBytes(image);
}

std::string LogoGif(const std::string &symbol)
{
    constexpr int width = 64;
    constexpr int height = 24;
    const std::uint32_t hash = nameHash(symbol);
    const std::vector<GifEncoder::Color> palette{
        {255, 255, 255},
        {static_cast<std::uint8_t>(40 + hash % 160), static_cast<std::uint8_t>(40 + (hash >> 8) % 160),
         static_cast<std::uint8_t>(40 + (hash >> 16) % 160)},
        {20, 20, 40},
        {200, 200, 210},
    };
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width * height), 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t index = 0;
            if (y == 0 || y == height - 1 || x == 0 || x == width - 1)
                index = 3;
            else if (x >= 4 && x < 20 && y >= 4 && y < 20)
                index = 1;
            else if (x >= 24 && x < 60 && (y == 8 || y == 9 || y == 14 || y == 15) && ((x / 4 + (hash >> (y % 8))) % 3) != 0)
                index = 2;
            pixels[static_cast<std::size_t>(y * width + x)] = index;
        }
    }
    return GifEncoder::encode(width, height, palette, pixels);
}

std::string ArticleImagePng(const std::string &name)
{
    QImage image(320, 160, QImage::Format_RGB32);
    const std::uint32_t hash = nameHash(name);
    image.fill(QColor(230, 236, 244));
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    for (int bar = 0; bar < 8; ++bar) {
        const int barHeight = 20 + static_cast<int>((hash >> (bar * 3)) % 120);
        painter.setBrush(QColor(60, 100 + bar * 15, 170));
        painter.drawRect(16 + bar * 38, 150 - barHeight, 26, barHeight);
    }
    painter.end();
    return pngBytes(image);
}

} // namespace tickwell::feed
