// Draws the program's icons into resources/images. Run by hand after a change:
//   g++ -std=c++17 -fPIC scripts/make-images.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/make-images
//   QT_QPA_PLATFORM=offscreen /tmp/make-images resources/images
// Each icon is a shape in a colour with a glyph or a small drawing on it.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

enum Shape { None, Round, Circle, Ring, Window, Doc, Folder, Shield, Die, Eye, EyeSlash, Bin, Arrow };

struct Icon
{
    const char* name;
    int size;
    Shape shape;
    QColor colour;
    QString glyph;
};

QPainterPath shieldPath(const QRectF& r)
{
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right(), r.top());
    path.lineTo(r.right(), r.top() + r.height() * 0.45);
    path.quadTo(r.right(), r.bottom() - r.height() * 0.15, r.center().x(), r.bottom());
    path.quadTo(r.left(), r.bottom() - r.height() * 0.15, r.left(), r.top() + r.height() * 0.45);
    path.closeSubpath();
    return path;
}

void drawGlyph(QPainter& p, const QRectF& area, const QString& glyph, const QColor& colour)
{
    if (glyph.isEmpty())
        return;
    QFont font("DejaVu Sans");
    font.setBold(true);
    font.setPixelSize(qMax(6, int(area.height() * (glyph.size() > 2 ? 0.42 : glyph.size() > 1 ? 0.55 : 0.75))));
    p.setFont(font);
    p.setPen(colour);
    p.drawText(area, Qt::AlignCenter, glyph);
}

void drawDie(QPainter& p, const QRectF& r, int pips, const QColor& colour)
{
    p.setPen(QPen(Qt::black, qMax(1.0, r.width() / 16)));
    p.setBrush(colour);
    p.drawRoundedRect(r, r.width() / 5, r.width() / 5);
    const qreal s = r.width();
    const QPointF c = r.center();
    const qreal o = s * 0.26;
    QList<QPointF> at;
    if (pips % 2)
        at << c;
    if (pips >= 2)
        at << c + QPointF(-o, -o) << c + QPointF(o, o);
    if (pips >= 4)
        at << c + QPointF(o, -o) << c + QPointF(-o, o);
    if (pips == 6)
        at << c + QPointF(-o, 0) << c + QPointF(o, 0);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    for (const QPointF& point : at)
        p.drawEllipse(point, s * 0.09, s * 0.09);
}

