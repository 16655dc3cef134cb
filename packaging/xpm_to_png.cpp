// SPDX-License-Identifier: MIT
// Build tool: writes the program icon (an XPM picture) as a PNG file of the
// same size for the desktop's icon theme.
#include <QImage>
#include <QString>
#include <cstdio>

// Usage: doze_xpm_to_png INPUT.xpm OUTPUT.png. Exit 0 when OUTPUT was written,
// 1 when INPUT cannot be read or OUTPUT cannot be written, 2 on wrong usage.
int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: doze_xpm_to_png INPUT.xpm OUTPUT.png\n");
        return 2;
    }
    const QString input = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);
    QImage image;
    if (!image.load(input, "XPM")) {
        std::fprintf(stderr, "doze_xpm_to_png: %s: not a readable XPM picture\n", argv[1]);
        return 1;
    }
    // Keep the transparent pixels transparent in the PNG.
    image = image.convertToFormat(QImage::Format_ARGB32);
    if (!image.save(output, "PNG", 9)) {
        std::fprintf(stderr, "doze_xpm_to_png: %s: cannot be written\n", argv[2]);
        return 1;
    }
    return 0;
}
