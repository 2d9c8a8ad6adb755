// The icon compiled into the Windows program: every size the shell asks for, each one the
// drawing made at that size. The file is read back by the toolkit's .ico reader, not by the
// code that wrote it, so a fault in the writer shows as well as a stale file.
#include "res/draw/image_painters.h"
#include "tests/support/same_picture.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImageReader>

namespace {

QVector<QImage> readIcoFile(const QString &path)
{
    QVector<QImage> images;
    QImageReader reader(path, "ico");
    for (int i = 0; i < reader.imageCount(); ++i) {
        if (!reader.jumpToImage(i))
            break;
        images.append(reader.read());
    }
    return images;
}

} // namespace

TEST(ProgramFileIcon, HoldsEachShellSizeDrawnAtThatSize)
{
    const QVector<QImage> images = readIcoFile(QStringLiteral(SORVELLA_RES_DIR "/sorvella.ico"));
    QVector<int> sides;
    for (const QImage &image : images) {
        EXPECT_EQ(image.width(), image.height());
        sides.append(image.width());
    }
    ASSERT_EQ(sides, QVector<int>({16, 20, 24, 32, 40, 48, 64, 256}))
        << "res/sorvella.ico is missing or incomplete; remake it with sorvella_draw_images";

    const QImage large = programFileIconImage(256);
    for (const QImage &image : images) {
        const int side = image.width();
        const QImage drawn = programFileIconImage(side);
        EXPECT_TRUE(samePicture(image, drawn))
            << side << " pixels: the file is not the current drawing at this size; remake it with sorvella_draw_images";
        if (side < 256) {
            const QImage scaled = large.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            EXPECT_FALSE(samePicture(drawn, scaled))
                << side << " pixels: the drawing is no different from the scaled 256";
        }
    }
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
