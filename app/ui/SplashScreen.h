#pragma once

#include <QSplashScreen>

class QEventLoop;

// The picture shown while the program starts: it closes itself after its time, or at once when
// the left mouse button is released over it.
class SplashScreen final : public QSplashScreen
{
    Q_OBJECT

public:
    // How long the picture stays without a click.
    static constexpr int showMs = 6000;

    SplashScreen();

    // Shows the picture and returns once it has closed (after `ms`, or a click).
    void showFor(int ms = showMs);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QEventLoop* m_loop = nullptr;
};
