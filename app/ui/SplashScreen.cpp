#include "ui/SplashScreen.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>
#include <QTimer>

namespace {

// The picture, drawn at the screen's pixel density so it stays sharp.
QPixmap splashPicture()
{
    const qreal ratio = QGuiApplication::primaryScreen() != nullptr
        ? QGuiApplication::primaryScreen()->devicePixelRatio()
        : 1.0;
    const QSize size(460, 220);
    QPixmap picture(size * ratio);
    picture.setDevicePixelRatio(ratio);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(0x2f, 0x5d, 0x8a));
    sky.setColorAt(1, QColor(0x1c, 0x3a, 0x57));
    painter.fillRect(QRect(QPoint(0, 0), size), sky);
    QSvgRenderer(QStringLiteral(":/ui/norvane.svg")).render(&painter, QRectF(28, 50, 120, 120));
    painter.setPen(Qt::white);
    QFont title = painter.font();
    title.setPointSize(22);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(QRect(166, 70, size.width() - 180, 40), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Norvane Desk"));
    QFont line = painter.font();
    line.setPointSize(10);
    line.setBold(false);
    painter.setFont(line);
    painter.drawText(QRect(168, 112, size.width() - 180, 40), Qt::AlignLeft | Qt::AlignTop,
                     QStringLiteral("Pages to pagers, from the desk.\nv1.0 beta"));
    return picture;
}

} // namespace

SplashScreen::SplashScreen()
    : QSplashScreen(splashPicture())
{
    setObjectName(QStringLiteral("splashScreen"));
}

void SplashScreen::showFor(int ms)
{
    QEventLoop loop;
    m_loop = &loop;
    QTimer::singleShot(ms, this, &QWidget::close);
    show();
    loop.exec();
    m_loop = nullptr;
}

void SplashScreen::closeEvent(QCloseEvent* event)
{
    QSplashScreen::closeEvent(event);
    if (m_loop != nullptr)
        m_loop->quit();
}

void SplashScreen::mousePressEvent(QMouseEvent* event)
{
    // The release closes it, not the press.
    event->accept();
}

void SplashScreen::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        close();
}