void drawEye(QPainter& p, const QRectF& r, const QColor& colour, bool slashed)
{
    QPainterPath lid;
    lid.moveTo(r.left(), r.center().y());
    lid.quadTo(r.center().x(), r.top() - r.height() * 0.1, r.right(), r.center().y());
    lid.quadTo(r.center().x(), r.bottom() + r.height() * 0.1, r.left(), r.center().y());
    p.setPen(QPen(colour.darker(150), qMax(1.0, r.width() / 16)));
    p.setBrush(Qt::white);
    p.drawPath(lid);
    p.setBrush(colour);
    p.drawEllipse(r.center(), r.height() * 0.22, r.height() * 0.22);
    if (slashed) {
        p.setPen(QPen(Qt::black, qMax(1.5, r.width() / 10), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(r.topLeft() + QPointF(r.width() * 0.1, 0), r.bottomRight() - QPointF(r.width() * 0.1, 0));
    }
}

void drawBin(QPainter& p, const QRectF& r, const QColor& colour)
{
    const qreal w = r.width();
    p.setPen(QPen(colour.darker(180), qMax(1.0, w / 16)));
    p.setBrush(colour);
    p.drawRect(QRectF(r.left() + w * 0.1, r.top() + w * 0.12, w * 0.8, w * 0.12));
    p.drawRect(QRectF(r.left() + w * 0.38, r.top(), w * 0.24, w * 0.12));
    QPainterPath body;
    body.moveTo(r.left() + w * 0.18, r.top() + w * 0.3);
    body.lineTo(r.right() - w * 0.18, r.top() + w * 0.3);
    body.lineTo(r.right() - w * 0.26, r.bottom());
    body.lineTo(r.left() + w * 0.26, r.bottom());
    body.closeSubpath();
    p.drawPath(body);
    for (qreal x : {0.4, 0.5, 0.6})
        p.drawLine(QPointF(r.left() + w * x, r.top() + w * 0.4), QPointF(r.left() + w * x, r.bottom() - w * 0.1));
}

void drawArrow(QPainter& p, const QRectF& r, const QColor& colour)
{
    const qreal w = r.width(), h = r.height();
    QPolygonF arrow;
    arrow << QPointF(r.left() + w * 0.1, r.top() + h * 0.38) << QPointF(r.left() + w * 0.55, r.top() + h * 0.38)
          << QPointF(r.left() + w * 0.55, r.top() + h * 0.15) << QPointF(r.right() - w * 0.05, r.center().y())
          << QPointF(r.left() + w * 0.55, r.bottom() - h * 0.15) << QPointF(r.left() + w * 0.55, r.bottom() - h * 0.38)
          << QPointF(r.left() + w * 0.1, r.bottom() - h * 0.38);
    p.setPen(QPen(colour.darker(160), qMax(1.0, w / 32)));
    p.setBrush(colour);
    p.drawPolygon(arrow);
}

QImage draw(const Icon& icon)
{
    QImage image(icon.size, icon.size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = icon.size;
    const qreal m = qMax(0.5, s / 16);
    const QRectF r(m, m, s - 2 * m, s - 2 * m);
    const QPen edge(icon.colour.darker(170), qMax(1.0, s / 24));
    QColor ink = Qt::white;
    QRectF glyphArea = r;
    p.setPen(edge);
    p.setBrush(icon.colour);
    switch (icon.shape) {
    case None:
        ink = icon.colour;
        break;
    case Round:
        p.drawRoundedRect(r, s / 5, s / 5);
        break;
    case Circle:
        p.drawEllipse(r);
        break;
    case Ring:
        p.setBrush(Qt::white);
        p.drawEllipse(r);
        ink = icon.colour.darker(130);
        break;
    case Window:
        p.setBrush(Qt::white);
        p.drawRoundedRect(r, s / 10, s / 10);
        p.setBrush(icon.colour);
        p.drawRect(QRectF(r.left(), r.top(), r.width(), r.height() * 0.25));
        glyphArea = r.adjusted(0, r.height() * 0.25, 0, 0);
        ink = icon.colour.darker(120);
        break;
    case Doc: {
        QPolygonF page;
        page << QPointF(r.left() + s * 0.12, r.top()) << QPointF(r.right() - s * 0.3, r.top())
             << QPointF(r.right() - s * 0.08, r.top() + s * 0.22) << QPointF(r.right() - s * 0.08, r.bottom())
             << QPointF(r.left() + s * 0.12, r.bottom());
        p.drawPolygon(page);
        glyphArea = r.adjusted(s * 0.1, s * 0.15, -s * 0.06, 0);
        ink = icon.colour.lightness() > 200 ? QColor(40, 40, 40) : QColor(Qt::white);
        break;
    }
    case Folder: {
        QPainterPath folder;
        folder.moveTo(r.left(), r.top() + s * 0.15);
        folder.lineTo(r.left() + s * 0.35, r.top() + s * 0.15);
        folder.lineTo(r.left() + s * 0.45, r.top() + s * 0.28);
        folder.lineTo(r.right(), r.top() + s * 0.28);
        folder.lineTo(r.right(), r.bottom() - s * 0.08);
        folder.lineTo(r.left(), r.bottom() - s * 0.08);
        folder.closeSubpath();
        p.drawPath(folder);
        break;
    }
    case Shield:
        p.drawPath(shieldPath(r));
        glyphArea = r.adjusted(0, 0, 0, -r.height() * 0.15);
        break;
    case Die:
        drawDie(p, r, icon.glyph.toInt(), icon.colour);
        return image;
    case Eye:
    case EyeSlash:
        drawEye(p, r.adjusted(0, s * 0.18, 0, -s * 0.18), icon.colour, icon.shape == EyeSlash);
        return image;
    case Bin:
        drawBin(p, r, icon.colour);
        return image;
    case Arrow:
        drawArrow(p, r, icon.colour);
        return image;
    }
    drawGlyph(p, glyphArea, icon.glyph, ink);
    return image;
}

const QColor red(190, 40, 40), green(40, 150, 60), blue(40, 90, 190), amber(220, 150, 20), grey(140, 140, 140),
    purple(120, 60, 170), teal(20, 140, 140), brown(140, 90, 40), navy(30, 50, 110), pink(220, 70, 120),
    slate(80, 100, 120), paper(250, 250, 245), gold(235, 190, 60);

const Icon icons[] = {
    // The main window's commands.
    {"dms-window32.png", 32, Window, navy, "DM"},
    {"monster-window32.png", 32, Window, red, "M"},
    {"heros-window32.png", 32, Window, blue, "H"},
    {"players-window-open32.png", 32, Window, green, "P"},
    {"players-window-close32.png", 32, Window, grey, "P"},
    {"pick-party32.png", 32, Round, teal, QString::fromUtf8("\u265F\u265F")},
    {"load-encounter32.png", 32, Doc, amber, "E"},
    {"add-monster32.png", 32, Circle, red, "+M"},
    {"back32.png", 32, Circle, blue, QString::fromUtf8("\u21B6")},
    {"forward32.png", 32, Circle, blue, QString::fromUtf8("\u21B7")},
    {"play32.png", 32, Circle, green, QString::fromUtf8("\u25B6")},
    {"stop32.png", 32, Circle, red, QString::fromUtf8("\u25A0")},
    {"next-turn32.png", 32, Circle, green, QString::fromUtf8("\u00BB")},
    {"next-turn-grey32.png", 32, Circle, grey, QString::fromUtf8("\u00BB")},
    {"conditions-effects32.png", 32, Round, purple, QString::fromUtf8("\u2736")},
    {"hide32.png", 32, EyeSlash, slate, ""},
    {"show32.png", 32, Eye, blue, ""},
    {"alias32.png", 32, Round, brown, "@"},
    {"trash32.png", 32, Bin, grey, ""},
    {"delay-turn32.png", 32, Circle, amber, QString::fromUtf8("\u25F7")},
    {"ready-action32.png", 32, Circle, amber, "!"},
    {"jump-in32.png", 32, Circle, teal, QString::fromUtf8("\u21B1")},
    {"initiative-up32.png", 32, Round, slate, QString::fromUtf8("\u25B2")},
    {"initiative-down32.png", 32, Round, slate, QString::fromUtf8("\u25BC")},
    {"short-rest32.png", 32, Round, blue, QString::fromUtf8("\u2615")},
    {"ext-rest32.png", 32, Round, navy, QString::fromUtf8("\u263E")},
    {"hit32.png", 32, Circle, red, QString::fromUtf8("\u2694")},
    {"heal32.png", 32, Circle, green, QString::fromUtf8("\u271A")},
    {"healing-surge32.png", 32, Circle, pink, QString::fromUtf8("\u2665")},
    {"healing-surge-x1-32.png", 32, Circle, pink, QString::fromUtf8("\u2665" "1")},
    {"temporary-hp32.png", 32, Shield, teal, "T"},
    // The initiative table and stat blocks.
    {"arrow-right-green128.png", 128, Arrow, green, ""},
    {"delay-turn16.png", 16, Circle, amber, QString::fromUtf8("\u25F7")},
    {"ready-action16.png", 16, Circle, amber, "!"},
    {"faided-eye128.png", 128, Eye, QColor(200, 200, 210), ""},
    {"skull-xbones16.png", 16, None, Qt::black, QString::fromUtf8("\u2620")},
    {"open14.png", 14, None, slate, QString::fromUtf8("\u25B8")},
    {"close14.png", 14, None, slate, QString::fromUtf8("\u25BE")},
    {"select-portrait.png", 96, Round, QColor(210, 210, 215), "+"},
    {"monster-shield.png", 96, Shield, red, "M"},
    {"hero-shield.png", 96, Shield, blue, "H"},
    {"stats/tick.png", 14, None, green, QString::fromUtf8("\u2713")},
    {"stats/untick.png", 14, None, grey, QString::fromUtf8("\u2717")},
    {"stats/edit.png", 14, None, brown, QString::fromUtf8("\u270E")},
    {"stats/weapon.png", 16, Circle, brown, "W"},
    {"stats/ranged-weapon.png", 16, Circle, brown, "Rw"},
    {"stats/melee-basic.png", 16, Ring, red, "M"},
    {"stats/melee.png", 16, Circle, red, "M"},
    {"stats/ranged-basic.png", 16, Ring, blue, "R"},
    {"stats/ranged.png", 16, Circle, blue, "R"},
    {"stats/area-basic.png", 16, Ring, purple, "A"},
    {"stats/area.png", 16, Circle, purple, "A"},
    {"stats/close-basic.png", 16, Ring, amber, "C"},
    {"stats/close.png", 16, Circle, amber, "C"},
    {"stats/aura.png", 16, Circle, teal, QString::fromUtf8("\u25CE")},
    {"stats/melee-ranged.png", 16, Circle, slate, "MR"},
    {"stats/secondary.png", 16, Round, grey, "2"},
    {"stats/detail.png", 16, Round, navy, "i"},
    // Recharge dice: PNG data under the names stored in power headers.
    {"stats/2a.gif", 16, Die, paper, "2"},
    {"stats/3a.gif", 16, Die, paper, "3"},
    {"stats/4a.gif", 16, Die, paper, "4"},
    {"stats/5a.gif", 16, Die, paper, "5"},
    {"stats/6a.gif", 16, Die, paper, "6"},
    // Power program editor.
    {"up16.png", 16, Round, slate, QString::fromUtf8("\u25B2")},
    {"down16.png", 16, Round, slate, QString::fromUtf8("\u25BC")},
    {"x16.png", 16, Round, red, QString::fromUtf8("\u2715")},
    {"trash-can16.png", 16, Bin, grey, ""},
    // Library editors.
    {"refresh.png", 16, Circle, teal, QString::fromUtf8("\u21BB")},
    {"folder.png", 16, Folder, gold, ""},
    {"blank-doc.png", 16, Doc, paper, ""},
    {"blank-import-doc.png", 16, Doc, paper, QString::fromUtf8("\u2713")},
    {"blank-import-mod-doc.png", 16, Doc, paper, QString::fromUtf8("\u270E")},
    {"monster-doc.png", 16, Doc, red, ""},
    {"imported-doc.png", 16, Doc, red, QString::fromUtf8("\u2713")},
    {"imported-doc-mod.png", 16, Doc, red, QString::fromUtf8("\u270E")},
    // Message boxes.
    {"rvhn-info.png", 64, Circle, blue, "i"},
    {"rvhn-logo.png", 128, Shield, navy, "R"},
};

}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString("resources/images"));
    int failures = 0;
    for (const Icon& icon : icons) {
        const QString path = folder.filePath(icon.name);
        QDir().mkpath(QFileInfo(path).path());
        if (!draw(icon).save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            ++failures;
        }
    }
    // The spacer that keeps text from shifting when the pencil shows is meant to be empty.
    QImage spacer(14, 14, QImage::Format_ARGB32);
    spacer.fill(Qt::transparent);
    if (!spacer.save(folder.filePath("stats/blank.png"), "PNG"))
        ++failures;
    return failures ? 1 : 0;
}
