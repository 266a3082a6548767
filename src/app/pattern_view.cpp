#include "app/pattern_view.h"

#include <QPainter>

PatternView::PatternView(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setMinimumSize(50, 50);
}

void PatternView::onUpdateHint(int number)
{
    if (number == 3 || number == 10 || number == 16 || number == 17 || number == 20) update();
}

void PatternView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(QColor(150, 150, 150));
    painter.drawText(rect(), Qt::AlignCenter, tr("The unfolded pattern appears here."));
}
