#include "app/dialogs/LoadForm.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

namespace animora {

namespace {

// Each caption is drawn twice, white and then purple two pixels lower
// right, so it looks raised.
void DrawRaisedText(QPainter& painter, int x, int y, const QString& text)
{
    const QFontMetrics metrics(painter.font());
    painter.setPen(Qt::white);
    painter.drawText(x, y + metrics.ascent(), text);
    painter.setPen(QColor(128, 0, 128));
    painter.drawText(x + 2, y + 2 + metrics.ascent(), text);
}

} // namespace

TLoadForm::TLoadForm() : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName("LoadForm");
    setWindowTitle("Loading");
    setFixedSize(397, 237);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void TLoadForm::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // The lowered panel with a bevel of 3 around the picture.
    painter.fillRect(rect(), palette().window());
    painter.setPen(palette().dark().color());
    for (int i = 0; i < 3; ++i)
        painter.drawRect(rect().adjusted(i, i, -1 - i, -1 - i));
    const QRect picture = rect().adjusted(3, 3, -3, -3);
    QLinearGradient sky(picture.topLeft(), picture.bottomRight());
    sky.setColorAt(0, QColor(40, 60, 140));
    sky.setColorAt(0.5, QColor(120, 150, 220));
    sky.setColorAt(1, QColor(230, 200, 120));
    painter.fillRect(picture, sky);

    QFont font("Times New Roman");
    font.setPixelSize(27);
    font.setBold(true);
    font.setItalic(true);
    painter.setFont(font);
    DrawRaisedText(painter, 74, 8, "Zelqo Animora Pro");
    DrawRaisedText(painter, 146, 192, "Loading");
}

} // namespace animora
