// SPDX-License-Identifier: Apache-2.0
// Renders the program's SVG icon into a square PNG: the fixed sizes an icon theme keeps beside the
// scalable picture, made at build time so that they always match it.
//
// Usage: quorvane_render_icon SOURCE.svg SIZE OUT.png   (exit 0 written, 1 failed, 2 usage)
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    const int size = argc == 4 ? std::atoi(argv[2]) : 0;
    if (size <= 0 || size > 4096) {
        std::fputs("Usage: quorvane_render_icon SOURCE.svg SIZE OUT.png\n", stderr);
        return 2;
    }
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "quorvane_render_icon: cannot read %s\n", argv[1]);
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    if (!image.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "quorvane_render_icon: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
