// Draws the sample picture that ships beside the program: a meadow flower under a summer sky,
// with the broad areas of colour and soft gradients that make a good first chart.
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: trameda_makesample OUTPUT.jpg\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    QImage image(360, 400, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, 260);
    sky.setColorAt(0, QColor(0x3b, 0x7d, 0xd8));
    sky.setColorAt(1, QColor(0xbf, 0xe3, 0xff));
    p.fillRect(image.rect(), sky);

    QRadialGradient sun(290, 70, 45);
    sun.setColorAt(0, QColor(0xff, 0xf4, 0xa0));
    sun.setColorAt(0.7, QColor(0xff, 0xd2, 0x3f));
    sun.setColorAt(1, QColor(0xff, 0xd2, 0x3f, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(QPointF(290, 70), 45, 45);

    QPainterPath hills;
    hills.moveTo(0, 250);
    hills.cubicTo(90, 200, 200, 290, 360, 230);
    hills.lineTo(360, 400);
    hills.lineTo(0, 400);
    QLinearGradient grass(0, 220, 0, 400);
    grass.setColorAt(0, QColor(0x7c, 0xc2, 0x4a));
    grass.setColorAt(1, QColor(0x2f, 0x6b, 0x1f));
    p.setBrush(grass);
    p.drawPath(hills);

    p.setPen(QPen(QColor(0x2e, 0x7d, 0x32), 7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(150, 190), QPointF(160, 370));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x43, 0xa0, 0x47));
    p.drawEllipse(QPointF(185, 300), 28, 11);
    p.drawEllipse(QPointF(130, 330), 26, 10);

    const QPointF centre(150, 160);
    p.setBrush(QColor(0xe5, 0x39, 0x35));
    for (int i = 0; i < 8; ++i) {
        const double angle = i * M_PI / 4;
        const QPointF at = centre + QPointF(std::cos(angle), std::sin(angle)) * 42;
        p.drawEllipse(at, 30, 30);
    }
    p.setBrush(QColor(0xfd, 0xd8, 0x35));
    p.drawEllipse(centre, 30, 30);
    p.setBrush(QColor(0x8d, 0x5a, 0x2b));
    p.drawEllipse(centre, 14, 14);
    p.end();

    if (!image.save(QString::fromLocal8Bit(argv[1]), "JPG", 92)) {
        std::fprintf(stderr, "trameda_makesample: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
