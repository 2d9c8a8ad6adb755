// Draws every image of the program, and the program file's icon (sorvella.ico), into a folder
// (the res/ folder by default):
//   sorvella_draw_images [output-folder] [review-sheet.png]
#include "res/draw/image_painters.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(SORVELLA_RES_DIR);
    QDir().mkpath(folder);

    QVector<DrawnImage> images = drawAppIcons();
    images += drawControlImages();
    images += drawControlImages(2);

    QTextStream out(stdout);
    int failures = 0;
    for (const DrawnImage &drawn : images) {
        const QString path = QDir(folder).filePath(drawn.fileName);
        const bool saved = drawn.image.save(path, "PNG");
        out << (saved ? "wrote " : "FAILED ") << path << " (" << drawn.image.width() << "x"
            << drawn.image.height() << ")\n";
        failures += saved ? 0 : 1;
    }

    QVector<QImage> iconImages;
    for (int size : programFileIconSizes()) {
        iconImages.append(programFileIconImage(size));
        images.append({QStringLiteral("sorvella.ico %1").arg(size), iconImages.last()});
    }
    QFile ico(QDir(folder).filePath(QStringLiteral("sorvella.ico")));
    const bool icoSaved = ico.open(QIODevice::WriteOnly) && ico.write(icoFileData(iconImages)) > 0 && ico.flush();
    out << (icoSaved ? "wrote " : "FAILED ") << ico.fileName() << " (" << iconImages.size() << " sizes)\n";
    failures += icoSaved ? 0 : 1;

    if (argc > 2 && !contactSheet(images).save(QString::fromLocal8Bit(argv[2]), "PNG"))
        ++failures;
    return failures == 0 ? 0 : 1;
}
