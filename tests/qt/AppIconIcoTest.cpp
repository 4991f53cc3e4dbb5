// SPDX-License-Identifier: MIT
// The Windows program's icon file is the Linux drawing. SENTRYBELL_UPDATE_ICON=1 writes the file anew
// from the drawing (after a change to AppIcon.cpp) before the comparison.
#include "qt/AppIconIco.h"

#include "qt/QtTestApplication.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

const QString IconFile = QStringLiteral(SENTRYBELL_SOURCE_DIR "/data/windows/sentrybell.ico");

// Every image of an icon file, as Qt's own icon reader decodes it.
std::vector<QImage> imagesOf(QByteArray bytes)
{
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "ico");
    std::vector<QImage> images;
    for (int i = 0; i < reader.imageCount(); ++i) {
        reader.jumpToImage(i);
        images.push_back(reader.read().convertToFormat(QImage::Format_ARGB32));
    }
    return images;
}

// The largest difference of one channel between two images of the same size; colour is not compared
// where both are fully clear.
int largestDifference(const QImage& a, const QImage& b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max(largest, std::abs(qAlpha(p) - qAlpha(q)));
            if (qAlpha(p) != 0 || qAlpha(q) != 0) {
                largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                    std::abs(qBlue(p) - qBlue(q))});
            }
        }
    }
    return largest;
}

TEST(AppIconIco, TheWindowsIconFileIsTheDrawingAt16And32Pixels)
{
    TestApplication();
    const char* update = std::getenv("SENTRYBELL_UPDATE_ICON");
    if (update != nullptr && std::string(update) == "1") {
        QFile out(IconFile);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(AppIconIco());
    }
    QFile file(IconFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << IconFile.toStdString();
    const std::vector<QImage> committed = imagesOf(file.readAll());
    ASSERT_EQ(committed.size(), 2U);

    for (const QImage& image : committed) {
        ASSERT_EQ(image.width(), image.height());
        const QImage drawn = AppIconImage(image.width());
        ASSERT_EQ(drawn.size(), image.size());
        EXPECT_LE(largestDifference(image, drawn), 2) << image.width() << " px";
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "the corners are clear";
        EXPECT_EQ(qAlpha(image.pixel(image.width() / 2, image.height() / 2)), 255);
    }
    EXPECT_EQ(committed[0].width(), 16);
    EXPECT_EQ(committed[1].width(), 32);
}

TEST(AppIconIco, WhatIsWrittenIsReadBackAsDrawn)
{
    TestApplication();
    const std::vector<QImage> images = imagesOf(AppIconIco());
    ASSERT_EQ(images.size(), 2U);
    EXPECT_EQ(largestDifference(images[0], AppIconImage(16)), 0);
    EXPECT_EQ(largestDifference(images[1], AppIconImage(32)), 0);
}

} // namespace
