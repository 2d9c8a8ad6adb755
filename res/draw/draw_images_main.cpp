// Draws every image of the program into a folder (the res/ folder by default):
//   sorvella_draw_images [output-folder] [review-sheet.png]
#include "res/draw/image_painters.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(SORVELLA_RES_DIR);
    QDir().mkpath(folder);

    QVector<DrawnImage> images = drawAppIcons();
    images += drawControlImages();

    QTextStream out(stdout);
    int failures = 0;
    for (const DrawnImage &drawn : images) {
        const QString path = QDir(folder).filePath(drawn.fileName);
        const bool saved = drawn.image.save(path, "PNG");
        out << (saved ? "wrote " : "FAILED ") << path << " (" << drawn.image.width() << "x"
            << drawn.image.height() << ")\n";
        failures += saved ? 0 : 1;
    }
    if (argc > 2 && !contactSheet(images).save(QString::fromLocal8Bit(argv[2]), "PNG"))
        ++failures;
    return failures == 0 ? 0 : 1;
}
