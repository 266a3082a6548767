#include "app/command_icons.h"

#include <QPainter>

#include <cmath>
#include <QPainterPath>
#include <QPixmap>

using nettor::Command;

namespace {

constexpr int kSide = 32;

const QColor kInk(0x30, 0x30, 0x38);
const QColor kPaper(0xfb, 0xfb, 0xf7);
const QColor kBlue(0x2f, 0x6d, 0xb5);

QPen ink(double width = 2.0)
{
    return QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void drawSheet(QPainter& p, const QRectF& r)
{
    QPainterPath sheet;
    sheet.moveTo(r.topLeft());
    sheet.lineTo(r.right() - 6, r.top());
    sheet.lineTo(r.right(), r.top() + 6);
    sheet.lineTo(r.bottomRight());
    sheet.lineTo(r.bottomLeft());
    sheet.closeSubpath();
    p.setPen(ink(1.6));
    p.setBrush(kPaper);
    p.drawPath(sheet);
}

void drawMagnifier(QPainter& p, bool plus)
{
    p.setPen(ink(3.0));
    p.drawLine(QPointF(19, 19), QPointF(28, 28));
    p.setPen(ink(2.2));
    p.setBrush(QColor(0xdd, 0xea, 0xf7));
    p.drawEllipse(QPointF(13, 13), 9, 9);
    p.setPen(QPen(kBlue, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9, 13), QPointF(17, 13));
    if (plus) p.drawLine(QPointF(13, 9), QPointF(13, 17));
}

// A triangle piece of the pattern and arrows out of or into it.
void drawScale(QPainter& p, bool up)
{
    p.setPen(ink(1.6));
    p.setBrush(QColor(0xf3, 0xd9, 0x8a));
    const QPolygonF piece{QPointF(16, 8), QPointF(24, 22), QPointF(8, 22)};
    p.drawPolygon(piece);
    p.setPen(QPen(kBlue, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const auto arrow = [&](QPointF from, QPointF to) {
        p.drawLine(from, to);
        const QPointF d = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
        const QPointF n(-d.y(), d.x());
        p.drawLine(to, to - 4 * d + 3 * n);
        p.drawLine(to, to - 4 * d - 3 * n);
    };
    if (up) {
        arrow({6, 6}, {2, 2});
        arrow({26, 6}, {30, 2});
        arrow({6, 26}, {2, 30});
        arrow({26, 26}, {30, 30});
    } else {
        arrow({2, 2}, {7, 7});
        arrow({30, 2}, {25, 7});
        arrow({2, 30}, {7, 25});
        arrow({30, 30}, {25, 25});
    }
}

QIcon drawnIcon(Command command)
{
    QPixmap pixmap(kSide, kSide);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (command) {
    case Command::Open: {
        p.setPen(ink(1.6));
        p.setBrush(QColor(0xe0, 0xb0, 0x4c));
        QPainterPath back;
        back.moveTo(3, 8);
        back.lineTo(11, 8);
        back.lineTo(14, 11);
        back.lineTo(27, 11);
        back.lineTo(27, 26);
        back.lineTo(3, 26);
        back.closeSubpath();
        p.drawPath(back);
        p.setBrush(QColor(0xf4, 0xcf, 0x6e));
        p.drawPolygon(QPolygonF{QPointF(3, 26), QPointF(8, 15), QPointF(31, 15), QPointF(27, 26)});
        break;
    }
    case Command::SaveEmf: {
        p.setPen(ink(1.6));
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
        p.setBrush(kPaper);
        p.drawRect(QRectF(9, 4, 14, 9));
        p.setBrush(QColor(0xcc, 0xcc, 0xcc));
        p.drawRect(QRectF(9, 18, 14, 10));
        break;
    }
    case Command::UndoLastEdgePick: {
        p.setPen(QPen(kBlue, 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        QPainterPath turn;
        turn.moveTo(8, 14);
        turn.cubicTo(14, 6, 28, 8, 26, 19);
        turn.cubicTo(25, 25, 19, 27, 14, 26);
        p.drawPath(turn);
        p.setBrush(kBlue);
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygonF{QPointF(3, 7), QPointF(13, 18), QPointF(3, 19)});
        break;
    }
    case Command::ZoomIn: drawMagnifier(p, true); break;
    case Command::ZoomOut: drawMagnifier(p, false); break;
    case Command::ScaleUp: drawScale(p, true); break;
    case Command::ScaleDown: drawScale(p, false); break;
    case Command::CopyPattern:
        drawSheet(p, QRectF(4, 3, 16, 20));
        drawSheet(p, QRectF(12, 9, 16, 20));
        break;
    case Command::Print: {
        drawSheet(p, QRectF(9, 3, 14, 10));
        p.setPen(ink(1.6));
        p.setBrush(QColor(0x8c, 0x96, 0xa3));
        p.drawRoundedRect(QRectF(3, 12, 26, 11), 2, 2);
        drawSheet(p, QRectF(9, 19, 14, 10));
        break;
    }
    case Command::About: {
        p.setPen(ink(1.6));
        p.setBrush(kBlue);
        p.drawEllipse(QPointF(16, 16), 13, 13);
        p.setPen(QPen(Qt::white, 3.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16, 14), QPointF(16, 23));
        p.drawPoint(QPointF(16, 9));
        break;
    }
    default: {
        drawSheet(p, QRectF(7, 4, 18, 24));
        break;
    }
    }
    p.end();
    return QIcon(pixmap);
}

const char* themeName(Command command)
{
    switch (command) {
    case Command::Open: return "document-open";
    case Command::SaveEmf: return "document-save-as";
    case Command::UndoLastEdgePick: return "edit-undo";
    case Command::ZoomIn: return "zoom-in";
    case Command::ZoomOut: return "zoom-out";
    case Command::CopyPattern: return "edit-copy";
    case Command::Print: return "document-print";
    case Command::About: return "help-about";
    default: return nullptr;
    }
}

} // namespace

QIcon commandIcon(Command command)
{
    const QIcon drawn = drawnIcon(command);
    const char* name = themeName(command);
    return name ? QIcon::fromTheme(QString::fromLatin1(name), drawn) : drawn;
}
